# What both Windows builds share; cmake/mingw32.cmake and cmake/mingw64.cmake
# set QV_TRIPLE, QV_PROCESSOR and QV_WINE_LOADER and include this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QV_PROCESSOR})
set(TRIPLE ${QV_TRIPLE})
set(CMAKE_C_COMPILER   ${TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Unit tests run through Wine, by the loader of this build's kind (Debian's
# wine command would take the 32-bit one whenever wine32 is installed).
set(CMAKE_CROSSCOMPILING_EMULATOR ${QV_WINE_LOADER})
