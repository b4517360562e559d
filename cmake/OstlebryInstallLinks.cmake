# Run by `cmake --install`: the launcher link in bin/ and the desktop entry.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

file(MAKE_DIRECTORY "${root}/bin")
set(link "${root}/bin/ostlebry")
if(EXISTS "${link}" OR IS_SYMLINK "${link}")
  file(REMOVE "${link}")
endif()
# Relative, so that the tree still works when moved as a whole.
message(STATUS "Installing: ${link}")
file(CREATE_LINK "../${OSTLEBRY_INSTALL_DIR}/ostlebry" "${link}" SYMBOLIC)

set(OSTLEBRY_LAUNCHER "${CMAKE_INSTALL_PREFIX}/bin/ostlebry")
if(OSTLEBRY_LAUNCHER MATCHES "[ \"'\\\\<>~|&;$*?#()`]")
  # The desktop entry's Exec key takes a path with such characters quoted.
  string(REPLACE "\\" "\\\\" quoted "${OSTLEBRY_LAUNCHER}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  set(exec "\"${quoted}\"")
else()
  set(exec "${OSTLEBRY_LAUNCHER}")
endif()
file(READ "${OSTLEBRY_DESKTOP_TEMPLATE}" entry)
string(REPLACE "TryExec={{launcher}}" "TryExec=${OSTLEBRY_LAUNCHER}" entry "${entry}")
string(REPLACE "Exec={{launcher}}" "Exec=${exec}" entry "${entry}")
set(desktop "${root}/share/applications/ostlebry.desktop")
message(STATUS "Installing: ${desktop}")
file(WRITE "${desktop}" "${entry}")
