# What `cmake --install` puts where, and the Debian package CPack builds from it.
#
#   bin/zyl                                   the program (its command-line front)
#   lib/zyl/libzyl-modes.so                   the rest of it, loaded by the front (src/app)
#   libexec/zyl/zyl-reader                    its reader process, started by the program
#   share/zyl/                                the program folder's default files (seeding source)
#   share/applications/zyl.desktop            the menu entry
#   share/metainfo/zyl.metainfo.xml           the software centres' record
#   share/icons/hicolor/{scalable,NxN}/apps/  the application icon, SVG and PNG
#   share/man/man1/zyl.1.gz                   the manual page
#   share/bash-completion/completions/zyl     completion of actions, variables and type codes

set(_data ${PROJECT_SOURCE_DIR}/data)

install(TARGETS zyl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS zyl-modes LIBRARY DESTINATION ${ZYL_INSTALL_MODESDIR})
install(TARGETS zyl-reader RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zyl)

zyl_default_files(_defaults ${_data})
foreach(f ${_defaults})
  get_filename_component(_sub ${f} DIRECTORY)
  install(FILES ${_data}/${f} DESTINATION ${ZYL_INSTALL_DEFAULTSDIR}/${_sub})
endforeach()

install(FILES ${_data}/desktop/zyl.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_data}/desktop/zyl.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_data}/completion/zyl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Icons: the SVG as drawn, and PNG sizes rendered from it for menus that take no SVG.
set(_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${_data}/icons/zyl.svg DESTINATION ${_icons}/scalable/apps)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(_pngs)
  foreach(size 16 24 32 48 64 128 256)
    set(_png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/zyl.png)
    add_custom_command(
      OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${_png} ${_data}/icons/zyl.svg
      DEPENDS ${_data}/icons/zyl.svg
      VERBATIM)
    list(APPEND _pngs ${_png})
    install(FILES ${_png} DESTINATION ${_icons}/${size}x${size}/apps)
  endforeach()
  add_custom_target(zyl_icons ALL DEPENDS ${_pngs})
else()
  message(WARNING "rsvg-convert not found (Debian: librsvg2-bin): only the SVG icon is installed")
endif()

# The manual page, with the version filled in, compressed as Debian keeps them; -n leaves out
# the time so the package is reproducible.
configure_file(${_data}/man/zyl.1 ${CMAKE_CURRENT_BINARY_DIR}/man/zyl.1 @ONLY)
set(_man ${CMAKE_CURRENT_BINARY_DIR}/man/zyl.1.gz)
add_custom_command(
  OUTPUT ${_man}
  COMMAND sh -c "gzip -9 -n -c \"$0\" > \"$1\"" ${CMAKE_CURRENT_BINARY_DIR}/man/zyl.1 ${_man}
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/man/zyl.1
  VERBATIM)
add_custom_target(zyl_man ALL DEPENDS ${_man})
install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. dpkg-shlibdeps turns the libraries the program links into the package's
# dependencies, so they follow whatever the build machine's Debian release calls them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zyl)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ZYL developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "document indexing and full-text search with an HTTP document server")
set(CPACK_PACKAGE_DESCRIPTION
  "ZYL indexes folders, mailboxes and web sites and searches the text of the documents.\n"
  "It reads plain text in Cyrillic code pages, HTML, Word, RTF, WordPerfect, Works,\n"
  "spreadsheets, PDF, MP3 tags, archive members and mail, keeps one database per index,\n"
  "and finds documents from its window, the command line and any browser through its\n"
  "built-in document server.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open opens found documents from the desktop window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
