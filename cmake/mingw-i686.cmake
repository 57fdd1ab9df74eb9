# Cross-build for 32-bit Windows with Debian's mingw-w64; programs run under
# the 32-bit Wine loader, on machines that can execute 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
