# `cmake --install` lays out what a host project needs: the library with its SONAME links, the
# public header, korvan-size when it is built, a CMake package for
# find_package(KorvanCalcValueProvider 1.0) and a pkg-config file. Both descriptions find the
# library relative to where they are installed, so the install tree can be moved.
include(CMakePackageConfigHelpers)

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
  if(TARGET korvan-size)
    install(TARGETS korvan-size RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT Runtime)
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

  # pkg-config's ${pcfiledir} makes the prefix relative to the .pc file itself.
  file(RELATIVE_PATH korvan_prefix_from_pc_dir "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig"
       "${CMAKE_INSTALL_PREFIX}")
  string(REGEX REPLACE "/$" "" korvan_prefix_from_pc_dir "${korvan_prefix_from_pc_dir}")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/KorvanCalcValueProvider.pc.in"
                 "${PROJECT_BINARY_DIR}/KorvanCalcValueProvider.pc" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/KorvanCalcValueProvider.pc"
          DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT Development)
endif()
