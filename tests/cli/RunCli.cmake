# Runs korvan-size once and checks what a user sees: the exit status, standard output and
# standard error. Arguments (-D):
#   PROGRAM         the program
#   EMULATOR        what runs a cross-built program (its words separated by ^^), or nothing
#   ARGS            its arguments, separated by ^^
#   STDIN           file fed to standard input
#   EXIT            expected exit status
#   STDOUT          file whose text standard output must equal, or
#   STDOUT_MATCHES  regular expression standard output must match; with neither, it must be empty
#   STDERR_MATCHES  regular expression standard error must match; without it, it must be empty
string(REPLACE "^^" ";" arguments "${ARGS}")
string(REPLACE "^^" ";" emulator "${EMULATOR}")
execute_process(
  COMMAND ${emulator} "${PROGRAM}" ${arguments}
  INPUT_FILE "${STDIN}"
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE status)
string(REPLACE "\r\n" "\n" out "${out}")
string(REPLACE "\r\n" "\n" err "${err}")

set(problems "")
if(NOT status STREQUAL EXIT)
  string(APPEND problems "exit status ${status}, expected ${EXIT}\n")
endif()
if(DEFINED STDOUT)
  file(READ "${STDOUT}" expected)
  if(NOT out STREQUAL expected)
    string(APPEND problems "standard output differs from ${STDOUT}\n")
  endif()
elseif(DEFINED STDOUT_MATCHES)
  if(NOT out MATCHES "${STDOUT_MATCHES}")
    string(APPEND problems "standard output does not match ${STDOUT_MATCHES}\n")
  endif()
elseif(NOT out STREQUAL "")
  string(APPEND problems "standard output is not empty\n")
endif()
if(DEFINED STDERR_MATCHES)
  if(NOT err MATCHES "${STDERR_MATCHES}")
    string(APPEND problems "standard error does not match ${STDERR_MATCHES}\n")
  endif()
elseif(NOT err STREQUAL "")
  string(APPEND problems "standard error is not empty\n")
endif()

if(problems)
  message(FATAL_ERROR "${problems}--- stdout ---\n${out}--- stderr ---\n${err}")
endif()
