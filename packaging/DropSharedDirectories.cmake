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
  execute_process(COMMAND gzip -d data.tar.gz WORKING_DIRECTORY "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND tar -tf data.tar WORKING_DIRECTORY "${_work}"
                  OUTPUT_VARIABLE _entries COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" _entries "${_entries}")
  set(_drop)
  foreach(_dir ./opt/ ./etc/opt/ ./var/opt/)
    if(_dir IN_LIST _entries)
      list(APPEND _drop ${_dir})
    endif()
  endforeach()
  if(_drop)
    execute_process(COMMAND tar --delete --no-recursion -f data.tar ${_drop}
                    WORKING_DIRECTORY "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
  execute_process(COMMAND gzip -9n data.tar WORKING_DIRECTORY "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${_package}")
  # The members in the order dpkg requires.
  execute_process(COMMAND ar rc "${_package}" debian-binary ${_control} data.tar.gz
                  WORKING_DIRECTORY "${_work}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${_work}")
endforeach()
