# The 32-bit Windows build, what users install.
set(QOR_MINGW_TRIPLE i686-w64-mingw32)
set(QOR_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
