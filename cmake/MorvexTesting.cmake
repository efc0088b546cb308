# Test executables: one per test folder, every TEST registered with ctest.
find_package(GTest REQUIRED)
include(GoogleTest)

# Tests that exercise threads also run in the ThreadSanitizer build, which
# builds only this target.
add_custom_target(concurrency_tests)

# morvex_add_test(<name> SOURCES <files...> LIBS <targets...> [CONCURRENCY]
#                 [FONTS] [SOAK] [ALONE] [ENVIRONMENT <VAR=value...>])
# FONTS: text is drawn with the fonts the bundles carry, as the editor's is.
# SOAK: tests of real time that run long, labelled soak, alone on the machine
# so that other tests take no time from them.
# ALONE: tests that play in real time, and so fail when other tests take the
# cores from them, run alone too.
function(morvex_add_test name)
  cmake_parse_arguments(ARG "CONCURRENCY;FONTS;SOAK;ALONE" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  if(ARG_FONTS)
    list(APPEND ARG_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/BundledFonts.cpp)
  endif()
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/lsan_default_suppressions.cpp)
  if(ARG_FONTS)
    target_compile_definitions(${name} PRIVATE MORVEX_TEST_FONTS="${CMAKE_BINARY_DIR}/fonts")
    add_dependencies(${name} morvex_fonts)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
  set(labels unit)
  if(ARG_CONCURRENCY)
    set(labels concurrency)
    add_dependencies(concurrency_tests ${name})
  endif()
  set(serial ${ARG_ALONE})
  if(ARG_SOAK)
    set(labels soak)
    set(serial TRUE)
  endif()
  # Named only when given: an empty value would take the next name for its own.
  set(properties LABELS "${labels}" RUN_SERIAL ${serial})
  if(ARG_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ${properties})
endfunction()
