# korvan_write_pkg_config_file(TEMPLATE OUTPUT) writes the pkg-config file for the install rules
# in force: CMAKE_INSTALL_PREFIX, CMAKE_INSTALL_LIBDIR and CMAKE_INSTALL_INCLUDEDIR. A relative
# folder is written relative to ${pcfiledir}, so the install tree can be moved; an absolute one,
# which no move carries along, is written as it is. Usable in script mode too (cmake -P), where
# the three variables are given with -D.
function(korvan_write_pkg_config_file template output)
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  set(libdir_full "${CMAKE_INSTALL_LIBDIR}")
  if(NOT IS_ABSOLUTE "${libdir_full}")
    set(libdir_full "${prefix}/${libdir_full}")
  endif()
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(korvan_pc_prefix "${prefix}")
    set(korvan_pc_libdir "${CMAKE_INSTALL_LIBDIR}")
  else()
    # The .pc file lies in <libdir>/pkgconfig; the prefix is found from there.
    file(RELATIVE_PATH from_pc_dir "${libdir_full}/pkgconfig" "${prefix}")
    string(REGEX REPLACE "/$" "" from_pc_dir "${from_pc_dir}")
    set(korvan_pc_prefix "\${pcfiledir}/${from_pc_dir}")
    set(korvan_pc_libdir "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  endif()
  if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(korvan_pc_includedir "${CMAKE_INSTALL_INCLUDEDIR}")
  else()
    set(korvan_pc_includedir "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
  endif()
  configure_file("${template}" "${output}" @ONLY)
endfunction()
