# `cmake --install` lays out what a host project needs: the library with its SONAME links (on
# Windows, the DLL with the C++ runtime DLLs it needs beside it), the public headers, korvan-size
# when it is built, with its manual page, a CMake package for find_package(KorvanCalcValueProvider
# 1.0), a pkg-config file, the licence and the change log (in Debian's layout, DebianLayout.cmake,
# the licence as `copyright` and a Debian change log too). Both descriptions find the library
# relative to where they are installed, so the install tree can be moved.
include(CMakePackageConfigHelpers)
include(PkgConfigFile)

option(KORVAN_INSTALL "Generate the install rules" ${PROJECT_IS_TOP_LEVEL})

if(KORVAN_INSTALL)
  set(korvan_package_dir "${CMAKE_INSTALL_LIBDIR}/cmake/KorvanCalcValueProvider")

  install(
    TARGETS KorvanCalcValueProvider
    EXPORT KorvanCalcValueProviderTargets
    RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT Runtime
    LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT Runtime
            NAMELINK_COMPONENT Development
    ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT Development)
  install(FILES "${PROJECT_SOURCE_DIR}/interface/KorvanCalcValueProvider.h"
                "${PROJECT_SOURCE_DIR}/interface/KorvanCalcValueProviderC.h"
          DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" COMPONENT Development)
  if(KORVAN_WINDOWS_RUNTIME_DLLS)
    install(FILES ${KORVAN_WINDOWS_RUNTIME_DLLS} DESTINATION "${CMAKE_INSTALL_BINDIR}"
            COMPONENT Runtime)
  endif()
  if(TARGET korvan-size)
    install(TARGETS korvan-size RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT Runtime)
  endif()

  if(NOT WIN32)
    include(GzipForInstall)
  endif()
  # The manual page, compressed as man and lintian expect it, where korvan-size's source has one.
  set(korvan_manual_page "${PROJECT_SOURCE_DIR}/tools/korvan-size/korvan-size.1")
  if(TARGET korvan-size AND NOT WIN32 AND EXISTS "${korvan_manual_page}")
    korvan_gzip_for_install("${korvan_manual_page}" "${PROJECT_BINARY_DIR}/man/korvan-size.1.gz")
    install(FILES "${PROJECT_BINARY_DIR}/man/korvan-size.1.gz"
            DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT Runtime)
  endif()

  if(KORVAN_DEBIAN_LAYOUT)
    include(DebianDocuments)
    korvan_write_debian_copyright("${PROJECT_SOURCE_DIR}/LICENSE"
                                  "${PROJECT_BINARY_DIR}/debian/copyright")
    korvan_write_debian_changelog("${PROJECT_BINARY_DIR}/debian/changelog")
    korvan_gzip_for_install("${PROJECT_BINARY_DIR}/debian/changelog"
                            "${PROJECT_BINARY_DIR}/debian/changelog.gz")
    install(FILES "${PROJECT_BINARY_DIR}/debian/copyright" "${PROJECT_BINARY_DIR}/debian/changelog.gz"
                  "${PROJECT_SOURCE_DIR}/CHANGELOG.md"
            DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT Runtime)
    install(FILES "${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides"
            DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides"
            RENAME "${KORVAN_DEBIAN_PACKAGE_NAME}" COMPONENT Runtime)
  else()
    install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" "${PROJECT_SOURCE_DIR}/CHANGELOG.md"
            DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT Runtime)
  endif()

  install(
    EXPORT KorvanCalcValueProviderTargets
    NAMESPACE KorvanCalcValueProvider::
    DESTINATION "${korvan_package_dir}"
    COMPONENT Development)
  configure_package_config_file(
    "${CMAKE_CURRENT_LIST_DIR}/KorvanCalcValueProviderConfig.cmake.in"
    "${PROJECT_BINARY_DIR}/KorvanCalcValueProviderConfig.cmake"
    INSTALL_DESTINATION "${korvan_package_dir}")
  write_basic_package_version_file(
    "${PROJECT_BINARY_DIR}/KorvanCalcValueProviderConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
  install(FILES "${PROJECT_BINARY_DIR}/KorvanCalcValueProviderConfig.cmake"
                "${PROJECT_BINARY_DIR}/KorvanCalcValueProviderConfigVersion.cmake"
          DESTINATION "${korvan_package_dir}" COMPONENT Development)

  korvan_write_pkg_config_file("${CMAKE_CURRENT_LIST_DIR}/KorvanCalcValueProvider.pc.in"
                               "${PROJECT_BINARY_DIR}/KorvanCalcValueProvider.pc")
  install(FILES "${PROJECT_BINARY_DIR}/KorvanCalcValueProvider.pc"
          DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT Development)
endif()
