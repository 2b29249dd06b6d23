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
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_NAME korvancalcvalueprovider)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION "${PROJECT_DESCRIPTION}\n"
         " The shared library with its C and C++ headers, CMake package and pkg-config file,\n"
         " the sample host korvan-size and the Python package korvan.")
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
endif()

include(CPack)
