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

# The application manifest of a shipped program: started as the invoking user (no installer
# detection, no file and registry virtualisation), the Windows 7 to 11 behaviour, DPI aware per
# monitor (system aware where per-monitor is unknown) and, with COMMON_CONTROLS, the version 6
# common controls.
set(TAVRINE_MANIFEST_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/Program.manifest.in CACHE INTERNAL "")
function(tavrine_manifest target)
    cmake_parse_arguments(M "COMMON_CONTROLS" "" "" ${ARGN})
    set(TAVRINE_MANIFEST_NAME ${target})
    set(TAVRINE_MANIFEST_DEPENDENCY "")
    if(M_COMMON_CONTROLS)
        set(TAVRINE_MANIFEST_DEPENDENCY [=[  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>
]=])
    endif()
    set(_manifest ${CMAKE_BINARY_DIR}/manifest/${target}.manifest)
    configure_file(${TAVRINE_MANIFEST_TEMPLATE} ${_manifest} @ONLY)
    # Resource 1 of type 24 (RT_MANIFEST): the manifest a process is started with.
    file(WRITE ${_manifest}.rc.in "1 24 \"${_manifest}\"\n")
    configure_file(${_manifest}.rc.in ${_manifest}.rc COPYONLY)
    set_source_files_properties(${_manifest}.rc PROPERTIES OBJECT_DEPENDS ${_manifest})
    target_sources(${target} PRIVATE ${_manifest}.rc)
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
