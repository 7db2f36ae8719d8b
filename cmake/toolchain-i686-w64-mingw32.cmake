# Cross-compiling for Windows (i686) with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARVINEL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)

# No emulator: this kernel runs no 32-bit code, so the i686 build is only checked, never run.
