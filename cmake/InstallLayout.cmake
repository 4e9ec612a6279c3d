# The install folders of the program (GNU layout) and a header that tells the
# program where they lie relative to its own folder, so an installed copy
# finds its guide and helpers wherever the prefix is.
include(GNUInstallDirs)

set(QUILLON_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/quillon-repair")
set(QUILLON_LIBEXECDIR "${CMAKE_INSTALL_LIBEXECDIR}/quillon-repair")
set(QUILLON_DATADIR "${CMAKE_INSTALL_DATADIR}/quillon-repair")

function(quillon_relative_to_bindir out dir)
  if(IS_ABSOLUTE "${dir}")
    set(full "${dir}")
  else()
    set(full "${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  file(RELATIVE_PATH rel "${CMAKE_INSTALL_FULL_BINDIR}" "${full}")
  set(${out} "${rel}" PARENT_SCOPE)
endfunction()
quillon_relative_to_bindir(QUILLON_REL_DOCDIR "${QUILLON_DOCDIR}")
quillon_relative_to_bindir(QUILLON_REL_LIBEXECDIR "${QUILLON_LIBEXECDIR}")
quillon_relative_to_bindir(QUILLON_REL_DATADIR "${QUILLON_DATADIR}")

configure_file(${CMAKE_CURRENT_LIST_DIR}/install_layout.h.in
               ${CMAKE_BINARY_DIR}/generated/install_layout.h @ONLY)
add_library(quillon_install_layout INTERFACE)
target_include_directories(quillon_install_layout INTERFACE ${CMAKE_BINARY_DIR}/generated)
