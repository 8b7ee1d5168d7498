# `cpack -G DEB` in the build folder makes the Debian package. The program and its texts go
# read-only into /opt/configuration-selector, its application directory; the folders written
# at run time are links into /var/opt/configuration-selector (made by the package's
# configure step) and the registry file a link into /etc/opt/configuration-selector.
set(cs_deb_appdir /opt/configuration-selector)
set(cs_deb_datadir /var/opt/configuration-selector)

# Only in the package: a plain `cmake --install` makes a self-contained application directory.
install(CODE "
  set(_root \"\$ENV{DESTDIR}\")
  set(_app \"\${_root}${cs_deb_appdir}\")
  file(MAKE_DIRECTORY \"\${_app}\" \"\${_root}/usr/bin\" \"\${_root}/usr/share/applications\"
                      \"\${_root}/usr/share/icons/hicolor/64x64/apps\")
  foreach(_d lib log OAComponents)
    file(CREATE_LINK ${cs_deb_datadir}/\${_d} \"\${_app}/\${_d}\" SYMBOLIC)
  endforeach()
  file(CREATE_LINK /etc/opt/configuration-selector/registry.reg \"\${_app}/registry.reg\" SYMBOLIC)
  file(CREATE_LINK ${cs_deb_appdir}/ConfigurationSelector \"\${_root}/usr/bin/configuration-selector\" SYMBOLIC)
  file(CREATE_LINK ${cs_deb_appdir}/ConfigurationSelector.desktop
       \"\${_root}/usr/share/applications/configuration-selector.desktop\" SYMBOLIC)
  file(CREATE_LINK ${cs_deb_appdir}/ConfigurationSelector.png
       \"\${_root}/usr/share/icons/hicolor/64x64/apps/configuration-selector.png\" SYMBOLIC)"
  COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME configuration-selector)
set(CPACK_PACKAGE_VENDOR "Norwen")
set(CPACK_PACKAGE_CONTACT "Tessaly operators <tessaly@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration Selector of the Tessaly server suite")
set(CPACK_PACKAGE_DESCRIPTION "Lists, edits and starts the .tsy configurations of the Tessaly server suite.")
# The install steps see the final prefix, so the desktop entry names /opt, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${cs_deb_appdir})
set(CPACK_PACKAGING_INSTALL_PREFIX ${cs_deb_appdir})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified deb)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
# Beyond the libraries: the ODBC tools that set up the data sources, and a font to draw with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "unixodbc, fonts-dejavu-core | fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "odbc-postgresql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/deb/postinst ${CMAKE_SOURCE_DIR}/packaging/deb/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
