# Cross build for 64-bit Windows with Debian's mingw-w64 compilers (the -posix
# variants, which give std::thread and std::mutex). Everything is linked statically,
# so the programs run on a bare Windows without extra DLLs. The test programs and
# build-time tools run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# No Qt for Windows can be had here: the windows stay out of this build.
set(ZORVIK_GUI OFF CACHE BOOL "" FORCE)
# GCC 12 reports false overlaps and out-of-bounds copies in inlined std::string and
# std::vector code at -O2 and above (GCC bugs 105329, 105651).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread")
