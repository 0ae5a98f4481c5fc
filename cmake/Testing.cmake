# tq_add_test(NAME SOURCES a.cpp b.cpp LIBS lib...): one GoogleTest program
# per suite, its cases registered with CTest one by one.
find_package(GTest REQUIRED)
include(GoogleTest)

function(tq_add_test name)
    cmake_parse_arguments(T "NO_MAIN" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    if(NOT T_NO_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
