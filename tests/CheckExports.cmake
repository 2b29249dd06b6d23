# The shared library must define exactly the names its version script lists as global, nothing
# else. Arguments (-D): NM, LIBRARY, EXPORT_MAP (the version script).
include("${CMAKE_CURRENT_LIST_DIR}/ExportList.cmake")
korvan_read_export_list("${EXPORT_MAP}" expected nodes)

execute_process(COMMAND "${NM}" -D --defined-only "${LIBRARY}" OUTPUT_VARIABLE symbols
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) ([^@]+)(@.*)?$")
    message(FATAL_ERROR "cannot read nm's line: ${line}")
  endif()
  set(type "${CMAKE_MATCH_1}")
  set(name "${CMAKE_MATCH_2}")
  # Each version node defines an absolute symbol of its own name; nm prints names as name@@NODE.
  if(type STREQUAL "A" AND name IN_LIST nodes)
    continue()
  endif()
  list(APPEND names "${name}")
endforeach()
list(REMOVE_DUPLICATES names)
korvan_expect_exports("${LIBRARY}" "${names}" "${expected}")
