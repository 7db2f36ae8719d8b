# Cross-compiling for Windows (x86_64) with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARVINEL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)

# The 64-bit build is the one that runs here: its tests go through wine64.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
