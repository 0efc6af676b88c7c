# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The POSIX-thread flavour, because std::thread and std::mutex (the web server) need it. Every
# executable is linked statically, so it runs with no DLL beside it on any Windows 10 or later.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRENK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BRENK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRENK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${BRENK_MINGW}-windres)

# Libraries and headers for Windows come from the MinGW tree only; programs run on this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${BRENK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Symbols stripped from release executables: they would double the size of the Gomocup package.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
