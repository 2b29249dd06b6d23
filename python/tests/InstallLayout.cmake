# The installed package finds the installed library's folder for every kind of library folder
# CMAKE_INSTALL_LIBDIR may name (korvan_python_library_from_package, cmake/PythonLayout.cmake):
# the path it computes, taken from the package's folder, leads to the library's folder.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/PythonLayout.cmake")

set(packages "lib/python3/dist-packages/korvan")
# package folder | library folder | prefix | the path expected
set(cases
    "${packages}|lib|/usr|../../.."
    "${packages}|lib64|/usr|../../../../lib64"
    "${packages}|lib/x86_64-linux-gnu|/usr|../../../x86_64-linux-gnu"
    "${packages}|/usr/lib/x86_64-linux-gnu|/usr|/usr/lib/x86_64-linux-gnu"
    "/opt/python/korvan|lib/x86_64-linux-gnu|/usr|../../../usr/lib/x86_64-linux-gnu"
    "lib/korvan-python|lib|/usr|..")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 package_dir)
  list(GET case 1 library_dir)
  list(GET case 2 prefix)
  list(GET case 3 expected)
  korvan_python_library_from_package(found "${package_dir}" "${library_dir}" "${prefix}")
  if(NOT found STREQUAL expected)
    message(FATAL_ERROR "${package_dir} to ${library_dir}: ${found}, expected ${expected}")
  endif()
  # Taken from where the package lies, the path must reach the library's folder.
  foreach(folder IN ITEMS package_dir library_dir)
    if(NOT IS_ABSOLUTE "${${folder}}")
      set(${folder} "${prefix}/${${folder}}")
    endif()
  endforeach()
  if(IS_ABSOLUTE "${found}")
    set(reached "${found}")
  else()
    cmake_path(APPEND package_dir "${found}" OUTPUT_VARIABLE reached)
  endif()
  cmake_path(NORMAL_PATH reached)
  string(REGEX REPLACE "(.)/$" "\\1" reached "${reached}")
  if(NOT reached STREQUAL library_dir)
    message(FATAL_ERROR "${found} from ${package_dir} reaches ${reached}, not ${library_dir}")
  endif()
endforeach()
