# tq_add_test(NAME SOURCES a.cpp b.cpp HEADERS folder... LIBS lib...): one
# GoogleTest program per suite, its cases registered with CTest one by one.
# HEADERS names source folders whose headers the suite compiles one by one.
find_package(GTest REQUIRED)
include(GoogleTest)

include(HeaderUnits)

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
