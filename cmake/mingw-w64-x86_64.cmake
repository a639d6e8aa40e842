# Cross-builds the Windows program with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64-posix): 64-bit, linked statically so that quillark.exe
# needs no MinGW DLL beside it. Tests built here run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLARK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLARK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLARK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLARK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLARK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# ctest starts the test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
