# tq_add_test(NAME SOURCES a.cpp b.cpp HEADERS folder... LIBS lib...): one
# GoogleTest program per suite, its cases registered with CTest one by one.
# HEADERS names source folders whose headers the suite compiles one by one.
find_package(GTest REQUIRED)
include(GoogleTest)

# tq_header_units(VAR folder...): a translation unit per header (*.h) of the
# given source folders that includes that header alone, so that a suite
# built with them proves each header compiles on its own.
function(tq_header_units var)
    set(${var} "" PARENT_SCOPE)
    if(NOT ARGN)
        return()
    endif()
    set(globs)
    foreach(folder ${ARGN})
        list(APPEND globs ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    endforeach()
    file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${globs})
    set(units)
    foreach(header ${headers})
        string(MAKE_C_IDENTIFIER ${header} unit)
        set(unit ${CMAKE_CURRENT_BINARY_DIR}/alone/${unit}.cpp)
        file(CONFIGURE OUTPUT ${unit} CONTENT "#include \"${header}\"\n")
        list(APPEND units ${unit})
    endforeach()
    set(${var} ${units} PARENT_SCOPE)
endfunction()

function(tq_add_test name)
    cmake_parse_arguments(T "NO_MAIN" "" "SOURCES;HEADERS;LIBS" ${ARGN})
    tq_header_units(header_units ${T_HEADERS})
    add_executable(${name} ${T_SOURCES} ${header_units})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    if(NOT T_NO_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
