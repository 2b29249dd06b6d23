# The Windows build: KorvanCalcValueProvider.dll with the MinGW-w64 runtime DLLs it needs, and, when
# cross-compiled (cmake/toolchains/mingw-w64-x86_64.cmake), the programs run under Wine and
# GoogleTest built for the target from Debian's sources.
if(NOT WIN32)
  return()
endif()

# Hosts load the library by this name; the import library keeps its lib prefix for -l.
set_target_properties(KorvanCalcValueProvider PROPERTIES PREFIX "")

# Windows finds a program's DLLs beside it: every program and DLL of the build goes to one folder.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/bin")
set_target_properties(KorvanCalcValueProvider PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                         "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")

# The vector boundary needs host and library to share one C++ runtime, so the library links
# MinGW's runtime as DLLs, which are installed beside it.
set(KORVAN_WINDOWS_RUNTIME_DLLS "")
if(MINGW)
  foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
      message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    file(REAL_PATH "${dll_path}" dll_path)
    list(APPEND KORVAN_WINDOWS_RUNTIME_DLLS "${dll_path}")
  endforeach()
endif()

if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

# Every program of the build (GoogleTest's discovery, the tests, korvan-size) runs under Wine, in
# a prefix of the build tree's own. Like any Windows program it finds its DLLs beside it: the
# runtime DLLs are copied into the build's program folder, and nothing else is on Wine's path.
file(COPY ${KORVAN_WINDOWS_RUNTIME_DLLS} DESTINATION "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  # Debian's wine64 installs its loader and server under /usr/lib/wine, not on PATH.
  find_program(KORVAN_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
  find_program(KORVAN_WINESERVER NAMES wineserver PATHS /usr/lib/wine REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_COMMAND}" -E env "WINEPREFIX=${PROJECT_BINARY_DIR}/wine" "KORVAN_WINE=${KORVAN_WINE}"
      "KORVAN_WINESERVER=${KORVAN_WINESERVER}" sh "${PROJECT_SOURCE_DIR}/tools/run-under-wine.sh")
  # Creating a prefix takes several seconds; done here once, not inside the first test's time limit.
  if(NOT EXISTS "${PROJECT_BINARY_DIR}/wine/drive_c")
    message(STATUS "Creating the Wine prefix ${PROJECT_BINARY_DIR}/wine")
    execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit RESULT_VARIABLE status
                    OUTPUT_QUIET ERROR_QUIET)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "Wine cannot run programs here (${status}); see ${PROJECT_BINARY_DIR}/wine.boot.log")
    endif()
  endif()
endif()

# GoogleTest for the target, from the sources Debian's googletest package installs.
if(KORVAN_DEVELOPER_MODE AND NOT TARGET GTest::gtest_main)
  set(KORVAN_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest's source tree")
  if(NOT EXISTS "${KORVAN_GOOGLETEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "no GoogleTest sources in ${KORVAN_GOOGLETEST_SOURCE}: "
                        "install Debian's googletest (tools/install-deps.sh windows)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "")
  set(INSTALL_GTEST OFF CACHE BOOL "")
  add_subdirectory("${KORVAN_GOOGLETEST_SOURCE}" "${PROJECT_BINARY_DIR}/googletest"
                   EXCLUDE_FROM_ALL SYSTEM)
endif()
