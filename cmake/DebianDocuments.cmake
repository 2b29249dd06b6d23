# The documents Debian's layout adds to the documentation folder, written at configure time:
# `copyright`, the licence in Debian's machine-readable form, and the change log of this version
# in Debian's format (to be compressed with korvan_gzip_for_install, as Debian wants it). The
# maintainer named in the change log, and in the .deb, is KORVAN_PACKAGE_MAINTAINER.
set(KORVAN_PACKAGE_MAINTAINER
    "KorvanCalcValueProvider maintainers <maintainers@users.noreply.c-seed-5e599f6d.example>"
    CACHE STRING "Name <address> of the .deb's maintainer")

# `copyright` from LICENSE: its copyright line, and the text below it as the licence.
function(korvan_write_debian_copyright license output)
  file(STRINGS "${license}" lines)
  list(GET lines 0 title)
  if(NOT title STREQUAL "MIT License")
    message(FATAL_ERROR "${license} is not the MIT licence: name it in Debian's terms here")
  endif()
  set(holder "")
  set(text "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^Copyright \\(c\\) (.+)$")
      set(holder "${CMAKE_MATCH_1}")
    elseif(holder AND (text OR NOT line STREQUAL ""))
      if(line STREQUAL "")
        set(line ".")
      endif()
      string(APPEND text " ${line}\n")
    endif()
  endforeach()
  file(WRITE "${output}.new"
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: ${PROJECT_NAME}\n\n"
       "Files: *\nCopyright: ${holder}\nLicense: Expat\n${text}")
  file(COPY_FILE "${output}.new" "${output}" ONLY_IF_DIFFERENT)
endfunction()

# The change log of a native package: one entry for this version, pointing to CHANGELOG.md. Its
# date is the last commit's, or, with SOURCE_DATE_EPOCH set or outside a clone, that time's.
function(korvan_write_debian_changelog output)
  string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  find_package(Git QUIET)
  if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND GIT_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" log -1 --format=%cD
                    OUTPUT_VARIABLE commit_date OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND commit_date)
      set(date "${commit_date}")
    endif()
  endif()
  file(WRITE "${output}.new"
       "${KORVAN_DEBIAN_PACKAGE_NAME} (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
       "  * Version ${PROJECT_VERSION} of ${PROJECT_NAME}; its changes are listed in\n"
       "    CHANGELOG.md, beside this file.\n\n"
       " -- ${KORVAN_PACKAGE_MAINTAINER}  ${date}\n")
  file(COPY_FILE "${output}.new" "${output}" ONLY_IF_DIFFERENT)
endfunction()
