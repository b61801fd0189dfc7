# The shipped 32-bit installer.
set(ZELK_TRIPLE i686-w64-mingw32)
set(ZELK_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
