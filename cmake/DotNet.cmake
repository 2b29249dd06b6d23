# The C# binding (dotnet/Korvan): Korvan.dll and its XML documentation Korvan.xml, compiled by
# Mono's C# compiler (Debian's mono-mcs) into <build>/dotnet, where the build finds mcs. The
# assembly references mscorlib alone, and loads the library by its plain name
# KorvanCalcValueProvider at run time. The tests are in dotnet/tests.
option(KORVAN_DOTNET "Build the C# binding where Mono's C# compiler is found" ON)

get_target_property(korvan_dotnet_library_type KorvanCalcValueProvider TYPE)
if(NOT KORVAN_DOTNET OR CMAKE_CROSSCOMPILING
   OR NOT korvan_dotnet_library_type STREQUAL "SHARED_LIBRARY")
  return()
endif()
find_program(KORVAN_MCS mcs)
if(NOT KORVAN_MCS)
  message(STATUS "No mcs (Debian's mono-mcs, tools/install-deps.sh dotnet): "
                 "the C# binding is not built")
  return()
endif()

set(KORVAN_DOTNET_DIR "${PROJECT_BINARY_DIR}/dotnet")
# C# 7, against Mono's 4.5 profile (mscorlib 4.0), with no reference but what each target names;
# every warning (a public member without documentation among them) is an error.
set(KORVAN_CSHARP_FLAGS -nologo -noconfig -langversion:7 -warn:4 -warnaserror+ -optimize+)

# korvan_add_csharp(<target> OUTPUT <file> TARGET library|exe SOURCES <file>...
#                   [REFERENCES <assembly>...] [DEPENDS <file-or-target>...] [FLAGS <flag>...]
#                   [BYPRODUCTS <file>...])
# Compiles the sources into <KORVAN_DOTNET_DIR>/<file>, whenever one of them changes.
function(korvan_add_csharp target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "OUTPUT;TARGET" "SOURCES;REFERENCES;DEPENDS;FLAGS;BYPRODUCTS")
  set(output "${KORVAN_DOTNET_DIR}/${arg_OUTPUT}")
  set(references "")
  foreach(reference IN LISTS arg_REFERENCES)
    list(APPEND references "-r:${reference}")
  endforeach()
  add_custom_command(
    OUTPUT "${output}" ${arg_BYPRODUCTS}
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${KORVAN_DOTNET_DIR}"
    COMMAND "${KORVAN_MCS}" ${KORVAN_CSHARP_FLAGS} -target:${arg_TARGET} "-out:${output}"
            ${references} ${arg_FLAGS} ${arg_SOURCES}
    DEPENDS ${arg_SOURCES} ${arg_DEPENDS}
    COMMENT "Compiling ${arg_OUTPUT} with mcs"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${output}")
endfunction()

configure_file("${PROJECT_SOURCE_DIR}/dotnet/Korvan/AssemblyInfo.cs.in"
               "${PROJECT_BINARY_DIR}/dotnet-sources/AssemblyInfo.cs" @ONLY)
set(KORVAN_DOTNET_SOURCES
    "${PROJECT_BINARY_DIR}/dotnet-sources/AssemblyInfo.cs"
    "${PROJECT_SOURCE_DIR}/dotnet/Korvan/Codes.cs"
    "${PROJECT_SOURCE_DIR}/dotnet/Korvan/KorvanException.cs"
    "${PROJECT_SOURCE_DIR}/dotnet/Korvan/NativeMethods.cs"
    "${PROJECT_SOURCE_DIR}/dotnet/Korvan/Refusal.cs"
    "${PROJECT_SOURCE_DIR}/dotnet/Korvan/Solution.cs"
    "${PROJECT_SOURCE_DIR}/dotnet/Korvan/SolutionEntry.cs"
    "${PROJECT_SOURCE_DIR}/dotnet/Korvan/Valves.cs")
set(KORVAN_DOTNET_ASSEMBLY "${KORVAN_DOTNET_DIR}/Korvan.dll")
set(KORVAN_DOTNET_DOCUMENTATION "${KORVAN_DOTNET_DIR}/Korvan.xml")
korvan_add_csharp(korvan_dotnet OUTPUT Korvan.dll TARGET library
                  SOURCES ${KORVAN_DOTNET_SOURCES}
                  FLAGS -unsafe "-doc:${KORVAN_DOTNET_DOCUMENTATION}"
                  BYPRODUCTS "${KORVAN_DOTNET_DOCUMENTATION}")
