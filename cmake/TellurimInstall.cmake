# The installed program (cmake --install build --prefix P) and its Debian package (make deb):
#   P/bin/tellurim, P/bin/tellurim-gui          (install rules of src/app, src/gui)
#   P/lib/tellurim/libeph*.so                   (src/ephemeris)
#   P/share/tellurim/                           the data: data/ of the source tree and ephbdl.dat
#   P/share/man/man1, applications, icons, metainfo, bash-completion, doc/tellurim
# The manual pages and the completion script are written by the programs themselves at build
# time (--help-man, --completion bash), the icons by tools/icon_gen.
set(dist ${PROJECT_SOURCE_DIR}/dist/linux)
set(gen ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${gen})

# The generated data (make data) is installed as it is; the stamp files are the generators'.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${TELLURIM_INSTALL_DATA_DIR}
        PATTERN "*.version" EXCLUDE)

add_custom_command(
  OUTPUT ${gen}/tellurim.1.gz ${gen}/tellurim-gui.1.gz ${gen}/tellurim.bash
  COMMAND sh -c "$<TARGET_FILE:tellurim> --help-man > tellurim.1 && $<TARGET_FILE:tellurim-gui> --help-man > tellurim-gui.1 && gzip -9nf tellurim.1 tellurim-gui.1"
  COMMAND sh -c "$<TARGET_FILE:tellurim> --completion bash > tellurim.bash"
  DEPENDS tellurim tellurim-gui
  WORKING_DIRECTORY ${gen}
  COMMENT "Writing the manual pages and the bash completion"
  VERBATIM)
add_custom_command(
  OUTPUT ${gen}/tellurim.svg ${gen}/tellurim-48.png ${gen}/tellurim-128.png ${gen}/tellurim-256.png
  COMMAND icon_gen ${gen}
  DEPENDS icon_gen
  COMMENT "Drawing the icon"
  VERBATIM)
add_custom_command(
  OUTPUT ${gen}/changelog.gz
  COMMAND sh -c "gzip -9nc ${dist}/changelog > changelog.gz"
  DEPENDS ${dist}/changelog
  WORKING_DIRECTORY ${gen}
  VERBATIM)
configure_file(${dist}/org.tellurim.Tellurim.metainfo.xml.in ${gen}/org.tellurim.Tellurim.metainfo.xml @ONLY)
add_custom_target(desktop_files ALL DEPENDS ${gen}/tellurim.1.gz ${gen}/tellurim.svg ${gen}/changelog.gz)

install(FILES ${gen}/tellurim.1.gz ${gen}/tellurim-gui.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${gen}/tellurim.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tellurim)
install(FILES ${dist}/tellurim.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${gen}/org.tellurim.Tellurim.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${gen}/tellurim.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
  install(FILES ${gen}/tellurim-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME tellurim.png)
endforeach()
install(FILES ${dist}/copyright ${gen}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tellurim)

# The Debian package: cpack -G DEB in the build directory (make deb).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tellurim)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Tellurim developers <tellurim@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "astrology workstation for horoscopes in both zodiacs")
# The first line of the control file's description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tellurim computes a horoscope from a birth: the Sun, Moon, planets and
lunar nodes, house cusps in seven systems, and positions in both the
tropical and the sidereal zodiac. It draws the chart wheel, writes the
results report, and adds western aspects, primary directions, transits,
the Hindu analyses, fixed stars, interpretation texts and Tcl/Tk scripts.
.
This package holds the command line (tellurim), the desktop application
(tellurim-gui), the three ephemeris providers and the data: the world
atlas, the stars catalogue and the DE405 ephemeris for 1960-2060.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; what is loaded at run time by name comes here:
# the Qt platform plugins (xcb for the desktop, offscreen for the wheel files), the wheel's
# font, the ODBC driver of the default database and the time-zone data.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, libsqliteodbc, unixodbc, tzdata")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# xz: lintian refuses a zstd archive.
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_THREADS 0)
include(CPack)
