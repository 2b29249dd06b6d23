# The Python package korvan (python/korvan), pure Python over the library's C interface.
# `cmake --install` puts it into <prefix>/lib/python3/dist-packages/korvan, the folder Debian's
# python3 reads, beside a generated _install_layout.py that holds the library's path relative to
# the package, so that `import korvan` finds the installed library with no environment variable
# and the install tree can be moved.
option(KORVAN_INSTALL_PYTHON "Install the Python package korvan" ${KORVAN_INSTALL})
set(KORVAN_PYTHON_INSTALL_DIR "lib/python3/dist-packages"
    CACHE STRING "Where the Python package korvan is installed, relative to the prefix")

# The package loads the library as a shared library; a build that makes none (a browser build,
# for one) has nothing for it to load.
get_target_property(korvan_python_library_type KorvanCalcValueProvider TYPE)
if(KORVAN_INSTALL AND KORVAN_INSTALL_PYTHON AND korvan_python_library_type STREQUAL "SHARED_LIBRARY")
  set(korvan_python_package_dir "${KORVAN_PYTHON_INSTALL_DIR}/korvan")
  # Where the library's install rule puts the file the system loader opens.
  if(WIN32)
    set(korvan_python_library_dir "${CMAKE_INSTALL_BINDIR}")
    set(korvan_python_library_file "$<TARGET_FILE_NAME:KorvanCalcValueProvider>")
  else()
    set(korvan_python_library_dir "${CMAKE_INSTALL_LIBDIR}")
    set(korvan_python_library_file "$<TARGET_SONAME_FILE_NAME:KorvanCalcValueProvider>")
  endif()

  if(IS_ABSOLUTE "${korvan_python_library_dir}")
    set(korvan_python_library_from_package "${korvan_python_library_dir}")
  elseif(IS_ABSOLUTE "${korvan_python_package_dir}")
    file(RELATIVE_PATH korvan_python_library_from_package "${korvan_python_package_dir}"
         "${CMAKE_INSTALL_PREFIX}/${korvan_python_library_dir}")
  else()
    # Both below the prefix: the relative path holds wherever the prefix is at install time.
    file(RELATIVE_PATH korvan_python_library_from_package "/prefix/${korvan_python_package_dir}"
         "/prefix/${korvan_python_library_dir}")
  endif()

  string(REGEX REPLACE "/$" "" korvan_python_library_from_package
                       "${korvan_python_library_from_package}")
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
    PATTERN "__pycache__" EXCLUDE)
  install(FILES "${PROJECT_BINARY_DIR}/python/_install_layout.py"
          DESTINATION "${korvan_python_package_dir}" COMPONENT Runtime)
endif()
