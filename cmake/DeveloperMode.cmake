# Developer mode (the tests and warnings as errors) is off unless a preset turns it on: the plain
# flow, configure, build and install, needs only a compiler and CMake, at the top level and as a
# subdirectory of a host project alike.
option(KORVAN_DEVELOPER_MODE "Build the tests and developer tools (the presets turn it on)" OFF)
option(KORVAN_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" ${KORVAN_DEVELOPER_MODE})
option(KORVAN_LONG_TESTS "Register the long property sweeps (CTest label 'long')" OFF)
option(KORVAN_BUILD_BENCHMARKS "Build the benchmarks in bench/ (the bench preset sets it)" OFF)
