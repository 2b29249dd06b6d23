# Line and branch coverage of the library's own sources, measured with gcov over the whole test
# suite (GCC). `make coverage` configures the coverage preset, runs the tests, then builds
# korvan_coverage_report, which fails below 95% of lines or 90% of branches.
option(KORVAN_COVERAGE "Instrument every target for gcov coverage (GCC)" OFF)

if(KORVAN_COVERAGE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    message(FATAL_ERROR "KORVAN_COVERAGE needs GCC")
  endif()
  # Atomic counters: the concurrency test updates them from many threads at once.
  add_compile_options(--coverage -fprofile-update=atomic -O0)
  add_link_options(--coverage)

  find_program(KORVAN_GCOVR gcovr REQUIRED)
  set(report "${PROJECT_BINARY_DIR}/coverage")
  # A branch the compiler adds for an exception leaving a call is not a decision of the library's;
  # those are left out, as are branches gcov itself marks unreachable.
  add_custom_target(
    korvan_coverage_report
    COMMAND ${CMAKE_COMMAND} -E make_directory "${report}"
    COMMAND
      ${KORVAN_GCOVR} --root "${PROJECT_SOURCE_DIR}" --object-directory "${PROJECT_BINARY_DIR}"
      --filter "${PROJECT_SOURCE_DIR}/interface/" --filter "${PROJECT_SOURCE_DIR}/tables/"
      --filter "${PROJECT_SOURCE_DIR}/solver/" --exclude-throw-branches
      --exclude-unreachable-branches --print-summary --txt "${report}/summary.txt"
      --html-details "${report}/index.html" --fail-under-line 95 --fail-under-branch 90
    COMMAND ${CMAKE_COMMAND} -E cat "${report}/summary.txt"
    WORKING_DIRECTORY "${PROJECT_BINARY_DIR}"
    VERBATIM)
endif()
