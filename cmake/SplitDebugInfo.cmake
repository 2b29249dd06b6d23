# CPack runs this before it makes the .deb (CPACK_PRE_BUILD_SCRIPTS): every ELF file of the
# staged install is stripped as Debian strips its packages (the symbols a debugger needs and the
# compiler's .comment section removed), and its debug information is kept in
# packages/debug/.build-id/<xx>/<rest of the build id>.debug, the layout that gdb reads from a
# debug-file-directory. CPACK_KORVAN_OBJCOPY and CPACK_KORVAN_READELF name the tools.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(debug_dir "${CPACK_PACKAGE_DIRECTORY}/debug")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(JOIN " " command ${ARGN})
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  run("${CPACK_KORVAN_READELF}" -n "${file}")
  if(output MATCHES "Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)")
    set(debug_file "${debug_dir}/.build-id/${CMAKE_MATCH_1}/${CMAKE_MATCH_2}.debug")
  else()
    file(RELATIVE_PATH relative "${CPACK_TEMPORARY_DIRECTORY}" "${file}")
    set(debug_file "${debug_dir}/${relative}.debug")
  endif()
  cmake_path(GET debug_file PARENT_PATH folder)
  file(MAKE_DIRECTORY "${folder}")
  run("${CPACK_KORVAN_OBJCOPY}" --only-keep-debug "${file}" "${debug_file}")
  run("${CPACK_KORVAN_OBJCOPY}" --strip-unneeded --remove-section=.comment "${file}")
  message(STATUS "Stripped ${file}; its debug information is in ${debug_file}")
endforeach()
