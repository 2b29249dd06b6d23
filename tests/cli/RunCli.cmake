# Runs korvan-size once and checks what a user sees: the exit status, standard output and
# standard error. Arguments (-D):
#   PROGRAM         the program
#   EMULATOR        what runs a cross-built program (its words separated by ^^), or nothing
#   ARGS            its arguments, separated by ^^
#   STDIN           file fed to standard input
#   EXIT            expected exit status
#   OUTPUT_FILE     where standard output goes (a device such as /dev/full), instead of a check
#   STDOUT          file whose bytes standard output must equal, or
#   STDOUT_MATCHES  regular expression standard output must match; with neither, it must be empty
#   STDERR          file whose text, after "korvan-size: ", standard error must equal, or
#   STDERR_MATCHES  regular expression standard error must match; without either, it must be empty
#   WRITTEN         a file the run writes and the file its bytes must equal, separated by ^^
string(REPLACE "^^" ";" arguments "${ARGS}")
string(REPLACE "^^" ";" emulator "${EMULATOR}")
string(REPLACE "^^" ";" written "${WRITTEN}")
if(NOT DEFINED OUTPUT_FILE)
  set(OUTPUT_FILE "${CMAKE_CURRENT_BINARY_DIR}/cli-stdout-${NAME}")
endif()
if(written)
  list(GET written 0 written_file)
  file(REMOVE "${written_file}")
endif()
execute_process(
  COMMAND ${emulator} "${PROGRAM}" ${arguments}
  INPUT_FILE "${STDIN}"
  OUTPUT_FILE "${OUTPUT_FILE}"
  ERROR_VARIABLE err
  RESULT_VARIABLE status)
string(REPLACE "\r\n" "\n" err "${err}")

# Files compared byte for byte, NUL bytes included.
function(same_bytes actual expected result)
  set(same FALSE)
  if(EXISTS "${actual}")
    file(SHA256 "${actual}" actual_hash)
    file(SHA256 "${expected}" expected_hash)
    if(actual_hash STREQUAL expected_hash)
      set(same TRUE)
    endif()
  endif()
  set(${result} ${same} PARENT_SCOPE)
endfunction()

set(problems "")
set(out "")
if(NOT OUTPUT_FILE MATCHES "^/dev/")
  file(READ "${OUTPUT_FILE}" out)
endif()
if(NOT status STREQUAL EXIT)
  string(APPEND problems "exit status ${status}, expected ${EXIT}\n")
endif()
if(DEFINED STDOUT)
  same_bytes("${OUTPUT_FILE}" "${STDOUT}" same)
  if(NOT same)
    string(APPEND problems "standard output differs from ${STDOUT}\n")
  endif()
elseif(DEFINED STDOUT_MATCHES)
  if(NOT out MATCHES "${STDOUT_MATCHES}")
    string(APPEND problems "standard output does not match ${STDOUT_MATCHES}\n")
  endif()
elseif(NOT OUTPUT_FILE MATCHES "^/dev/")
  file(SIZE "${OUTPUT_FILE}" size)
  if(NOT size EQUAL 0)
    string(APPEND problems "standard output is not empty\n")
  endif()
endif()
if(DEFINED STDERR)
  file(READ "${STDERR}" expected)
  if(NOT err STREQUAL "korvan-size: ${expected}")
    string(APPEND problems "standard error is not korvan-size: and the text of ${STDERR}\n")
  endif()
elseif(DEFINED STDERR_MATCHES)
  if(NOT err MATCHES "${STDERR_MATCHES}")
    string(APPEND problems "standard error does not match ${STDERR_MATCHES}\n")
  endif()
elseif(NOT err STREQUAL "")
  string(APPEND problems "standard error is not empty\n")
endif()
if(written)
  list(GET written 1 written_expected)
  same_bytes("${written_file}" "${written_expected}" same)
  if(NOT same)
    string(APPEND problems "${written_file} differs from ${written_expected}\n")
  endif()
endif()

if(problems)
  message(FATAL_ERROR "${problems}--- stdout ---\n${out}--- stderr ---\n${err}")
endif()
