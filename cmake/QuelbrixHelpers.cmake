# Shared build settings and one helper per kind of target.

# Warnings are errors in developer and CI builds. A Release build, as a user makes one of a
# release, only shows them: a compiler's false alarm must not stop it. CI builds Release with
# -DQUELBRIX_WERROR=ON.
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  set(QUELBRIX_WERROR_DEFAULT OFF)
else()
  set(QUELBRIX_WERROR_DEFAULT ON)
endif()
option(QUELBRIX_WERROR "Treat compiler warnings as errors" ${QUELBRIX_WERROR_DEFAULT})
set(QUELBRIX_WARNINGS -Wall -Wextra -Wpedantic)
if(QUELBRIX_WERROR)
  list(APPEND QUELBRIX_WARNINGS -Werror)
  # GCC 12 at -O3 reports overlapping, overflowing or uninitialised copies inside std::string
  # and std::vector where there are none (its bugs 105329, 105651, 107919); in a Release build
  # these stay warnings.
  if(CMAKE_BUILD_TYPE STREQUAL "Release" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND
     CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    list(APPEND QUELBRIX_WARNINGS -Wno-error=restrict -Wno-error=stringop-overflow
         -Wno-error=array-bounds -Wno-error=maybe-uninitialized)
  endif()
endif()

# quelbrix_add_library(NAME SOURCES ... [DEPS ...])
# A subsystem library; its public include root is src/ so headers read "app/cls_debug.h". DEPS
# are the libraries it builds on, all of them, linked publicly.
function(quelbrix_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "quelbrix_add_library(${name}): no SOURCES")
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${QUELBRIX_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# quelbrix_add_test(NAME SOURCES ... [DEPS ...] [ENV VAR=VALUE ...] [TIMEOUT SECONDS])
# One GoogleTest executable, registered with ctest test by test. Every test finds its scratch
# folder in QUELBRIX_TEST_TMP; ENV adds variables, TIMEOUT limits each test (ctest's default
# otherwise).
function(quelbrix_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${QUELBRIX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  # GoogleTest's header is a good part of a test file's compile time: parsed once per target.
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h>)
  # The variables reach the test list through a build step and two CMake scripts, each of which
  # splits lists and takes one level of escapes: the ";" between them needs eight backslashes.
  set(environment "QUELBRIX_TEST_TMP=${CMAKE_CURRENT_BINARY_DIR}/tmp" ${ARG_ENV})
  list(JOIN environment "\\\\\\\\\\\\\\\\;" environment)
  set(timeout)
  if(ARG_TIMEOUT)
    set(timeout TIMEOUT ${ARG_TIMEOUT})
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "${environment}" ${timeout})
endfunction()

# quelbrix_add_bench(NAME [TEMPLATES] SOURCES ... [DEPS ...])
# One Google Benchmark executable with the shared main (bench/bench_main.cpp), which says how
# the code measured was built; the sources include "bench_counters.h" for the document counters.
# TEMPLATES: the benchmark fills the built templates, found at QUELBRIX_TEMPLATE_DIR.
function(quelbrix_add_bench name)
  cmake_parse_arguments(ARG "TEMPLATES" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench)
  target_compile_options(${name} PRIVATE ${QUELBRIX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} quelbrix_bench_main benchmark::benchmark)
  if(ARG_TEMPLATES)
    add_dependencies(${name} quelbrix_templates)
    target_compile_definitions(${name}
                               PRIVATE QUELBRIX_TEMPLATE_DIR="${QUELBRIX_RESOURCE_DIR}/Templates")
  endif()
endfunction()
