# CPack's External generator runs this script in the Windows build, after it
# has staged the same files as the zip's (CPACK_TEMPORARY_DIRECTORY): NSIS
# (Debian's nsis package) turns them into the setup program
# tarnwick-<version>-windows-x64-setup.exe, which packaging/tarnwick-setup.nsi
# describes. CPack copies it to the packages folder beside the zip (with the
# generator's JSON description of the packaging, which `make package`
# removes).
find_program(MAKENSIS makensis)
if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis not found: the setup program needs NSIS (apt-get install nsis)")
endif()
set(setup "${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_TARNWICK_SETUP_NAME}")
execute_process(
  COMMAND "${MAKENSIS}" -V2 -NOCD
          "-DVERSION=${CPACK_PACKAGE_VERSION}" "-DVERSION_QUAD=${CPACK_TARNWICK_VERSION_QUAD}"
          "-DSTAGED=${CPACK_TEMPORARY_DIRECTORY}" "-DICON=${CPACK_TARNWICK_ICON}" "-DOUTFILE=${setup}"
          "-DWEBSITE=${CPACK_PACKAGE_HOMEPAGE_URL}" "${CPACK_TARNWICK_SETUP_SCRIPT}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed (${result}) on ${CPACK_TARNWICK_SETUP_SCRIPT}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${setup}")
