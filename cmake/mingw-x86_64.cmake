# Cross toolchain for the 64-bit twin of the Windows build (Debian's g++-mingw-w64-x86-64): the
# same code, tested under 64-bit Wine on machines that cannot run 32-bit programs. Not shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_prefix x86_64-w64-mingw32)
set(_wine_arch 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
