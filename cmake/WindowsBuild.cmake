# What the Windows build needs before the folders: GoogleTest built from the
# sources Debian ships (libgtest-dev; it names its targets GTest::gtest and
# GTest::gtest_main itself), and binary file I/O.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Every program opens files in binary mode (see binary_file_mode.c). Compiled
# here rather than as a target so that it goes into programs only, all of them.
set(qor_binary_file_mode ${CMAKE_BINARY_DIR}/binary_file_mode.o)
execute_process(COMMAND ${CMAKE_C_COMPILER} -c ${CMAKE_SOURCE_DIR}/platform/win32/binary_file_mode.c
                        -o ${qor_binary_file_mode}
                RESULT_VARIABLE qor_binary_file_mode_result)
if(NOT qor_binary_file_mode_result EQUAL 0)
  message(FATAL_ERROR "cannot compile platform/win32/binary_file_mode.c")
endif()
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${qor_binary_file_mode}")

# POSIX names the sources use that the Windows C run-time spells differently.
add_compile_options(-include ${CMAKE_SOURCE_DIR}/platform/win32/posix_names.h)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
