# The DLL's export table must hold exactly the names the version script lists as global, nothing
# else, under the DLL's own name. Arguments (-D): OBJDUMP (x86_64-w64-mingw32-objdump), LIBRARY,
# EXPORT_MAP (the version script).
include("${CMAKE_CURRENT_LIST_DIR}/ExportList.cmake")
korvan_read_export_list("${EXPORT_MAP}" expected nodes)

execute_process(COMMAND "${OBJDUMP}" -p "${LIBRARY}" OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}")
endif()
get_filename_component(file_name "${LIBRARY}" NAME)
if(NOT headers MATCHES "\nName[ \t]+[0-9a-fA-F]+ ([^\n]+)\n")
  message(FATAL_ERROR "${LIBRARY} has no export table")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL file_name)
  message(FATAL_ERROR "${LIBRARY} exports under the name ${CMAKE_MATCH_1}")
endif()

# The names follow the "[Ordinal/Name Pointer] Table" heading, one "[   n] name" line each.
string(FIND "${headers}" "[Ordinal/Name Pointer] Table" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${LIBRARY} exports no name")
endif()
string(SUBSTRING "${headers}" ${start} -1 table)
string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [^\n]+" entries "${table}")
set(names "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^\n\t\\[ *[0-9]+\\] " "" name "${entry}")
  list(APPEND names "${name}")
endforeach()
korvan_expect_exports("${LIBRARY}" "${names}" "${expected}")
