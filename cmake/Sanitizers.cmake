# TQ_SANITIZE=address builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, thread with ThreadSanitizer. Any finding stops
# the program, so a test run with a finding fails.
set(TQ_SANITIZE "" CACHE STRING "Sanitizer build: empty, address or thread")
if(TQ_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(TQ_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT TQ_SANITIZE STREQUAL "")
    message(FATAL_ERROR "TQ_SANITIZE must be empty, address or thread")
endif()
