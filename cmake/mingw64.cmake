# Cross build for 64-bit Windows on x86-64 with Debian's MinGW-w64 toolchain:
# the same sources as the 32-bit build, for machines that run no 32-bit
# programs.
set(QV_TRIPLE x86_64-w64-mingw32)
set(QV_PROCESSOR x86_64)
set(QV_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
