# Packages of the install with CPack (`cmake --build --preset release --target package`, or
# `make package`): a .deb of everything `cmake --install` lays out, installed under /usr, and for
# the Windows build a .zip of its install folder. They are written to <build>/packages.
if(NOT KORVAN_INSTALL)
  return()
endif()

set(CPACK_PACKAGE_NAME "${PROJECT_NAME}")
set(CPACK_PACKAGE_VENDOR "the KorvanCalcValueProvider authors")
set(CPACK_PACKAGE_CONTACT "the KorvanCalcValueProvider authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/packages")
set(CPACK_STRIP_FILES OFF)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-win64")
else()
  # Debian's expectations, as lintian checks them: the binaries stripped, their debug information
  # kept beside the package (SplitDebugInfo.cmake), the library in the multiarch folder
  # (DebianLayout.cmake), the documentation folder named after the package with `copyright` and
  # the change log, and ldconfig run through a trigger.
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_NAME ${KORVAN_DEBIAN_PACKAGE_NAME})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KORVAN_PACKAGE_MAINTAINER}")
  set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/SplitDebugInfo.cmake")
  set(CPACK_KORVAN_OBJCOPY "${CMAKE_OBJCOPY}")
  set(CPACK_KORVAN_READELF "${CMAKE_READELF}")
  # The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; these are the lines below it.
  string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
         "KorvanCalcValueProvider sizes valves: for points given by a type and an input\n"
         "value, it picks each point's size from one valve series, so that the sizes\n"
         "follow the points' demands, and reports each point's deviation and a common\n"
         "scale factor.\n"
         "\n"
         "The package holds the shared library with its C and C++ headers, CMake package\n"
         "and pkg-config file, the sample host korvan-size and the Python package korvan.")
  # The Python package needs numpy; the library and korvan-size do not.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3, python3-numpy")
  # Depends from the libraries the installed programs link (dpkg-shlibdeps, of dpkg-dev), and a
  # shlibs file so that packages built against this one depend on it in turn.
  find_program(KORVAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(KORVAN_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  # ldconfig runs through dpkg's trigger once per run, as Debian's library packages do. CPack would
  # add postinst and postrm scripts that call it for a library under /usr/lib unless the control
  # files name scripts of their own: they are named and not written, so the package has none.
  file(WRITE "${PROJECT_BINARY_DIR}/debian/control/triggers" "activate-noawait ldconfig\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
      "${PROJECT_BINARY_DIR}/debian/control/triggers"
      "${PROJECT_BINARY_DIR}/debian/control/no-scripts/postinst"
      "${PROJECT_BINARY_DIR}/debian/control/no-scripts/postrm")
endif()

include(CPack)
