# On Debian the install takes Debian's layout under any prefix, as the .deb (installed under /usr)
# must: the library, its CMake package and pkg-config file in the multiarch folder
# (lib/x86_64-linux-gnu), which GNUInstallDirs chooses for the prefix /usr only, and the
# documentation in share/doc/<package name>, with the licence as `copyright` and a change log in
# Debian's format beside CHANGELOG.md (InstallRules.cmake). Included before GNUInstallDirs; a
# folder given with -D is kept.
set(KORVAN_DEBIAN_PACKAGE_NAME korvancalcvalueprovider)

set(korvan_on_debian OFF)
if(NOT WIN32 AND CMAKE_LIBRARY_ARCHITECTURE AND EXISTS "/etc/debian_version")
  set(korvan_on_debian ON)
endif()
option(KORVAN_DEBIAN_LAYOUT "Install in Debian's layout (multiarch library folder)"
       ${korvan_on_debian})

if(KORVAN_DEBIAN_LAYOUT)
  if(NOT DEFINED CMAKE_INSTALL_LIBDIR)
    set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}"
        CACHE PATH "Object code libraries (LIBDIR)")
  endif()
  if(NOT DEFINED CMAKE_INSTALL_DOCDIR)
    set(CMAKE_INSTALL_DOCDIR "share/doc/${KORVAN_DEBIAN_PACKAGE_NAME}"
        CACHE PATH "Documentation root (DOCDIR)")
  endif()
endif()
