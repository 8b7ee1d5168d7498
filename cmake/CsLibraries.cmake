# The helpers that make the program's libraries, for this project and for fuzz/.

# The folder of the sources, whichever project includes this file.
set(CS_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/../src)
cmake_path(NORMAL_PATH CS_SOURCE_ROOT)

# A library's headers, and no other, under an include root of its own in the build tree:
# build/include/<library>/<folder>/<header>, each a link to the header in <base>/<folder>.
# The root is the library's public include path, so that the sources keep writing
# "folder/Header.h" and see another layer's headers only by linking that layer.
function(cs_expose_headers target base dir)
  set(_root ${CMAKE_BINARY_DIR}/include/${target})
  file(GLOB _headers CONFIGURE_DEPENDS ${base}/${dir}/*.h)
  # Made afresh at each configure run: a header removed from the folder leaves no link.
  file(REMOVE_RECURSE ${_root})
  file(MAKE_DIRECTORY ${_root}/${dir})
  foreach(_header ${_headers})
    get_filename_component(_name ${_header} NAME)
    file(CREATE_LINK ${_header} ${_root}/${dir}/${_name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${_root})
endfunction()

# One static library per source folder: the folder's own files are its sources (not those
# of its subfolders, which are layers of their own). Further arguments are its
# dependencies as for target_link_libraries: PUBLIC those its headers include, PRIVATE the
# others.
function(cs_add_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${CS_SOURCE_ROOT}/${dir}/*.cpp ${CS_SOURCE_ROOT}/${dir}/*.h)
  add_library(${name} STATIC ${_src})
  target_link_libraries(${name} ${ARGN})
  cs_expose_headers(${name} ${CS_SOURCE_ROOT} ${dir})
endfunction()
