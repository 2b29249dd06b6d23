# Installs BUILD_DIR into a fresh prefix under WORK_DIR, checks the layout, builds the consumer
# example against the CMake package (and with the pkg-config flags when PKG_CONFIG is set), runs
# what it built, and runs the installed korvan-size from the prefix.

function(run)
  cmake_parse_arguments(PARSE_ARGV 0 step "" "OUTPUT" "COMMAND")
  execute_process(COMMAND ${step_COMMAND} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(JOIN " " command ${step_COMMAND})
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}")
  endif()
  if(step_OUTPUT)
    set(${step_OUTPUT} "${out}" PARENT_SCOPE)
  endif()
endfunction()

function(expect_solution program_output origin)
  if(NOT program_output MATCHES "scaleFactor +5\\.34833333333333")
    message(FATAL_ERROR "${origin} did not print the example's scale factor:\n${program_output}")
  endif()
endfunction()

set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${WORK_DIR}")
run(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" --config "${CONFIG}")

set(expected_files
    "${INCLUDEDIR}/KorvanCalcValueProvider.h"
    "${INCLUDEDIR}/KorvanCalcValueProviderC.h"
    "${LIBDIR}/cmake/KorvanCalcValueProvider/KorvanCalcValueProviderConfig.cmake"
    "${LIBDIR}/cmake/KorvanCalcValueProvider/KorvanCalcValueProviderConfigVersion.cmake"
    "${LIBDIR}/cmake/KorvanCalcValueProvider/KorvanCalcValueProviderTargets.cmake"
    "${LIBDIR}/pkgconfig/KorvanCalcValueProvider.pc")
if(CMAKE_HOST_UNIX AND NOT CMAKE_HOST_APPLE)
  # The library with its SONAME link and the development link.
  list(APPEND expected_files "${LIBDIR}/libKorvanCalcValueProvider.so.${VERSION}")
  foreach(link IN ITEMS libKorvanCalcValueProvider.so.1 libKorvanCalcValueProvider.so)
    if(NOT IS_SYMLINK "${prefix}/${LIBDIR}/${link}")
      message(FATAL_ERROR "not installed as a link: ${LIBDIR}/${link}")
    endif()
  endforeach()
endif()
foreach(file IN LISTS expected_files)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The CMake package, as find_package(KorvanCalcValueProvider 1.0 REQUIRED) finds it.
set(consumer_build "${WORK_DIR}/consumer")
run(COMMAND "${CMAKE_COMMAND}" -S "${CONSUMER_SOURCE}" -B "${consumer_build}" -G "${GENERATOR}"
            "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}"
            "-DCMAKE_BUILD_TYPE=${CONFIG}")
run(COMMAND "${CMAKE_COMMAND}" --build "${consumer_build}" --config "${CONFIG}")
file(GLOB_RECURSE consumer_programs "${consumer_build}/size-example" "${consumer_build}/size-example.exe")
if(NOT consumer_programs)
  message(FATAL_ERROR "the consumer example was not built")
endif()
list(GET consumer_programs 0 consumer_program)
run(COMMAND "${consumer_program}" OUTPUT out)
expect_solution("${out}" "the consumer built with the CMake package")

# The C host project, through the same package.
set(c_consumer_build "${WORK_DIR}/c-consumer")
run(COMMAND "${CMAKE_COMMAND}" -S "${C_CONSUMER_SOURCE}" -B "${c_consumer_build}" -G "${GENERATOR}"
            "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_C_COMPILER=${CC}"
            "-DCMAKE_BUILD_TYPE=${CONFIG}")
run(COMMAND "${CMAKE_COMMAND}" --build "${c_consumer_build}" --config "${CONFIG}")
file(GLOB_RECURSE c_consumer_programs "${c_consumer_build}/size-example-c"
     "${c_consumer_build}/size-example-c.exe")
if(NOT c_consumer_programs)
  message(FATAL_ERROR "the C consumer example was not built")
endif()
list(GET c_consumer_programs 0 c_consumer_program)
run(COMMAND "${c_consumer_program}" OUTPUT out)
expect_solution("${out}" "the C consumer built with the CMake package")

# The pkg-config file, as a Makefile-based host reads it.
if(PKG_CONFIG AND CMAKE_HOST_UNIX)
  set(ENV{PKG_CONFIG_PATH} "${prefix}/${LIBDIR}/pkgconfig")
  run(COMMAND "${PKG_CONFIG}" --modversion KorvanCalcValueProvider OUTPUT version)
  if(NOT version MATCHES "^${VERSION}")
    message(FATAL_ERROR "pkg-config reports version ${version}")
  endif()
  run(COMMAND "${PKG_CONFIG}" --cflags --libs KorvanCalcValueProvider OUTPUT flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(pc_program "${WORK_DIR}/size-example-pc")
  run(COMMAND "${CXX}" -std=c++17 "${CONSUMER_SOURCE}/main.cpp" ${flags} -o "${pc_program}")
  set(ENV{LD_LIBRARY_PATH} "${prefix}/${LIBDIR}")
  run(COMMAND "${pc_program}" OUTPUT out)
  expect_solution("${out}" "the consumer built with pkg-config flags")
  set(pc_c_program "${WORK_DIR}/size-example-c-pc")
  run(COMMAND "${CC}" -std=c99 "${C_CONSUMER_SOURCE}/main.c" ${flags} -o "${pc_c_program}")
  run(COMMAND "${pc_c_program}" OUTPUT out)
  expect_solution("${out}" "the C consumer built with pkg-config flags")
  unset(ENV{LD_LIBRARY_PATH})
endif()

# The installed sample host finds the installed library relative to itself.
if(WITH_SAMPLE_HOST)
  run(COMMAND "${prefix}/${BINDIR}/korvan-size" OUTPUT out)
  expect_solution("${out}" "the installed korvan-size")
endif()
