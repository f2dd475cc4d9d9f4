# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix-threads flavour, which
# std::thread and GoogleTest need), with the tests run under Wine. Used by scripts/check-windows.sh
# with -DTAMBREL_WITH_QT=OFF.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAMBREL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAMBREL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMBREL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMBREL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAMBREL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each test runs as a lone .exe under Wine: carry the compiler's runtime inside it rather than
# beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs each test program through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
