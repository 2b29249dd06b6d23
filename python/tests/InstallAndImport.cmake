# Installs BUILD_DIR into a fresh prefix under WORK_DIR and imports the installed package with
# PYTHON from outside the source tree, with PYTHONPATH alone and no KORVAN_LIBRARY: it must find
# the installed library, and print the example's three points.
cmake_minimum_required(VERSION 3.25)
set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                        --config "${CONFIG}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${out}")
endif()

unset(ENV{KORVAN_LIBRARY})
unset(ENV{LD_LIBRARY_PATH})
set(ENV{PYTHONPATH} "${prefix}/${PACKAGES_DIR}")
set(ENV{PYTHONDONTWRITEBYTECODE} "1")
execute_process(
  COMMAND "${PYTHON}" -c "import korvan; print(korvan.__file__); print(korvan._library.LIBRARY.path); print(korvan.generate([1, 0, 3], [50, 100, 80]))"
  WORKING_DIRECTORY "${WORK_DIR}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE error)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "importing the installed package failed (${status}):\n${out}${error}")
endif()

string(REPLACE "\n" ";" lines "${out}")
list(GET lines 0 package_file)
list(GET lines 1 library_file)
foreach(installed IN ITEMS package_file library_file)
  file(REAL_PATH "${${installed}}" real_path)
  file(REAL_PATH "${prefix}" real_prefix)
  string(FIND "${real_path}" "${real_prefix}/" at)
  if(NOT at EQUAL 0)
    message(FATAL_ERROR "${installed} ${${installed}} is not the one installed in ${prefix}")
  endif()
endforeach()
foreach(expected IN ITEMS "0\\.2  +-4\\.84" "0\\.16  +-4\\.92" "0\\.1  +11\\.42"
                          "scale_factor +5\\.348333333333334")
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "the installed package did not print the example (${expected}):\n${out}")
  endif()
endforeach()
message(STATUS "${out}")
