# Builds the package of BUILD_DIR with CPack (PACKAGE_GENERATOR: DEB or ZIP) into WORK_DIR, unpacks it
# (dpkg-deb -x, or as a zip) into a temporary root, requires it to hold exactly what
# `cmake --install` lays out, and checks the unpacked tree as host projects use it
# (ConsumerChecks.cmake, which lists the other arguments). A .deb must hold stripped binaries and
# install with dpkg into a scratch root. CPACK is cpack; DPKG_DEB dpkg-deb; DPKG dpkg, APT_GET
# apt-get and READELF readelf, where found; PYTHON Debian's python3 if the package holds korvan.
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

if(NOT PACKAGE_GENERATOR STREQUAL "DEB")
  return()
endif()

# The binaries are stripped, and the debug information of each is kept beside the package under
# its build id.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${prefix}/*")
if(NOT READELF)
  set(staged "")
endif()
foreach(file IN LISTS staged)
  file(READ "${file}" magic LIMIT 4 HEX)
  if(IS_SYMLINK "${file}" OR NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  run(COMMAND "${READELF}" -S -n "${file}" OUTPUT sections)
  if(sections MATCHES "\\.debug_info|\\.symtab|\\.comment")
    message(FATAL_ERROR "${file} is not stripped")
  endif()
  if(NOT sections MATCHES "Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)")
    message(FATAL_ERROR "${file} has no build id")
  endif()
  if(NOT EXISTS "${WORK_DIR}/packages/debug/.build-id/${CMAKE_MATCH_1}/${CMAKE_MATCH_2}.debug")
    message(FATAL_ERROR "no debug information kept for ${file}")
  endif()
endforeach()

# `apt install ./<package>.deb`, without touching this machine's packages: apt's resolver accepts
# the package here (simulated), and dpkg installs it into a scratch root with a database of its
# own. The package has no maintainer script to run (ldconfig comes through a trigger), and the
# installed tree holds what the package holds, with korvan-size and the Python package working.
execute_process(COMMAND id -u OUTPUT_VARIABLE user OUTPUT_STRIP_TRAILING_WHITESPACE)
find_program(FAKEROOT fakeroot)
set(as_root "")
if(NOT user STREQUAL "0")
  set(as_root "${FAKEROOT}")
endif()
if(NOT DPKG OR (NOT user STREQUAL "0" AND NOT FAKEROOT))
  message(STATUS "dpkg, or root and fakeroot, not found: the package is not installed by dpkg")
  return()
endif()
if(APT_GET)
  run(COMMAND "${APT_GET}" install --simulate -o Debug::NoLocking=1 "${packages}" OUTPUT plan)
  if(NOT plan MATCHES "Inst korvancalcvalueprovider |korvancalcvalueprovider is already")
    message(FATAL_ERROR "apt would not install the package:\n${plan}")
  endif()
endif()

set(dpkg_root "${WORK_DIR}/dpkg-root")
set(admin_dir "${dpkg_root}/var/lib/dpkg")
file(MAKE_DIRECTORY "${admin_dir}/info" "${admin_dir}/updates")
file(TOUCH "${admin_dir}/status")
run(COMMAND ${as_root} "${DPKG}" "--instdir=${dpkg_root}" "--admindir=${admin_dir}"
            "--log=${WORK_DIR}/dpkg.log" --force-depends --force-not-root "--path-include=*"
            --install "${packages}")
run(COMMAND "${DPKG}" "--admindir=${admin_dir}" --status korvancalcvalueprovider OUTPUT status)
if(NOT status MATCHES "Status: install ok installed")
  message(FATAL_ERROR "dpkg did not install the package:\n${status}")
endif()
file(GLOB_RECURSE installed_by_dpkg LIST_DIRECTORIES false RELATIVE "${dpkg_root}/usr"
     "${dpkg_root}/usr/*")
list(SORT installed_by_dpkg)
if(NOT installed_by_dpkg STREQUAL found)
  message(FATAL_ERROR "dpkg installed other files than the package holds:\n${installed_by_dpkg}")
endif()
run(COMMAND "${dpkg_root}/usr/${BINDIR}/korvan-size" OUTPUT out)
if(NOT out MATCHES "5\\.348333333333334")
  message(FATAL_ERROR "korvan-size installed by dpkg did not size the example:\n${out}")
endif()
if(PYTHON)
  set(ENV{PYTHONPATH} "${dpkg_root}/usr/lib/python3/dist-packages")
  unset(ENV{KORVAN_LIBRARY})
  run(COMMAND "${PYTHON}" -c "import korvan; print(korvan.generate([1, 0, 3], [50, 100, 80]))"
      OUTPUT out)
  if(NOT out MATCHES "5\\.348333333333334")
    message(FATAL_ERROR "the Python package installed by dpkg did not size the example:\n${out}")
  endif()
endif()
