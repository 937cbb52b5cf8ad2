# Test support: GoogleTest for both builds, one ctest test per test executable, XML results
# collected by ./test for its per-suite counts.
include(CTest)
if(NOT BUILD_TESTING)
    return()
endif()

if(CMAKE_CROSSCOMPILING)
    # Debian ships googletest as source: build it with the cross compiler.
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest REQUIRED)
endif()

set(TAVRINE_RESULTS_DIR ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${TAVRINE_RESULTS_DIR})

# tavrine_add_gtest(name SOURCES ... [LIBS ...] [LABELS ...] [DEVICE] [TIMEOUT s])
#   DEVICE: the test uses the virtual mouse, so such tests never run at the same time.
function(tavrine_add_gtest name)
    cmake_parse_arguments(T "DEVICE" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    # Test helpers are included by their path from the source root ("tests/e2e/E2eSupport.h").
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
    tavrine_warnings(${name})
    set(_xml ${TAVRINE_RESULTS_DIR}/${name}.xml)
    if(CMAKE_CROSSCOMPILING)
        set(_xml Z:${_xml})  # Wine's drive for the Linux root; a bare /path would be relative
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${_xml})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set(_labels ${T_LABELS})
    if(CMAKE_CROSSCOMPILING)
        list(APPEND _labels wine)
    else()
        list(APPEND _labels native)
    endif()
    # Exit code 77 is the runner's way of saying "cannot run here" (no Wine, no display).
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT ${T_TIMEOUT}
                                            LABELS "${_labels}")
    if(T_DEVICE)
        # The programs these tests drive read and write the user's settings too.
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "virtual_mouse;user_settings")
    endif()
endfunction()
