# The Debian package: `cmake --build build --target package` writes
# build/vantrel-launcher_<version>_<arch>.deb with both executables, the
# desktop entry and its icons, the AppStream metadata, the manual pages, the
# bash completion of `vantrel` and the list of logging categories. Library dependencies are computed from the
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

# Software centres read the AppStream metadata; its release is this version.
string(TIMESTAMP VANTREL_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../packaging/vantrel-launcher.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/com.vantrel.launcher.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/com.vantrel.launcher.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages are written once in scdoc and made at build time.
find_program(VANTREL_SCDOC scdoc)
if(VANTREL_SCDOC)
  set(_vantrel_man_pages)
  foreach(_page vantrel.1 vantrel-launcher.1)
    set(_source ${CMAKE_CURRENT_LIST_DIR}/../packaging/man/${_page}.scd)
    set(_page_out ${CMAKE_BINARY_DIR}/packaging/man/${_page})
    set(_page_gz ${_page_out}.gz)
    add_custom_command(OUTPUT ${_page_gz}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
      COMMAND sh -c "\"$1\" < \"$2\" > \"$3\"" sh ${VANTREL_SCDOC} ${_source} ${_page_out}
      COMMAND ${VANTREL_GZIP} -9nf ${_page_out}
      DEPENDS ${_source}
      COMMENT "Manual page ${_page}"
      VERBATIM)
    list(APPEND _vantrel_man_pages ${_page_gz})
  endforeach()
  add_custom_target(vantrel_man_pages ALL DEPENDS ${_vantrel_man_pages})
  install(FILES ${_vantrel_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "scdoc not found: no manual pages (scripts/setup.sh installs it)")
endif()

install(FILES ${CMAKE_CURRENT_LIST_DIR}/../packaging/completion/vantrel.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vantrel)

# Where tools that switch logging categories on and off look for them. Copied
# into the build, so a package made before a change to it is made again.
configure_file(${CMAKE_CURRENT_LIST_DIR}/../packaging/vantrel.categories ${CMAKE_BINARY_DIR}/packaging/vantrel.categories COPYONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/vantrel.categories DESTINATION ${CMAKE_INSTALL_DATADIR}/qlogging-categories6)

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
