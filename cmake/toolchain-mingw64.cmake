# Cross-build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64-posix, mingw-w64-tools).
# The posix-thread compiler, so that std::thread and std::mutex work as on Linux. Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KIVO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KIVO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIVO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KIVO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KIVO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes linked in, so that the programs run without mingw's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The tests run under Wine: cmake/Windows.cmake sets CMAKE_CROSSCOMPILING_EMULATOR to a wrapper with a
# prefix of the build directory's own.
