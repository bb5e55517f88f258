# Installing and packaging: the tool and the simulator, a manual page for
# each made from its --help (help2man), the menu entry with the tool's icon,
# the example bus files, the copyright and the changelog; "cpack -G DEB" in a
# build configured with CMAKE_INSTALL_PREFIX=/usr makes the Debian package,
# its dependencies found from the libraries the programs link
# (dpkg-shlibdeps). scripts/package.sh does all of it.

include(GNUInstallDirs)

install(TARGETS zor-tool zor-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/zor-tool.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/zor-tool.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
file(GLOB zor_bus_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sim/*.bus)
install(FILES ${zor_bus_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/zor-tool/buses)

set(zor_doc ${CMAKE_INSTALL_DATADIR}/doc/zor-tool)
set(zor_packaged ${CMAKE_BINARY_DIR}/packaged)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${zor_doc})

find_program(GZIP gzip REQUIRED)
find_program(HELP2MAN help2man REQUIRED)
set(zor_man_names
  "zor-tool=service tool for ZOR-10..ZOR-13 gas detectors on an RS-485 bus"
  "zor-sim=simulated bus of ZOR-10..ZOR-13 gas detectors on a pseudo-terminal")
set(zor_packaged_files)
foreach(entry IN LISTS zor_man_names)
  string(REGEX REPLACE "=.*" "" program "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" name "${entry}")
  set(page ${zor_packaged}/${program}.1.gz)
  # help2man runs the program for its --help and --version; neither needs a
  # display.
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${zor_packaged}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${CMAKE_COMMAND} -DHELP2MAN=${HELP2MAN}
            -DPROGRAM=$<TARGET_FILE:${program}> "-DNAME=${name}" -DVERSION=${PROJECT_VERSION} -DOUT=${page}
            -P ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
    DEPENDS ${program} ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
    COMMENT "Manual page of ${program}")
  list(APPEND zor_packaged_files ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(changelog ${zor_packaged}/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zor_packaged}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/changelog ${zor_packaged}/changelog
  COMMAND ${GZIP} -9nf ${zor_packaged}/changelog
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
list(APPEND zor_packaged_files ${changelog})
install(FILES ${changelog} DESTINATION ${zor_doc})
add_custom_target(packaged_files ALL DEPENDS ${zor_packaged_files})

set(CPACK_PACKAGE_NAME zor-tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ZOR tool developers <zor-tool@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service tool for ZOR-10..ZOR-13 gas detectors")
set(CPACK_PACKAGE_DESCRIPTION
    "zor-tool finds the ZOR-10..ZOR-13 fixed gas detectors on an RS-485 bus\n"
    "(Modbus RTU), reads one live, changes its settings, calibrates it, trims\n"
    "its current output and edits its LoRa radio settings, keeping a log of\n"
    "the exchange. zor-sim simulates a bus of such detectors on a\n"
    "pseudo-terminal, for trying the tool without hardware.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# What the libraries do not name: the Qt plugins that draw the window and
# its icons. Qt's Russian texts are welcome but not needed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
