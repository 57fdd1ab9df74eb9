# Cross-build for 64-bit Windows with Debian's mingw-w64; programs run under
# the 64-bit Wine loader, which needs no 32-bit support from the machine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
