# The Python package korvan (python/korvan), pure Python over the library's C interface.
# `cmake --install` puts it into <prefix>/lib/python3/dist-packages/korvan, the folder Debian's
# python3 reads, beside a generated _install_layout.py that holds the library's path relative to
# the package, so that `import korvan` finds the installed library with no environment variable
# and the install tree can be moved.
include(PythonLayout)
option(KORVAN_INSTALL_PYTHON "Install the Python package korvan" ${KORVAN_INSTALL})
set(KORVAN_PYTHON_INSTALL_DIR "lib/python3/dist-packages"
    CACHE STRING "Where the Python package korvan is installed, relative to the prefix")

# The package loads the library as a shared library; a build that makes none (a browser build,
# for one) has nothing for it to load.
get_target_property(korvan_python_library_type KorvanCalcValueProvider TYPE)
if(NOT korvan_python_library_type STREQUAL "SHARED_LIBRARY")
  return()
endif()

# What a wheel of this build holds beside the package (python/setup.py reads it): the library
# under the name the package loads it by, the runtime DLLs a Windows build needs beside it, the
# strip program of the toolchain, and the wheel's platform where it is not the building machine's.
if(WIN32)
  set(korvan_python_wheel_files
      "file\t$<TARGET_FILE:KorvanCalcValueProvider>\t$<TARGET_FILE_NAME:KorvanCalcValueProvider>\n")
  foreach(dll IN LISTS KORVAN_WINDOWS_RUNTIME_DLLS)
    get_filename_component(dll_name "${dll}" NAME)
    string(APPEND korvan_python_wheel_files "file\t${dll}\t${dll_name}\n")
  endforeach()
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    string(APPEND korvan_python_wheel_files "platform\twin_amd64\n")
  endif()
else()
  set(korvan_python_wheel_files
      "file\t$<TARGET_FILE:KorvanCalcValueProvider>\t$<TARGET_SONAME_FILE_NAME:KorvanCalcValueProvider>\n")
endif()
if(CMAKE_STRIP)
  string(APPEND korvan_python_wheel_files "strip\t${CMAKE_STRIP}\n")
endif()
file(GENERATE OUTPUT "${PROJECT_BINARY_DIR}/python/wheel-files.txt"
     CONTENT "${korvan_python_wheel_files}")

if(KORVAN_INSTALL AND KORVAN_INSTALL_PYTHON)
  set(korvan_python_package_dir "${KORVAN_PYTHON_INSTALL_DIR}/korvan")
  # Where the library's install rule puts the file the system loader opens.
  if(WIN32)
    set(korvan_python_library_dir "${CMAKE_INSTALL_BINDIR}")
    set(korvan_python_library_file "$<TARGET_FILE_NAME:KorvanCalcValueProvider>")
  else()
    set(korvan_python_library_dir "${CMAKE_INSTALL_LIBDIR}")
    set(korvan_python_library_file "$<TARGET_SONAME_FILE_NAME:KorvanCalcValueProvider>")
  endif()

  korvan_python_library_from_package(korvan_python_library_from_package
                                     "${korvan_python_package_dir}"
                                     "${korvan_python_library_dir}" "${CMAKE_INSTALL_PREFIX}")
  file(
    GENERATE
    OUTPUT "${PROJECT_BINARY_DIR}/python/_install_layout.py"
    CONTENT
      "# Written by the build: where cmake --install puts the library, from this package.\n\
LIBRARY_FROM_PACKAGE = \"${korvan_python_library_from_package}/${korvan_python_library_file}\"\n")

  install(
    DIRECTORY "${PROJECT_SOURCE_DIR}/python/korvan/"
    DESTINATION "${korvan_python_package_dir}"
    COMPONENT Runtime
    FILES_MATCHING
    PATTERN "*.py"
    PATTERN "py.typed"
    PATTERN "__pycache__" EXCLUDE)
  install(FILES "${PROJECT_BINARY_DIR}/python/_install_layout.py"
          DESTINATION "${korvan_python_package_dir}" COMPONENT Runtime)
endif()
