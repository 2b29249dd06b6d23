# Documents that Debian's tools read compressed (manual pages, change logs) are installed as gzip
# files made by the build.

# korvan_gzip_for_install(INPUT OUTPUT): OUTPUT is INPUT compressed, remade with the build (target
# korvan_compressed_documents) whenever INPUT changes.
find_program(KORVAN_GZIP gzip REQUIRED)
add_custom_target(korvan_compressed_documents ALL)
function(korvan_gzip_for_install input output)
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DGZIP=${KORVAN_GZIP}" "-DINPUT=${input}" "-DOUTPUT=${output}"
            -P "${PROJECT_SOURCE_DIR}/cmake/GzipFile.cmake"
    DEPENDS "${input}" "${PROJECT_SOURCE_DIR}/cmake/GzipFile.cmake"
    COMMENT "Compressing ${input}"
    VERBATIM)
  cmake_path(GET output FILENAME name)
  add_custom_target(korvan_gzip_${name} DEPENDS "${output}")
  add_dependencies(korvan_compressed_documents korvan_gzip_${name})
endfunction()
