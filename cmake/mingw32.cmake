# Cross build for 32-bit Windows on x86 with Debian's MinGW-w64 toolchain.
set(QV_TRIPLE i686-w64-mingw32)
set(QV_PROCESSOR i686)
set(QV_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
