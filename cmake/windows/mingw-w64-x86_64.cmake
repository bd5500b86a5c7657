# Cross-builds Windows x64 programs with Debian's mingw-w64 (POSIX threads
# variant, for std::thread and std::mutex), statically linked so that the
# programs run from any folder without the mingw runtime DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TV_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TV_MINGW_PREFIX}-gcc-posix ${TV_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TV_MINGW_PREFIX}-g++-posix ${TV_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TV_MINGW_PREFIX}-windres REQUIRED)
# The mingw system, and OpenSSL as scripts/windows-openssl.sh builds it into
# the build folder.
set(CMAKE_FIND_ROOT_PATH /usr/${TV_MINGW_PREFIX} ${CMAKE_BINARY_DIR}/openssl/install)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Windows 7 and later APIs (GetUserDefaultLocaleName and the like).
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE)
# The C99 printf family of mingw rather than msvcrt's, so that numbers are
# formatted (and %zu, %lld understood) exactly as on Linux.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)

# The test programs run under wine, quietly, in a wine prefix of the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)

# Rebuilds are quicker through ccache where the machine has it.
find_program(TV_CCACHE ccache)
if(TV_CCACHE)
    set(CMAKE_C_COMPILER_LAUNCHER ${TV_CCACHE})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${TV_CCACHE})
endif()

# -O2 as the Linux build has it (gcc 12's -O3 raises false -Wrestrict warnings
# in std::string).
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
