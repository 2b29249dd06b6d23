# Runs an example script of examples/korvan-size in its folder, with korvan-size on the PATH, and
# checks that its standard output is the text of the .out file beside it. Arguments (-D):
#   SCRIPT   the script; PROGRAM_DIR  the folder of korvan-size
get_filename_component(folder "${SCRIPT}" DIRECTORY)
set(ENV{PATH} "${PROGRAM_DIR}:$ENV{PATH}")
execute_process(COMMAND sh "${SCRIPT}" WORKING_DIRECTORY "${folder}" OUTPUT_VARIABLE out
                RESULT_VARIABLE status)
file(READ "${SCRIPT}.out" expected)
if(NOT status EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "exit status ${status}; output:\n${out}--- expected:\n${expected}")
endif()
