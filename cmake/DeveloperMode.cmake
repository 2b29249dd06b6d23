# Developer options are off unless this is the top-level project, so that a host project that
# adds this one as a subdirectory builds the library alone.
option(KORVAN_DEVELOPER_MODE "Build the tests and developer tools" ${PROJECT_IS_TOP_LEVEL})
option(KORVAN_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" ${KORVAN_DEVELOPER_MODE})
option(KORVAN_LONG_TESTS "Register the long property sweeps (CTest label 'long')" OFF)
option(KORVAN_BUILD_BENCHMARKS "Build the benchmarks in bench/ (the bench preset sets it)" OFF)
