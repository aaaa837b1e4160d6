# Cross-compiling the gauge modules and the Windows test host for 32-bit Windows with
# mingw-w64 (Debian's g++-mingw-w64-i686, win32 thread model: no pthread DLL to carry).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(PANEL_MINGW_PREFIX i686-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${PANEL_MINGW_PREFIX}-g++-win32 ${PANEL_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${PANEL_MINGW_PREFIX}-gcc-win32 ${PANEL_MINGW_PREFIX}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${PANEL_MINGW_PREFIX}-windres REQUIRED)
find_program(PANEL_MINGW_OBJDUMP NAMES ${PANEL_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${PANEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 arithmetic rounds every double and float operation exactly as the native x86-64 build
# does (the x87 unit would keep 80-bit intermediates); mingw's own printf family formats as
# glibc does, where msvcrt's would not (exponent digits, rounding of halfway cases).
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off -D__USE_MINGW_ANSI_STDIO=1")
# Everything the compiler brings is linked in: the modules need only system DLLs.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
