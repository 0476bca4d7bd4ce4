# The manual pages, the copyright file and the changelog, and the Debian package that
# `cpack -G DEB` makes of an install into /usr (scripts/package).

find_program(VARURAV_GZIP gzip REQUIRED)

# Installs `source`, its @PROJECT_VERSION@ filled in, compressed as Debian keeps manual pages and
# changelogs: at the highest level, without a time stamp in the header, so that a rebuild gives
# the same bytes.
function(varurav_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(copy ${CMAKE_BINARY_DIR}/packaging/${name})
    configure_file(${source} ${copy} @ONLY)
    execute_process(COMMAND ${VARURAV_GZIP} -9 -n -f -k ${copy} COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()

foreach(page varurav-uda.1 varurav-uda-cli.1)
    varurav_install_gzipped(${CMAKE_SOURCE_DIR}/docs/man/${page} ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(VARURAV_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/varurav-uda)
varurav_install_gzipped(${CMAKE_SOURCE_DIR}/packaging/changelog ${VARURAV_DOC_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${VARURAV_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varurav-uda)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "VARURAV_UDA developers <varurav-uda@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "contest logger for the Duruvero VED UVE QRP Morse contest")
# The extended description, as shown by apt: lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "The operator describes his station, names his contest file and logs each\n"
    "contact by typing one short line and pressing Enter: the program stamps it\n"
    "with UTC, looks the callsign up in the club's member roster and the DXCC\n"
    "country table, flags duplicates, scores the line and the whole log, and\n"
    "writes it at once into the contest file. After the contest it writes\n"
    "Cabrillo and ADIF files and mails the Cabrillo file to the contest committee.\n"
    "\n"
    "The package holds the window program varurav-uda and varurav-uda-cli, which\n"
    "logs, scores and writes reports from the command line.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (Qt, libcurl, Hamlib) come from dpkg-shlibdeps; the help and
# report buttons open files through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
