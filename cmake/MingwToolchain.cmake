# The mingw-w64 side shared by both Windows toolchains; each sets TARVINEL_MINGW_TRIPLE and the
# processor first. The -posix compilers, because GoogleTest's std::mutex needs their threads;
# everything linked statically, so the program needs no DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TARVINEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVINEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVINEL_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${TARVINEL_MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVINEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
