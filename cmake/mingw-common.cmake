# Shared by both Windows cross toolchains; the including file sets _prefix and _wine_arch.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model gives the standard library its full <thread>/<mutex>;
# everything is linked statically, so nothing but system DLLs is needed at run time.
set(CMAKE_C_COMPILER ${_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${_prefix}-windres)
set(CMAKE_DLLTOOL ${_prefix}-dlltool)
set(CMAKE_OBJDUMP ${_prefix}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every test executable runs under the Wine of its architecture, in a prefix of its own, so
# ctest drives Windows tests like native ones.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run --arch ${_wine_arch})
