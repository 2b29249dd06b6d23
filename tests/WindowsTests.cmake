# The Windows build's own check: the DLL's export table. (korvan-size.exe, which loads the DLL with
# LoadLibrary by its plain names, runs the process tests of tests/cli like any build's.)

# The toolchain's own objdump (x86_64-w64-mingw32-objdump for MinGW-w64).
if(CMAKE_OBJDUMP)
  add_test(NAME windows.exported_symbols
           COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
                   -DLIBRARY=$<TARGET_FILE:KorvanCalcValueProvider>
                   -DEXPORT_MAP=${PROJECT_SOURCE_DIR}/interface/exports.map
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/CheckWindowsExports.cmake)
endif()
