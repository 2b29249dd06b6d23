# Runs COMMAND (its words joined by ^^) and requires exit status 0, nothing on standard error and
# standard output equal to the file EXPECTED, or matching EXPECTED when it is no file. Line ends
# are compared as \n: a Windows program writes \r\n.
string(REPLACE "^^" ";" command "${COMMAND}")
execute_process(COMMAND ${command} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
string(REPLACE "\r\n" "\n" out "${out}")
if(EXISTS "${EXPECTED}")
  file(READ "${EXPECTED}" expected)
  set(same FALSE)
  if(out STREQUAL expected)
    set(same TRUE)
  endif()
elseif(out MATCHES "${EXPECTED}")
  set(same TRUE)
else()
  set(same FALSE)
endif()
if(NOT status EQUAL 0 OR NOT err STREQUAL "" OR NOT same)
  message(FATAL_ERROR "exit status ${status}; standard output against ${EXPECTED}: same ${same}\n"
                      "--- stdout ---\n${out}--- stderr ---\n${err}")
endif()
