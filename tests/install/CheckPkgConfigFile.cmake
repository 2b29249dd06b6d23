# The pkg-config file for each kind of install folder: relative folders resolve from wherever the
# file lies, absolute ones are kept as given. Arguments (-D): TEMPLATE, MODULE (PkgConfigFile.cmake),
# PKG_CONFIG, WORK_DIR.
cmake_minimum_required(VERSION 3.25)
include("${MODULE}")
set(PROJECT_DESCRIPTION "test")
set(PROJECT_VERSION "1.2.3")
file(REMOVE_RECURSE "${WORK_DIR}")

# Writes the file for PREFIX, LIBDIR and INCLUDEDIR as the install lays it out under ROOT (the
# prefix, moved), and requires pkg-config to read libdir and includedir as expected.
function(check_case name prefix libdir includedir expected_libdir expected_includedir)
  set(CMAKE_INSTALL_PREFIX "${prefix}")
  set(CMAKE_INSTALL_LIBDIR "${libdir}")
  set(CMAKE_INSTALL_INCLUDEDIR "${includedir}")
  set(root "${WORK_DIR}/${name}")
  set(pc_dir "${root}/${libdir}/pkgconfig")
  if(IS_ABSOLUTE "${libdir}")
    set(pc_dir "${root}/pkgconfig")
  endif()
  korvan_write_pkg_config_file("${TEMPLATE}" "${pc_dir}/KorvanCalcValueProvider.pc")
  set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
  foreach(variable IN ITEMS libdir includedir)
    execute_process(COMMAND "${PKG_CONFIG}" --variable=${variable} KorvanCalcValueProvider
                    OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
    string(REPLACE "@ROOT@" "${root}" expected "${expected_${variable}}")
    cmake_path(NORMAL_PATH value)
    if(NOT status EQUAL 0 OR NOT value STREQUAL expected)
      file(READ "${pc_dir}/KorvanCalcValueProvider.pc" text)
      message(FATAL_ERROR "${name}: ${variable} is '${value}', expected '${expected}'\n${text}")
    endif()
  endforeach()
endfunction()

check_case(relative /usr/local lib include @ROOT@/lib @ROOT@/include)
check_case(multiarch /usr lib/x86_64-linux-gnu include @ROOT@/lib/x86_64-linux-gnu @ROOT@/include)
check_case(absolute_libdir /usr/local /opt/abs/lib include /opt/abs/lib /usr/local/include)
check_case(absolute_includedir /usr/local lib /opt/abs/include @ROOT@/lib /opt/abs/include)
check_case(both_absolute /usr/local /opt/abs/lib /opt/abs/include /opt/abs/lib /opt/abs/include)
