# libFuzzer harnesses. With KORVAN_FUZZERS (clang only) every target is built with libFuzzer's
# coverage instrumentation and each harness becomes a fuzzer; without it each harness is built with
# a main that replays its seed corpus, so that the checks run in every build.
option(KORVAN_FUZZERS "Build the fuzz harnesses with libFuzzer (clang)" OFF)
set(KORVAN_FUZZ_RUNS 200000 CACHE STRING "Executions of each fuzzer in its CTest test")

if(KORVAN_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KORVAN_FUZZERS needs clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Adds harness `name` from `source` with its seed corpus in fuzz/corpus/<corpus>, and a test.
function(korvan_add_fuzzer name source corpus)
  set(seeds "${PROJECT_SOURCE_DIR}/fuzz/corpus/${corpus}")
  if(KORVAN_FUZZERS)
    add_executable(${name} ${source})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    # New inputs go to a corpus in the build tree; the seeds in the source tree stay as they are.
    set(work "${CMAKE_CURRENT_BINARY_DIR}/corpus/${corpus}")
    file(MAKE_DIRECTORY "${work}")
    add_test(NAME ${name} COMMAND ${name} -runs=${KORVAN_FUZZ_RUNS} -seed=1
                                  -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/ "${work}" "${seeds}")
  else()
    add_executable(${name} ${source} ReplayMain.cpp)
    add_test(NAME ${name} COMMAND ${name} "${seeds}")
  endif()
  target_link_libraries(${name} PRIVATE korvan_hardening_support)
  korvan_apply_warnings(${name})
  set_tests_properties(${name} PROPERTIES LABELS fuzz)
endfunction()
