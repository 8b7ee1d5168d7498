# A package build compiles and links with Debian's hardening flags as dpkg-buildflags gives
# them (stack protector, fortify, relro, now, PIE, control-flow protection). Off by default:
# the test, sanitizer and fuzz builds keep their own flags.
option(CS_DEB_BUILDFLAGS "Compile and link with the flags of dpkg-buildflags, hardening=+all" OFF)
if(CS_DEB_BUILDFLAGS)
  find_program(CS_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(_kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${CS_DPKG_BUILDFLAGS} --get ${_kind}
      OUTPUT_VARIABLE cs_deb_${_kind} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  string(APPEND CMAKE_CXX_FLAGS " ${cs_deb_CPPFLAGS} ${cs_deb_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${cs_deb_LDFLAGS}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${cs_deb_LDFLAGS}")
endif()
