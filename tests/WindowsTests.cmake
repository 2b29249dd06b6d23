# The Windows build's own checks: the DLL's export table, and korvan-size.exe loading the DLL with
# LoadLibrary by its plain names (under Wine when cross-built).

find_program(KORVAN_OBJDUMP NAMES ${CMAKE_CXX_LIBRARY_ARCHITECTURE}-objdump x86_64-w64-mingw32-objdump
                                  objdump)
if(KORVAN_OBJDUMP)
  add_test(NAME windows.exported_symbols
           COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${KORVAN_OBJDUMP}
                   -DLIBRARY=$<TARGET_FILE:KorvanCalcValueProvider>
                   -DEXPORT_MAP=${PROJECT_SOURCE_DIR}/interface/exports.map
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/CheckWindowsExports.cmake)
endif()

if(TARGET korvan-size)
  set(korvan_expected "${CMAKE_CURRENT_SOURCE_DIR}/cli/expected")
  # korvan_windows_program_test(NAME EXPECTED_OUTPUT_FILE|REGEX ARGUMENTS...)
  function(korvan_windows_program_test name expected)
    string(JOIN "^^" command ${CMAKE_CROSSCOMPILING_EMULATOR} "$<TARGET_FILE:korvan-size>" ${ARGN})
    add_test(NAME windows.${name}
             COMMAND ${CMAKE_COMMAND} "-DEXPECTED=${expected}" "-DCOMMAND=${command}"
                     -P "${CMAKE_CURRENT_SOURCE_DIR}/RunProgram.cmake")
  endfunction()
  korvan_windows_program_test(korvan_size_example "${korvan_expected}/example.txt")
  korvan_windows_program_test(korvan_size_csv "${korvan_expected}/example.csv" --format csv)
  korvan_windows_program_test(korvan_size_reduce "${korvan_expected}/reduce.txt" reduce 0.3 0.5 0.3)
  korvan_windows_program_test(korvan_size_version
                              "^KorvanCalcValueProvider 1\\.0 \\(.*KorvanCalcValueProvider\\.dll\\)\n$"
                              --version)
endif()
