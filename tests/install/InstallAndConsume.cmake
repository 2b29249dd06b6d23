# Installs BUILD_DIR into a fresh prefix under WORK_DIR and checks it as host projects use it
# (ConsumerChecks.cmake, which lists the other arguments).
include("${CMAKE_CURRENT_LIST_DIR}/ConsumerChecks.cmake")

set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${WORK_DIR}")
run(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" --config "${CONFIG}")
check_installed_tree("${prefix}" "${WORK_DIR}")
