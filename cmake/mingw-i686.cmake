# Cross toolchain: 32-bit Windows with mingw-w64, posix thread model.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TW_MINGW i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TW_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TW_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TW_MINGW}-windres)
# The bootstrap installs the target's libjpeg-turbo and googletest here.
get_filename_component(TW_TARGET_DEPS ${CMAKE_CURRENT_LIST_DIR}/../build/deps/win32 ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${TW_MINGW} ${TW_TARGET_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests built for the target run under Wine through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/support/wine-exec.sh)
