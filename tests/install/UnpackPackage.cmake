# Builds the package of BUILD_DIR with CPack (PACKAGE_GENERATOR: DEB or ZIP) into WORK_DIR, unpacks it
# (dpkg-deb -x, or as a zip) into a temporary root, requires it to hold exactly what
# `cmake --install` lays out, and checks the unpacked tree as host projects use it
# (ConsumerChecks.cmake, which lists the other arguments). CPACK is cpack; DPKG_DEB dpkg-deb.
include("${CMAKE_CURRENT_LIST_DIR}/ConsumerChecks.cmake")

file(REMOVE_RECURSE "${WORK_DIR}")
run(COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -G "${PACKAGE_GENERATOR}" -C "${CONFIG}"
            -B "${WORK_DIR}/packages")
file(GLOB packages "${WORK_DIR}/packages/*.deb" "${WORK_DIR}/packages/*.zip")
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "CPack made ${count} packages: ${packages}")
endif()

set(root "${WORK_DIR}/root")
file(MAKE_DIRECTORY "${root}")
if(PACKAGE_GENERATOR STREQUAL "DEB")
  run(COMMAND "${DPKG_DEB}" -f "${packages}" Package Version Depends OUTPUT fields)
  if(NOT fields MATCHES "Version: ${VERSION}\n" OR NOT fields MATCHES "Depends: [^\n]*libstdc\\+\\+6")
    message(FATAL_ERROR "the package's control fields are wrong:\n${fields}")
  endif()
  run(COMMAND "${DPKG_DEB}" -x "${packages}" "${root}")
  set(prefix "${root}/usr")
else()
  run(COMMAND "${CMAKE_COMMAND}" -E chdir "${root}" "${CMAKE_COMMAND}" -E tar xf "${packages}")
  file(GLOB prefix "${root}/*")
endif()

# The package holds every installed component, and nothing besides.
set(installed "${WORK_DIR}/installed")
run(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${installed}" --config "${CONFIG}")
file(GLOB_RECURSE expected LIST_DIRECTORIES false RELATIVE "${installed}" "${installed}/*")
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${prefix}" "${prefix}/*")
list(SORT expected)
list(SORT found)
if(NOT found STREQUAL expected)
  set(missing ${expected})
  set(extra ${found})
  list(REMOVE_ITEM missing ${found})
  list(REMOVE_ITEM extra ${expected})
  message(FATAL_ERROR "the package differs from the install\n missing: ${missing}\n extra: ${extra}")
endif()

check_installed_tree("${prefix}" "${WORK_DIR}")
