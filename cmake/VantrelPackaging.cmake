# The Debian package: `cmake --build build --target package` writes
# build/vantrel-launcher_<version>_<arch>.deb with both executables, the
# desktop entry and its icons. Library dependencies are computed from the
# binaries; the QML modules the views import are loaded at run time, so they
# are listed here. (The icon font is compiled into the launcher.)

include(GNUInstallDirs)
set(VANTREL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vantrel-launcher)

# Debian keeps a gzip-compressed changelog and a copyright file with every package.
string(TIMESTAMP VANTREL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
find_program(VANTREL_GZIP gzip REQUIRED)
execute_process(COMMAND ${VANTREL_GZIP} -9nf ${CMAKE_BINARY_DIR}/packaging/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/../packaging/copyright
        DESTINATION ${VANTREL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel-launcher)
set(CPACK_PACKAGE_VENDOR Vantrel)
set(CPACK_PACKAGE_CONTACT "Vantrel <launcher@vantrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "launcher and installer for the Vantrel desktop apps")
set(CPACK_PACKAGE_DESCRIPTION "Shows the released, beta and announced Vantrel apps in a library window,\n\
installs and updates them after checking their downloads, opens them, and\n\
offers the same catalog to the terminal through the vantrel command.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtqml, qml6-module-qtqml-models, qml6-module-qtqml-workerscript, qml6-module-qtquick, \
qml6-module-qtquick-controls, qml6-module-qtquick-layouts, qml6-module-qtquick-templates, qml6-module-qtquick-window")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
