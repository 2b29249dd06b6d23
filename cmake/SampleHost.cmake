# korvan-size, the sample host, needs nothing beyond the C++ standard library, as the library
# itself; it is built wherever the library is, unless switched off. With benchmarks on, its
# benchmark as a process comes along.
option(KORVAN_BUILD_SAMPLE_HOST "Build the sample host korvan-size" ${PROJECT_IS_TOP_LEVEL})

if(KORVAN_BUILD_SAMPLE_HOST)
  add_subdirectory(tools/korvan-size)
  if(KORVAN_BUILD_BENCHMARKS)
    add_subdirectory(bench/cli)
  endif()
endif()
