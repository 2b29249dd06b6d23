# korvan-size, the sample host, is built with CLI11, {fmt} and nlohmann-json (`make deps` installs
# them on Debian); the library itself depends on none of them. A developer build requires them;
# any other build makes the program only when all three are found.
option(KORVAN_BUILD_SAMPLE_HOST "Build the sample host korvan-size" ${PROJECT_IS_TOP_LEVEL})

if(KORVAN_BUILD_SAMPLE_HOST)
  if(KORVAN_DEVELOPER_MODE)
    set(korvan_sample_host_need REQUIRED)
  else()
    set(korvan_sample_host_need QUIET)
  endif()
  find_package(CLI11 CONFIG ${korvan_sample_host_need})
  find_package(fmt ${korvan_sample_host_need})
  find_package(nlohmann_json ${korvan_sample_host_need})
  if(CLI11_FOUND AND fmt_FOUND AND nlohmann_json_FOUND)
    add_subdirectory(tools/korvan-size)
  else()
    message(STATUS "korvan-size is not built: CLI11, {fmt} or nlohmann-json is missing")
  endif()
endif()
