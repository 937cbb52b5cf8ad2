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

# An import library that binds a DLL's exports by ordinal at load time, from a .def whose entries
# are "Name@bytes @n NONAME". Creates the INTERFACE target `target` for programs to link.
# The @bytes stdcall decoration exists only on 32-bit x86; the 64-bit build takes the plain names.
function(tavrine_ordinal_import_library target def)
    set(_implib ${CMAKE_BINARY_DIR}/lib/lib${target}.a)
    set(_def ${CMAKE_CURRENT_SOURCE_DIR}/${def})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        file(READ ${_def} _text)
        string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" _text "${_text}")
        set(_def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
        file(WRITE ${_def} "${_text}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${def})
    endif()
    add_custom_command(OUTPUT ${_implib}
                       COMMAND ${CMAKE_DLLTOOL} -d ${_def} -l ${_implib}
                       DEPENDS ${_def}
                       COMMENT "Import library by ordinal: ${target}")
    add_custom_target(${target}_lib DEPENDS ${_implib})
    add_library(${target} INTERFACE)
    add_dependencies(${target} ${target}_lib)
    target_link_libraries(${target} INTERFACE ${_implib})
    # The DLL's header, by folder ("portivo/Portivo.h").
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
endfunction()
