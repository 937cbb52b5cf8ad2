# Warnings for the project's own targets (not for third-party sources such as googletest).
function(tavrine_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion
                                             -Wnon-virtual-dtor -Wpedantic)
endfunction()

# A Windows program with a wWinMain/wmain entry (Unicode start-up code).
function(tavrine_windows_program target)
    cmake_parse_arguments(P "GUI" "" "" ${ARGN})
    target_link_options(${target} PRIVATE -municode)
    if(P_GUI)
        target_link_options(${target} PRIVATE -mwindows)
    endif()
endfunction()
