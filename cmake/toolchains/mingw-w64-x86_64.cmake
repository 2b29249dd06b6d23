# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix). The posix
# threading model gives std::thread and std::mutex; its runtime DLLs (libstdc++, libgcc_s_seh,
# libwinpthread) are installed beside the library. cmake/Windows.cmake runs the programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(korvan_mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${korvan_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${korvan_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${korvan_mingw_triplet}-windres)

# Libraries, headers and packages come from the target's own tree only, never from the build
# machine's /usr; programs (the build tools) come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${korvan_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
