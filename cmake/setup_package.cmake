# CPack's External generator runs this script in the Windows build, after it
# has staged the Windows packages' files (CPACK_TEMPORARY_DIRECTORY, a folder
# named tarnwick-<version>-windows-x64). It writes both packages:
#
#   tarnwick-<version>-windows-x64.zip        Info-ZIP's zip, that folder
#   tarnwick-<version>-windows-x64-setup.exe  NSIS (Debian's nsis package),
#                                             as packaging/tarnwick-setup.nsi says
#
# CPack copies them to the packages folder (with the generator's JSON
# description of the packaging, which `make package` removes). Both are the
# same bytes from every build of one commit: the files in sorted order, the
# zip's with the time SOURCE_DATE_EPOCH (which cmake/package_epoch.cmake
# sets) and no other time, the setup program's with none.
find_program(MAKENSIS makensis)
if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis not found: the setup program needs NSIS (apt-get install nsis)")
endif()
find_program(ZIP zip)
if(NOT ZIP)
  message(FATAL_ERROR "zip not found: the Windows zip needs Info-ZIP's zip (apt-get install zip)")
endif()
set(staged "${CPACK_TEMPORARY_DIRECTORY}")
set(zip "${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_TARNWICK_ZIP_NAME}")
set(setup "${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_TARNWICK_SETUP_NAME}")

# The zip: the staged folder and everything in it, by name. The staged
# copies take the time first. zip stores it as a local time of day (-X
# leaves out the extra fields, which would carry the times of the last
# access and change too): in UTC, so that the bytes do not depend on the
# time zone.
get_filename_component(top "${staged}" NAME)
get_filename_component(above "${staged}" DIRECTORY)
execute_process(COMMAND find "${top}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
                WORKING_DIRECTORY "${above}" COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE entries RELATIVE "${above}" LIST_DIRECTORIES true "${staged}/*")
list(APPEND entries "${top}")
list(SORT entries)
list(JOIN entries "\n" entries)
file(WRITE "${CPACK_TOPLEVEL_DIRECTORY}/zip-entries.txt" "${entries}\n")
file(REMOVE "${zip}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC0 "${ZIP}" -X -9 -q "${zip}" -@
                INPUT_FILE "${CPACK_TOPLEVEL_DIRECTORY}/zip-entries.txt" WORKING_DIRECTORY "${above}"
                COMMAND_ERROR_IS_FATAL ANY)

# The files setup installs, by name, in a fixed order: the program and the
# scene's data (README.txt is the zip's alone). The script installs them one
# by one, and its uninstaller removes these and no others, then each folder
# that is left empty, deepest first: a folder the user chose may hold files
# of the user's, even in models\ or pictures\.
set(files Tarnwick.scr)
set(folders)
foreach(data models sounds pictures)
  file(GLOB_RECURSE found RELATIVE "${staged}" LIST_DIRECTORIES true "${staged}/${data}/*")
  list(APPEND folders ${data})
  foreach(path ${found})
    if(IS_DIRECTORY "${staged}/${path}")
      list(APPEND folders ${path})
    else()
      list(APPEND files ${path})
    endif()
  endforeach()
endforeach()
list(SORT files)
list(SORT folders)
list(REVERSE folders) # a folder sorts after its parent

# A staged path as the install folder's file: NSIS reads "$" at run time as
# the start of a variable, and Windows wants "\\".
function(installed_name out path)
  string(REPLACE "$" "$$" path "${path}")
  string(REPLACE "/" "\\" path "${path}")
  set(${out} "$INSTDIR\\${path}" PARENT_SCOPE)
endfunction()

set(listing "; The files setup installs and its uninstaller removes, written by\n; cmake/setup_package.cmake from the staged files.\n!macro InstallFiles\n")
set(folder_now "none")
foreach(path ${files})
  get_filename_component(folder "${path}" DIRECTORY)
  if(NOT folder STREQUAL folder_now)
    installed_name(out_folder "${folder}")
    string(REGEX REPLACE "\\\\$" "" out_folder "${out_folder}")
    string(APPEND listing "  SetOutPath \"${out_folder}\"\n")
    set(folder_now "${folder}")
  endif()
  string(APPEND listing "  File \"${staged}/${path}\"\n")
endforeach()
string(APPEND listing "  SetOutPath \"$INSTDIR\"\n!macroend\n\n!macro RemoveFiles\n")
foreach(path ${files})
  installed_name(name "${path}")
  string(APPEND listing "  Delete \"${name}\"\n")
endforeach()
foreach(path ${folders})
  installed_name(name "${path}")
  string(APPEND listing "  RMDir \"${name}\"\n")
endforeach()
string(APPEND listing "!macroend\n")
set(listing_file "${CPACK_TOPLEVEL_DIRECTORY}/tarnwick-files.nsh")
file(WRITE "${listing_file}" "${listing}")

execute_process(
  COMMAND "${MAKENSIS}" -V2 -NOCD
          "-DVERSION=${CPACK_PACKAGE_VERSION}" "-DVERSION_QUAD=${CPACK_TARNWICK_VERSION_QUAD}"
          "-DFILES=${listing_file}" "-DICON=${CPACK_TARNWICK_ICON}" "-DPICTURE=${CPACK_TARNWICK_PICTURE}"
          "-DOUTFILE=${setup}" "-DWEBSITE=${CPACK_PACKAGE_HOMEPAGE_URL}" "${CPACK_TARNWICK_SETUP_SCRIPT}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed (${result}) on ${CPACK_TARNWICK_SETUP_SCRIPT}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${zip}" "${setup}")
