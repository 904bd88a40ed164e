# Shared part of the MinGW toolchains: compilers, search roots and the Wine emulator.
set(CMAKE_C_COMPILER ${NEEDLECAST_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NEEDLECAST_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NEEDLECAST_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NEEDLECAST_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# ctest runs the Windows programs through Wine in the project's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
