# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads).
# The runtime is linked statically, so the .exe needs no DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SB_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SB_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SB_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SB_MINGW_PREFIX}-windres)
# windres preprocesses with the cross compiler named without the thread model, which only
# the alternatives system provides: name the one in use.
set(CMAKE_RC_FLAGS_INIT "--preprocessor=${CMAKE_C_COMPILER} --preprocessor-arg=-E \
--preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED")

set(CMAKE_FIND_ROOT_PATH /usr/${SB_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools run under Wine unless the cache says otherwise.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
