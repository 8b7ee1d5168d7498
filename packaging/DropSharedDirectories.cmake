# Run by cpack after it made the packages (CPACK_POST_BUILD_SCRIPTS): takes the entries of
# /opt, /etc/opt and /var/opt themselves out of each package's data archive, leaving what
# lies inside them. cpack puts every parent folder into the archive; these three belong to
# the base system, and a package that lists them would remove an empty /opt with itself.
foreach(_package IN LISTS CPACK_PACKAGE_FILES)
  set(_work "${CPACK_TOPLEVEL_DIRECTORY}/drop-shared-directories")
  file(REMOVE_RECURSE "${_work}")
  file(MAKE_DIRECTORY "${_work}")
  execute_process(COMMAND ar x "${_package}" WORKING_DIRECTORY "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB _control RELATIVE "${_work}" "${_work}/control.tar*")
  file(GLOB _data RELATIVE "${_work}" "${_work}/data.tar*")
  if(NOT _data MATCHES "^data\\.tar\\.gz$")
    message(FATAL_ERROR "${_package}: expected data.tar.gz, found ${_data}")
  endif()
  # Unpacked and packed again in the same order without those three entries; links stay links.
  execute_process(
    COMMAND sh -c "mkdir tree && tar -xzpf data.tar.gz -C tree && tar -tzf data.tar.gz \
                   | grep -vxE '\\./(etc/|var/)?opt/' >entries && rm data.tar.gz && \
                   tar -cf data.tar --no-recursion --numeric-owner --owner=0 --group=0 -C tree -T entries && \
                   gzip -9n data.tar"
    WORKING_DIRECTORY "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${_package}")
  # The members in the order dpkg requires.
  execute_process(COMMAND ar rc "${_package}" debian-binary ${_control} data.tar.gz
                  WORKING_DIRECTORY "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${_work}")
endforeach()

# The debug-symbols package as Debian's tools make it: md5sums with paths inside the package
# (the generator writes the staging paths), the debug files not executable, and its
# documentation a link to that of the package it belongs to.
set(_dbgsym_packages ${CPACK_PACKAGE_FILES})
list(FILTER _dbgsym_packages INCLUDE REGEX "-dbgsym_[^/]*\\.ddeb$")
foreach(_package IN LISTS _dbgsym_packages)
  set(_work "${CPACK_TOPLEVEL_DIRECTORY}/dbgsym")
  file(REMOVE_RECURSE "${_work}")
  execute_process(COMMAND dpkg-deb -R "${_package}" "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND sh -c "find usr/lib/debug -type f -exec chmod 0644 {} + && \
                   mkdir -p usr/share/doc && ln -sfn ${CPACK_PACKAGE_NAME} usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym && \
                   find usr -type f -printf '%P\\n' | sort | sed 's|^|usr/|' | xargs md5sum >DEBIAN/md5sums && \
                   chmod 0644 DEBIAN/md5sums"
    WORKING_DIRECTORY "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${_work}" "${_package}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${_work}")
endforeach()
