# Checks an installed tree as a separate host project uses it: the layout, the C++ and the C
# example built against the CMake package and with the pkg-config flags, each run, and the
# installed korvan-size. Included by InstallAndConsume.cmake and UnpackPackage.cmake, which pass
# (-D): CONFIG, CONSUMER_SOURCE, C_CONSUMER_SOURCE, GENERATOR, CXX, CC, LIBDIR, BINDIR, INCLUDEDIR,
# DOCDIR, VERSION, PKG_CONFIG, WITH_SAMPLE_HOST and, for the Windows build, TOOLCHAIN_FILE,
# EMULATOR (its words joined by ^^), OBJDUMP and SYSTEM_DLL_DIR (Windows' own DLLs).
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

# Runs PROGRAM (through the emulator, if any) and requires the example's scale factor.
function(expect_solution program origin)
  run(COMMAND ${emulator} "${program}" OUTPUT out)
  if(NOT out MATCHES "scaleFactor +5\\.34833333333333")
    message(FATAL_ERROR "${origin} did not print the example's scale factor:\n${out}")
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
      "${DOCDIR}/LICENSE"
      "${DOCDIR}/CHANGELOG.md")
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

# Configures and builds the example at SOURCE against the prefix, as its own project.
function(build_example source build_dir language program_name out_var)
  set(arguments -S "${source}" -B "${build_dir}" -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${prefix}"
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
  file(GLOB_RECURSE programs "${build_dir}/${program_name}" "${build_dir}/${program_name}.exe")
  if(NOT programs)
    message(FATAL_ERROR "the example in ${source} was not built")
  endif()
  list(GET programs 0 program)
  place_program("${program}" program)
  set(${out_var} "${program}" PARENT_SCOPE)
endfunction()

# Builds both examples with the pkg-config flags, as a Makefile-based host does. The C++ one
# finds the library through the run path it was linked with, the C one through LD_LIBRARY_PATH.
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
  set(cxx_program "${work_dir}/size-example-pc${suffix}")
  run(COMMAND "${CXX}" -std=c++17 "${CONSUMER_SOURCE}/main.cpp" ${flags} ${run_path}
              -o "${cxx_program}")
  place_program("${cxx_program}" cxx_program)
  expect_solution("${cxx_program}" "the consumer built with pkg-config flags")
  set(c_program "${work_dir}/size-example-c-pc${suffix}")
  run(COMMAND "${CC}" -std=c99 "${C_CONSUMER_SOURCE}/main.c" ${flags} -o "${c_program}")
  place_program("${c_program}" c_program)
  set(ENV{LD_LIBRARY_PATH} "${libdir}")
  expect_solution("${c_program}" "the C consumer built with pkg-config flags")
  unset(ENV{LD_LIBRARY_PATH})
endfunction()

# Runs every check on the tree installed at PREFIX, building in WORK_DIR.
function(check_installed_tree prefix work_dir)
  check_layout()
  if(windows)
    check_dll_closure()
  endif()
  build_example("${CONSUMER_SOURCE}" "${work_dir}/consumer" CXX size-example program)
  expect_solution("${program}" "the consumer built with the CMake package")
  build_example("${C_CONSUMER_SOURCE}" "${work_dir}/c-consumer" C size-example-c program)
  expect_solution("${program}" "the C consumer built with the CMake package")
  if(PKG_CONFIG)
    check_pkg_config("${work_dir}")
  endif()
  # The installed sample host finds the installed library relative to itself.
  if(WITH_SAMPLE_HOST)
    set(program "${prefix}/${BINDIR}/korvan-size")
    if(windows)
      string(APPEND program ".exe")
    endif()
    expect_solution("${program}" "the installed korvan-size")
  endif()
endfunction()
