# Checks an installed tree as a separate host project uses it: the layout, the C++ and the C
# examples built against the CMake package and with the pkg-config flags, each run and its output
# compared with the .out file the docs show, the manual page, and the installed korvan-size.
# Included by InstallAndConsume.cmake and UnpackPackage.cmake, which pass (-D): CONFIG,
# CPP_EXAMPLES and C_EXAMPLES (the examples' folders), GENERATOR, CXX, CC, LIBDIR, BINDIR,
# INCLUDEDIR, DOCDIR, VERSION, PKG_CONFIG, WITH_SAMPLE_HOST, DEBIAN_LAYOUT, MANUAL_PAGE (where the
# manual page is installed, if it is), MAN (man, if found) and, for the Windows build,
# TOOLCHAIN_FILE, EMULATOR (its words joined by ^^), OBJDUMP and SYSTEM_DLL_DIR (Windows' own
# DLLs).
string(REPLACE "^^" ";" emulator "${EMULATOR}")
set(windows FALSE)
if(TOOLCHAIN_FILE OR CXX MATCHES "mingw")
  set(windows TRUE)
endif()
cmake_minimum_required(VERSION 3.25)

function(run)
  cmake_parse_arguments(PARSE_ARGV 0 step "" "OUTPUT" "COMMAND")
  execute_process(COMMAND ${step_COMMAND} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(JOIN " " command ${step_COMMAND})
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}")
  endif()
  if(step_OUTPUT)
    set(${step_OUTPUT} "${out}" PARENT_SCOPE)
  endif()
endfunction()

# Runs PROGRAM (through the emulator, if any) and requires it to print exactly what EXPECTED, the
# output the docs show, holds (Windows' text mode writes \r\n for each \n).
function(expect_output program expected origin)
  execute_process(COMMAND ${emulator} "${program}" RESULT_VARIABLE status OUTPUT_VARIABLE printed
                  ERROR_VARIABLE errors)
  if(windows)
    string(REPLACE "\r\n" "\n" printed "${printed}")
  endif()
  file(READ "${expected}" wanted)
  if(NOT status EQUAL 0 OR NOT printed STREQUAL wanted)
    message(FATAL_ERROR "${origin} (${status}) did not print what ${expected} holds:\n"
                        "${printed}${errors}")
  endif()
endfunction()

# A Windows program finds its DLLs beside it: a host ships its program in the install's folder.
function(place_program program out_var)
  if(windows)
    get_filename_component(name "${program}" NAME)
    file(COPY "${program}" DESTINATION "${prefix}/${BINDIR}")
    set(program "${prefix}/${BINDIR}/${name}")
  endif()
  set(${out_var} "${program}" PARENT_SCOPE)
endfunction()

function(check_layout)
  set(expected_files
      "${INCLUDEDIR}/KorvanCalcValueProvider.h"
      "${INCLUDEDIR}/KorvanCalcValueProviderC.h"
      "${LIBDIR}/cmake/KorvanCalcValueProvider/KorvanCalcValueProviderConfig.cmake"
      "${LIBDIR}/cmake/KorvanCalcValueProvider/KorvanCalcValueProviderConfigVersion.cmake"
      "${LIBDIR}/cmake/KorvanCalcValueProvider/KorvanCalcValueProviderTargets.cmake"
      "${LIBDIR}/pkgconfig/KorvanCalcValueProvider.pc"
      "${DOCDIR}/CHANGELOG.md")
  if(DEBIAN_LAYOUT)
    list(APPEND expected_files "${DOCDIR}/copyright" "${DOCDIR}/changelog.gz")
  else()
    list(APPEND expected_files "${DOCDIR}/LICENSE")
  endif()
  if(MANUAL_PAGE)
    list(APPEND expected_files "${MANUAL_PAGE}")
  endif()
  if(windows)
    list(APPEND expected_files "${BINDIR}/KorvanCalcValueProvider.dll"
         "${LIBDIR}/libKorvanCalcValueProvider.dll.a" "${BINDIR}/libstdc++-6.dll"
         "${BINDIR}/libgcc_s_seh-1.dll" "${BINDIR}/libwinpthread-1.dll")
  else()
    # The library with its SONAME link and the development link.
    list(APPEND expected_files "${LIBDIR}/libKorvanCalcValueProvider.so.${VERSION}")
    foreach(link IN ITEMS libKorvanCalcValueProvider.so.1 libKorvanCalcValueProvider.so)
      if(NOT IS_SYMLINK "${prefix}/${LIBDIR}/${link}")
        message(FATAL_ERROR "not installed as a link: ${LIBDIR}/${link}")
      endif()
    endforeach()
  endif()
  foreach(file IN LISTS expected_files)
    if(NOT EXISTS "${prefix}/${file}")
      message(FATAL_ERROR "not installed: ${file}")
    endif()
  endforeach()
endfunction()

# `man korvan-size` finds the installed page in the tree's manual folder, and man renders it
# without a warning from groff.
function(check_manual_page)
  if(NOT MANUAL_PAGE OR NOT MAN)
    return()
  endif()
  cmake_path(GET MANUAL_PAGE PARENT_PATH section_dir)
  cmake_path(GET section_dir PARENT_PATH manual_dir)
  run(COMMAND "${MAN}" -M "${prefix}/${manual_dir}" -w korvan-size OUTPUT found)
  string(STRIP "${found}" found)
  if(NOT found STREQUAL "${prefix}/${MANUAL_PAGE}")
    message(FATAL_ERROR "man found '${found}' for korvan-size, not ${prefix}/${MANUAL_PAGE}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env MANWIDTH=80 MAN_KEEP_FORMATTING=0
                          "${MAN}" --warnings -E UTF-8 -l "${found}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE page ERROR_VARIABLE warnings)
  if(NOT status EQUAL 0 OR warnings OR NOT page MATCHES "korvan-size")
    message(FATAL_ERROR "man could not render ${found} cleanly (${status}):\n${warnings}")
  endif()
endfunction()

# Every DLL that a program or DLL of the install's program folder imports lies beside it or is
# one of Windows' own: the folder needs nothing else installed.
function(check_dll_closure)
  file(GLOB system_dlls RELATIVE "${SYSTEM_DLL_DIR}" "${SYSTEM_DLL_DIR}/*.dll")
  file(GLOB shipped RELATIVE "${prefix}/${BINDIR}" "${prefix}/${BINDIR}/*.dll")
  string(TOLOWER "${system_dlls};${shipped}" available)
  file(GLOB binaries "${prefix}/${BINDIR}/*.dll" "${prefix}/${BINDIR}/*.exe")
  foreach(binary IN LISTS binaries)
    run(COMMAND "${OBJDUMP}" -p "${binary}" OUTPUT headers)
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
    foreach(import IN LISTS imports)
      string(REGEX REPLACE "^DLL Name: " "" dll "${import}")
      string(TOLOWER "${dll}" dll)
      if(NOT dll IN_LIST available)
        message(FATAL_ERROR "${binary} needs ${dll}, which the install does not hold")
      endif()
    endforeach()
  endforeach()
endfunction()

# The examples of a folder: each source with the .out file the docs show beside it.
function(examples_of folder out_var)
  file(GLOB sources "${folder}/*.c" "${folder}/*.cpp")
  set(examples "")
  foreach(source IN LISTS sources)
    if(EXISTS "${source}.out")
      list(APPEND examples "${source}")
    endif()
  endforeach()
  if(NOT examples)
    message(FATAL_ERROR "${folder} holds no example with a .out file")
  endif()
  set(${out_var} "${examples}" PARENT_SCOPE)
endfunction()

# Configures and builds the examples' project in FOLDER against the prefix, as a host project of
# its own, and runs each example it builds.
function(check_examples folder build_dir language)
  set(arguments -S "${folder}" -B "${build_dir}" -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${prefix}"
                "-DCMAKE_BUILD_TYPE=${CONFIG}")
  if(TOOLCHAIN_FILE)
    # A cross-build looks for packages inside the target's root only; the package is named.
    list(APPEND arguments "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE}"
         "-DKorvanCalcValueProvider_DIR=${prefix}/${LIBDIR}/cmake/KorvanCalcValueProvider")
  elseif(language STREQUAL "C")
    list(APPEND arguments "-DCMAKE_C_COMPILER=${CC}")
  else()
    list(APPEND arguments "-DCMAKE_CXX_COMPILER=${CXX}")
  endif()
  run(COMMAND "${CMAKE_COMMAND}" ${arguments})
  run(COMMAND "${CMAKE_COMMAND}" --build "${build_dir}" --config "${CONFIG}")
  examples_of("${folder}" examples)
  foreach(source IN LISTS examples)
    cmake_path(GET source STEM name)
    file(GLOB_RECURSE programs "${build_dir}/${name}" "${build_dir}/${name}.exe")
    if(NOT programs)
      message(FATAL_ERROR "the example ${source} was not built")
    endif()
    list(GET programs 0 program)
    place_program("${program}" program)
    expect_output("${program}" "${source}.out" "${name}, built with the CMake package")
  endforeach()
endfunction()

# Builds every example with the pkg-config flags, as a Makefile-based host does. The C++ ones find
# the library through the run path they were linked with, the C ones through LD_LIBRARY_PATH.
function(check_pkg_config work_dir)
  set(ENV{PKG_CONFIG_PATH} "${prefix}/${LIBDIR}/pkgconfig")
  run(COMMAND "${PKG_CONFIG}" --modversion KorvanCalcValueProvider OUTPUT version)
  if(NOT version MATCHES "^${VERSION}")
    message(FATAL_ERROR "pkg-config reports version ${version}")
  endif()
  run(COMMAND "${PKG_CONFIG}" --cflags --libs KorvanCalcValueProvider OUTPUT flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run(COMMAND "${PKG_CONFIG}" --variable=libdir KorvanCalcValueProvider OUTPUT libdir)
  string(STRIP "${libdir}" libdir)
  set(suffix "")
  set(run_path "")
  if(windows)
    set(suffix ".exe")
  else()
    set(run_path "-Wl,-rpath,${libdir}")
  endif()
  examples_of("${CPP_EXAMPLES}" cpp_examples)
  foreach(source IN LISTS cpp_examples)
    cmake_path(GET source STEM name)
    set(program "${work_dir}/${name}-cpp-pc${suffix}")
    run(COMMAND "${CXX}" -std=c++17 "${source}" ${flags} ${run_path} -o "${program}")
    place_program("${program}" program)
    expect_output("${program}" "${source}.out" "${name}.cpp built with pkg-config flags")
  endforeach()
  examples_of("${C_EXAMPLES}" c_examples)
  set(ENV{LD_LIBRARY_PATH} "${libdir}")
  foreach(source IN LISTS c_examples)
    cmake_path(GET source STEM name)
    set(program "${work_dir}/${name}-c-pc${suffix}")
    run(COMMAND "${CC}" -std=c99 "${source}" ${flags} -o "${program}")
    place_program("${program}" program)
    expect_output("${program}" "${source}.out" "${name}.c built with pkg-config flags")
  endforeach()
  unset(ENV{LD_LIBRARY_PATH})
endfunction()

# Runs every check on the tree installed at PREFIX, building in WORK_DIR.
function(check_installed_tree prefix work_dir)
  check_layout()
  check_manual_page()
  if(windows)
    check_dll_closure()
  endif()
  check_examples("${CPP_EXAMPLES}" "${work_dir}/cpp-examples" CXX)
  check_examples("${C_EXAMPLES}" "${work_dir}/c-examples" C)
  if(PKG_CONFIG)
    check_pkg_config("${work_dir}")
  endif()
  # The installed sample host finds the installed library relative to itself and sizes the
  # example of the docs.
  if(WITH_SAMPLE_HOST)
    set(program "${prefix}/${BINDIR}/korvan-size")
    if(windows)
      string(APPEND program ".exe")
    endif()
    run(COMMAND ${emulator} "${program}" OUTPUT out)
    if(NOT out MATCHES "5\\.348333333333334")
      message(FATAL_ERROR "the installed korvan-size did not print the scale factor:\n${out}")
    endif()
  endif()
endfunction()
