# CPack reads this file (CPACK_PROJECT_CONFIG_FILE) before it writes each
# package, and sets SOURCE_DATE_EPOCH for itself and what it runs, as
# Debian's reproducible builds do: the time every package carries, the same
# for every build of one commit. The environment's value is kept; otherwise
# it is the time of the source tree's last commit or, in a tree without git,
# the date of the newest entry of packaging/changelog.
#
# CPack's DEB generator gives every member and every file that time;
# cmake/setup_package.cmake gives it to the zip's files, and the setup
# program stores no file times at all.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"$ENV{SOURCE_DATE_EPOCH}\", not seconds since 1970")
  endif()
else()
  execute_process(COMMAND git -C "${CPACK_TARNWICK_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result ERROR_QUIET)
  if(NOT result EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    file(STRINGS "${CPACK_TARNWICK_SOURCE_DIR}/packaging/changelog" signed REGEX "^ -- .*>  " LIMIT_COUNT 1)
    string(REGEX REPLACE "^ -- .*>  " "" date "${signed}")
    execute_process(COMMAND date -u -d "${date}" +%s OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
      message(FATAL_ERROR "No time for the packages: set SOURCE_DATE_EPOCH (seconds since 1970), "
                          "or build from a git checkout")
    endif()
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
