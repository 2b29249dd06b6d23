# cmake -DGZIP=<gzip> -DINPUT=<file> -DOUTPUT=<file.gz> -P GzipFile.cmake
# Compresses INPUT as Debian compresses manual pages and change logs: gzip -9, with no file name
# or time stamp in the header (-n), so that the same input always gives the same bytes.
cmake_minimum_required(VERSION 3.25)
# Not every generator makes the output's folder before the command runs.
get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${GZIP}" -9 -n -c "${INPUT}" OUTPUT_FILE "${OUTPUT}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "${GZIP} could not compress ${INPUT} (${status})")
endif()
