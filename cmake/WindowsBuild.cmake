# What the Windows build needs before the folders: GoogleTest built from the
# sources Debian ships (libgtest-dev; it names its targets GTest::gtest and
# GTest::gtest_main itself), and binary file I/O.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The C run-time opens files in text mode by default and would turn "\n" into
# "\r\n": jobs must arrive byte-exact, so every program opens them in binary.
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${CMAKE_FIND_ROOT_PATH}/lib/binmode.o")

# POSIX names the sources use that the Windows C run-time spells differently.
add_compile_options(-include ${CMAKE_SOURCE_DIR}/platform/win32/posix_names.h)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
