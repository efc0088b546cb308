# Test executables: one per test folder, every TEST registered with ctest.
find_package(GTest REQUIRED)
include(GoogleTest)

# Tests that exercise threads also run in the ThreadSanitizer build, which
# builds only this target.
add_custom_target(concurrency_tests)

# morvex_add_test(<name> SOURCES <files...> LIBS <targets...> [CONCURRENCY]
#                 [ENVIRONMENT <VAR=value...>])
function(morvex_add_test name)
  cmake_parse_arguments(ARG "CONCURRENCY" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
  # fontconfig keeps a small cache for the life of the process, which the
  # leak checker would otherwise report in every test that draws text.
  set(environment "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan_suppressions.txt"
                  ${ARG_ENVIRONMENT})
  set(labels unit)
  if(ARG_CONCURRENCY)
    set(labels concurrency)
    add_dependencies(concurrency_tests ${name})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${labels}" ENVIRONMENT "${environment}")
endfunction()
