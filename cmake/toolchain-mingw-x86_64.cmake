# The same sources for 64-bit Windows: what runs the tests under Wine on a
# machine that cannot execute 32-bit Linux programs, and so no 32-bit Wine.
set(QOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(QOR_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
