# korvan_python_library_from_package(<out> <package_dir> <library_dir> <prefix>)
#
# The path by which the installed package korvan finds the installed library's folder: relative
# to the package's folder where both lie below the prefix (so that the install tree can be moved),
# absolute where the library's folder is. <package_dir> and <library_dir> are install destinations
# as CMake takes them (relative to the prefix, or absolute): CMAKE_INSTALL_LIBDIR may be lib,
# lib64, lib/x86_64-linux-gnu (Debian's multiarch folder) or an absolute path.
function(korvan_python_library_from_package out package_dir library_dir prefix)
  if(IS_ABSOLUTE "${library_dir}")
    set(path "${library_dir}")
  elseif(IS_ABSOLUTE "${package_dir}")
    file(RELATIVE_PATH path "${package_dir}" "${prefix}/${library_dir}")
  else()
    # Both below the prefix: the relative path holds wherever the prefix is at install time.
    file(RELATIVE_PATH path "/prefix/${package_dir}" "/prefix/${library_dir}")
  endif()
  string(REGEX REPLACE "/$" "" path "${path}")
  if(path STREQUAL "")
    set(path ".")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()
