# What the packages hold, and how CPack writes them. `make package` runs
# CPack in each build and collects the results in build/packages/:
#
#   build         generator  package
#   build/linux   DEB        tarnwick_<version>_amd64.deb
#   build/windows External   tarnwick-<version>-windows-x64.zip and
#                            tarnwick-<version>-windows-x64-setup.exe (NSIS)
#
# Two builds of one commit give the same bytes: every time a package carries
# is SOURCE_DATE_EPOCH (cmake/package_epoch.cmake), the archives list their
# files in sorted order, and the Windows program is linked without a time
# stamp.
#
# The Debian package lays the program out as Debian's own xscreensaver hacks
# are laid out (paths below /usr):
#
#   libexec/xscreensaver/tarnwick            the program, where xscreensaver looks for hacks
#   bin/tarnwick -> ../libexec/xscreensaver/tarnwick   on the PATH for /s, /c, /p
#   share/xscreensaver/config/tarnwick.xml   the hack's options for xscreensaver-settings
#   share/man/man6/tarnwick.6x.gz            the manual page
#   share/applications/screensavers/tarnwick.desktop
#   share/tarnwick/{models,sounds,pictures}/ the scene's data
#   share/doc/tarnwick/{copyright,changelog.gz}
#
# The zip holds one folder: Tarnwick.scr (Tarnwick.exe under the name the
# control panel lists) beside models/, sounds/, pictures/ and README.txt.
# The setup program installs the same files but README.txt into Program
# Files\Tarnwick, installs the screensaver as "Tarnwick.scr /i" does and
# registers an uninstaller (packaging/tarnwick-setup.nsi).
# The tools and test harnesses beside the programs in the distribution
# folders go in neither package.

set(TARNWICK_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(TARNWICK_STAGED_DIR ${CMAKE_BINARY_DIR}/packaging)
set(TARNWICK_DATA_FOLDERS ${TARNWICK_DIST_DIR}/models ${TARNWICK_DIST_DIR}/sounds ${TARNWICK_DIST_DIR}/pictures)

set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR Moonquill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D lake screensaver with live water ripples")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://moonquill.example/screensavers")
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/package_epoch.cmake)
set(CPACK_TARNWICK_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

# Strips a program the package installs as Debian's dh_strip does: the
# symbols, and the .comment and .note sections, which only name the compiler.
function(tarnwick_strip_installed path)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${path}\" COMMAND_ERROR_IS_FATAL ANY)
endif()")
endfunction()

if(WIN32)
  # CPack stages the files, cmake/setup_package.cmake zips them (CPack's
  # own ZIP generator lists them in the order the file system gives) and
  # runs NSIS on them.
  set(CPACK_GENERATOR External)
  set(CPACK_PACKAGE_FILE_NAME tarnwick-${PROJECT_VERSION}-windows-x64)
  set(CPACK_EXTERNAL_ENABLE_STAGING ON)
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/setup_package.cmake)
  set(CPACK_TARNWICK_ZIP_NAME ${CPACK_PACKAGE_FILE_NAME}.zip)
  set(CPACK_TARNWICK_SETUP_NAME ${CPACK_PACKAGE_FILE_NAME}-setup.exe)
  set(CPACK_TARNWICK_SETUP_SCRIPT ${TARNWICK_PACKAGING_DIR}/tarnwick-setup.nsi)
  set(CPACK_TARNWICK_ICON ${TARNWICK_DATA_DIR}/tarnwick.ico)
  set(CPACK_TARNWICK_PICTURE ${TARNWICK_DATA_DIR}/tarnwick-setup.bmp)
  set(CPACK_TARNWICK_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  # Notepad shows the text with Windows line ends.
  configure_file(${TARNWICK_PACKAGING_DIR}/README.txt.in ${TARNWICK_STAGED_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)

  install(PROGRAMS $<TARGET_FILE:Tarnwick> DESTINATION . RENAME Tarnwick.scr)
  tarnwick_strip_installed(Tarnwick.scr)
  install(DIRECTORY ${TARNWICK_DATA_FOLDERS} DESTINATION .)
  install(FILES ${TARNWICK_STAGED_DIR}/README.txt DESTINATION .)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION x11)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Moonquill <screensavers@moonquill.example>")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CPACK_PACKAGE_HOMEPAGE_URL})
  # The libraries the program links, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
  # gzip: the data is mostly noise-like samples and textures, which xz
  # hardly shrinks further, and gzip keeps `make package` quick.
  set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
  # The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the text below it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A lake seen from its shore, with a waterfall, live ripples on the water and
a looping waterfall sound, rendered with OpenGL. The local time and a
frames-per-second counter can be shown over it, built from 3D digits.
.
The program runs as an xscreensaver hack (tarnwick -root), full screen on
its own (tarnwick /s), and shows its settings dialog with tarnwick /c.")

  configure_file(${TARNWICK_PACKAGING_DIR}/tarnwick.6x.in ${TARNWICK_STAGED_DIR}/tarnwick.6x @ONLY)
  # Debian wants manual pages and changelogs compressed, without a time
  # stamp or name inside so that the package is reproducible.
  find_program(GZIP_PROGRAM gzip REQUIRED)
  foreach(file tarnwick.6x changelog)
    if(file STREQUAL tarnwick.6x)
      set(source ${TARNWICK_STAGED_DIR}/${file})
    else()
      set(source ${TARNWICK_PACKAGING_DIR}/${file})
    endif()
    add_custom_command(OUTPUT ${TARNWICK_STAGED_DIR}/${file}.gz
      COMMAND sh -c "\"$0\" -9nc \"$1\" > \"$2\"" ${GZIP_PROGRAM} ${source} ${TARNWICK_STAGED_DIR}/${file}.gz
      DEPENDS ${source}
      VERBATIM)
    list(APPEND staged ${TARNWICK_STAGED_DIR}/${file}.gz)
  endforeach()
  add_custom_target(package_files ALL DEPENDS ${staged})
  file(CREATE_LINK ../libexec/xscreensaver/tarnwick ${TARNWICK_STAGED_DIR}/tarnwick SYMBOLIC)

  # A read-only GOT once the libraries are bound, as Debian builds its programs.
  target_link_options(tarnwick PRIVATE -Wl,-z,relro,-z,now)
  install(TARGETS tarnwick RUNTIME DESTINATION libexec/xscreensaver)
  tarnwick_strip_installed(libexec/xscreensaver/tarnwick)
  install(FILES ${TARNWICK_STAGED_DIR}/tarnwick DESTINATION bin)
  install(FILES ${CMAKE_SOURCE_DIR}/xscreensaver/tarnwick.xml DESTINATION share/xscreensaver/config)
  install(FILES ${TARNWICK_STAGED_DIR}/tarnwick.6x.gz DESTINATION share/man/man6)
  install(FILES ${TARNWICK_PACKAGING_DIR}/tarnwick.desktop DESTINATION share/applications/screensavers)
  install(DIRECTORY ${TARNWICK_DATA_FOLDERS} DESTINATION share/tarnwick)
  install(FILES ${TARNWICK_PACKAGING_DIR}/copyright ${TARNWICK_STAGED_DIR}/changelog.gz
          DESTINATION share/doc/tarnwick)
endif()

include(CPack)
