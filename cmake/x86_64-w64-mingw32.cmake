# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers (POSIX threads); the
# tests run under Wine. Qt for Windows is built with the same file (scripts/windows.sh).
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# VELLORA_WINDOWS_QT: the prefix of the Qt for Windows that scripts/windows.sh builds.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${VELLORA_WINDOWS_QT})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELLORA_WINDOWS_QT)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
