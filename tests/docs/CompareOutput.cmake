# Runs COMMAND (its words joined by ^^; a cross-build's emulator first) and requires it to succeed
# and its standard output to be byte for byte the content of EXPECTED, the .out file the docs show
# beside an example. With CRLF set, line ends written as \r\n (Windows' text mode) count as \n.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "^^" ";" command "${COMMAND}")
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE printed
                ERROR_VARIABLE errors)
string(JOIN " " shown_command ${command})
if(NOT status EQUAL 0)
  message(FATAL_ERROR "failed (${status}): ${shown_command}\n${errors}")
endif()
if(CRLF)
  string(REPLACE "\r\n" "\n" printed "${printed}")
endif()
file(READ "${EXPECTED}" expected)
if(NOT printed STREQUAL expected)
  message(FATAL_ERROR "${shown_command} printed what ${EXPECTED} does not hold.\n"
                      "--- expected\n${expected}--- printed\n${printed}---\n${errors}")
endif()
