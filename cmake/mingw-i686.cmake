# Cross toolchain for the 32-bit Windows deliverables (Debian's g++-mingw-w64-i686).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_prefix i686-w64-mingw32)
set(_wine_arch 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
