# Floating-point results must agree bit for bit across compilers and optimisation levels: no
# fused multiply-add, no value-changing optimisations. This applies to every target of the project.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-ffp-contract=off -fno-fast-math)
elseif(MSVC)
  add_compile_options(/fp:precise /fp:contract-)
endif()

# Exceptions leave the C-linkage exports by design; MSVC's default /EHsc would assume they cannot.
if(MSVC)
  add_compile_options(/EHs /EHc-)
endif()

# One warning set for the library, its tests and its tools alike.
function(korvan_apply_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(
      ${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion
                        -Wsign-conversion -Wold-style-cast -Wnon-virtual-dtor>)
    if(KORVAN_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  elseif(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  endif()
endfunction()

# Hidden visibility still lets weak template instantiations of the standard library out of a
# shared object; a version script leaves exactly the four exported functions.
function(korvan_restrict_exports target map_file)
  if(CMAKE_SYSTEM_NAME MATCHES "Linux|FreeBSD|NetBSD|OpenBSD" AND NOT APPLE)
    target_link_options(${target} PRIVATE "LINKER:--version-script=${map_file}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${map_file}")
  endif()
endfunction()
