# The same sources built 64-bit for the tests: only 64-bit Wine runs here.
set(ZELK_TRIPLE x86_64-w64-mingw32)
set(ZELK_ARCH AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
