# `cpack -G DEB` in the build folder makes the Debian package (scripts/package-check.sh builds
# and checks it). The program goes read-only into /opt/configuration-selector, its
# application directory; the folders written at run time are links into
# /var/opt/configuration-selector (made by the package's configure step, for the group
# "tessaly" only) and the files an administrator edits are links to conffiles in
# /etc/opt/configuration-selector.
set(cs_deb_appdir /opt/configuration-selector)
set(cs_deb_datadir /var/opt/configuration-selector)
set(cs_deb_etcdir /etc/opt/configuration-selector)
set(cs_deb_src ${CMAKE_SOURCE_DIR}/packaging/deb)
set(CS_DEB_MAINTAINER "Configuration Selector maintainers <maintainers@users.noreply.c-seed-495b4ffe.example>"
    CACHE STRING "Maintainer field of the Debian package")

# Only in the package: a plain `cmake --install` makes a self-contained application directory.
install(CODE "
  set(_root \"\$ENV{DESTDIR}\")
  set(_app \"\${_root}${cs_deb_appdir}\")
  set(_etc \"\${_root}${cs_deb_etcdir}\")
  set(_doc \"\${_root}/usr/share/doc/configuration-selector\")
  file(MAKE_DIRECTORY \"\${_app}\" \"\${_etc}\" \"\${_doc}\" \"\${_root}/usr/bin\" \"\${_root}/usr/share/applications\"
                      \"\${_root}/usr/share/icons/hicolor/64x64/apps\" \"\${_root}/usr/share/man/man1\"
                      \"\${_root}/usr/share/lintian/overrides\" \"\${_root}/usr/share/bash-completion/completions\"
                      \"\${_root}/usr/share/configuration-selector\")
  foreach(_d lib log OAComponents)
    file(CREATE_LINK ${cs_deb_datadir}/\${_d} \"\${_app}/\${_d}\" SYMBOLIC)
  endforeach()
  # The texts an administrator translates, and the registry values, survive upgrades.
  file(COPY_FILE ${CMAKE_SOURCE_DIR}/resources/I18nText.xml \"\${_etc}/I18nText.xml\")
  file(COPY_FILE ${cs_deb_src}/registry.reg \"\${_etc}/registry.reg\")
  # The German texts, for the administrator to copy over the conffile.
  file(COPY_FILE ${CMAKE_SOURCE_DIR}/resources/I18nText.de.xml
       \"\${_root}/usr/share/configuration-selector/I18nText.de.xml\")
  foreach(_f I18nText.xml registry.reg)
    file(REMOVE \"\${_app}/\${_f}\")
    file(CREATE_LINK ${cs_deb_etcdir}/\${_f} \"\${_app}/\${_f}\" SYMBOLIC)
  endforeach()
  file(CREATE_LINK ${cs_deb_appdir}/ConfigurationSelector \"\${_root}/usr/bin/configuration-selector\" SYMBOLIC)
  file(CREATE_LINK ${cs_deb_appdir}/ConfigurationSelector.desktop
       \"\${_root}/usr/share/applications/configuration-selector.desktop\" SYMBOLIC)
  file(CREATE_LINK ${cs_deb_appdir}/ConfigurationSelector.png
       \"\${_root}/usr/share/icons/hicolor/64x64/apps/configuration-selector.png\" SYMBOLIC)
  file(COPY_FILE ${cs_deb_src}/copyright \"\${_doc}/copyright\")
  file(COPY_FILE ${cs_deb_src}/lintian-overrides \"\${_root}/usr/share/lintian/overrides/configuration-selector\")
  # The subcommands and the configurations of lib/ complete on Tab.
  file(COPY_FILE ${cs_deb_src}/configuration-selector.bash-completion
       \"\${_root}/usr/share/bash-completion/completions/configuration-selector\")
  # Compressed without name or time stamp, as Debian's tools do, so a rebuild is the same file.
  foreach(_pair \"changelog=\${_doc}/changelog.Debian.gz\"
                \"configuration-selector.1=\${_root}/usr/share/man/man1/configuration-selector.1.gz\")
    string(REPLACE \"=\" \";\" _pair \"\${_pair}\")
    list(GET _pair 0 _from)
    list(GET _pair 1 _to)
    execute_process(COMMAND gzip -9nc ${cs_deb_src}/\${_from} OUTPUT_FILE \"\${_to}\" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  file(GLOB_RECURSE _files LIST_DIRECTORIES false \"\${_etc}/*\" \"\${_doc}/*\" \"\${_root}/usr/share/man/*\"
                                              \"\${_root}/usr/share/lintian/*\" \"\${_root}/usr/share/bash-completion/*\"
                                              \"\${_root}/usr/share/configuration-selector/*\")
  file(CHMOD \${_files} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)"
  COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME configuration-selector)
set(CPACK_PACKAGE_VENDOR "Norwen")
set(CPACK_PACKAGE_CONTACT "${CS_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CS_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front end of the Tessaly server suite's configurations")
set(CPACK_PACKAGE_DESCRIPTION "Lists, creates, edits, renames and deletes the .tsy configuration files
of the Tessaly server suite, starts the suite's servers for one, and couples
a Fieldmark and a Rostrum configuration into one merge-and-split
configuration. A silent mode writes one configuration from the command line,
--check reports the configurations that cannot be read or whose password
others may read, and --list, --status, --run, --stop and --log operate the
servers from a shell without a display.")
# Debian revision 1 of the upstream version: the changelog's version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The install steps see the final prefix, so the desktop entry names /opt, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${cs_deb_appdir})
set(CPACK_PACKAGING_INSTALL_PREFIX ${cs_deb_appdir})
# Stripped binaries in the package, their debug information in configuration-selector-dbgsym.
# The generator strips them itself while it splits the debug information off; CPACK_STRIP_FILES
# would strip earlier and leave nothing to split.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified deb)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
# Beyond the libraries: the group's maker for the configure step, the ODBC tools that set up
# the data sources, and a font to draw with. Merge and Split's directory tool is a Java class.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, unixodbc, fonts-dejavu-core | fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "odbc-postgresql, default-jre-headless | java-runtime-headless")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${cs_deb_src}/postinst ${cs_deb_src}/postrm ${cs_deb_src}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# /opt, /etc/opt and /var/opt belong to the base system: the package must not own them, or
# removing it would take an empty /opt with it.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/packaging/DropSharedDirectories.cmake)
include(CPack)
