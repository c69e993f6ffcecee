# What both Windows toolchain files share; PELLIX_MINGW_TRIPLET names the
# compiler family.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PELLIX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLIX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLIX_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PELLIX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Every program and the plug-in carry their own copy of libgcc, libstdc++ and
# winpthread, so each needs only system DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
find_program(PELLIX_WINE wine)
if(PELLIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PELLIX_WINE})
endif()
