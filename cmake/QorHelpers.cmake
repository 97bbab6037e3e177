# qor_add_test(NAME src... LIBS lib... [LABEL e2e]): a GoogleTest executable registered
# with ctest under the label "unit" (or the one given: "e2e" for tests that start real
# programs: the client in a terminal, s3270, qorhost, CUPS).
# Tests run from the build's program directory so that they find what the build put there.
function(qor_add_test name)
  cmake_parse_arguments(T "" "LABEL" "LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(QOR_FUZZ OR NOT QOR_TESTS)
    return()
  endif()
  if(WIN32 AND NOT T_LABEL STREQUAL "unit")
    return()  # the end-to-end tests drive Linux programs (tmux, s3270, qorhost)
  endif()
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE QOR_BIN_DIR="${QOR_BIN_DIR}"
                                             QOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(CMAKE_CROSSCOMPILING)
    # Each start of a Windows program under Wine costs a second or so: one
    # ctest entry per test program rather than per test.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QOR_TEST_BIN=${QOR_BIN_DIR}" LABELS ${T_LABEL})
  else()
    gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QOR_TEST_BIN=${QOR_BIN_DIR}" LABELS ${T_LABEL})
  endif()
endfunction()

# qor_test_library_file_name(TARGET): a library a test loads, in the tests'
# directory under the name the system's loader expects: NAME.so on Linux,
# NAME.DLL (upper case) on Windows.
function(qor_test_library_file_name target)
  set_target_properties(${target} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(WIN32)
    string(TOUPPER ${target} upper)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${upper} SUFFIX ".DLL")
  else()
    set_target_properties(${target} PROPERTIES SUFFIX ".so")
  endif()
endfunction()

# qor_add_fuzz(NAME src... LIBS lib...): a libFuzzer target, built only with QOR_FUZZ=ON (clang).
# Seeds, if any, live in tests/<folder>/corpus/<NAME>/.
function(qor_add_fuzz name)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  if(NOT QOR_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  if(NOT TARGET fuzz_all)
    add_custom_target(fuzz_all)
  endif()
  add_dependencies(fuzz_all ${name})
endfunction()
