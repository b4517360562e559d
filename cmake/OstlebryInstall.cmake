# Installs the program into a folder of its own, P/lib/ostlebry, with the data
# files it looks for beside itself; a link in P/bin starts it, and the desktop
# finds it through P/share/applications, P/share/metainfo and the hicolor icon theme.
set(OSTLEBRY_INSTALL_DIR lib/ostlebry)

install(TARGETS ostlebry RUNTIME DESTINATION ${OSTLEBRY_INSTALL_DIR})
install(DIRECTORY resources/Samples DESTINATION ${OSTLEBRY_INSTALL_DIR}
  PATTERN ".keep" EXCLUDE)
# The skin and the hand pointer (the program runs without them, plainer).
install(FILES resources/skin/o.cjs DESTINATION ${OSTLEBRY_INSTALL_DIR}/x)
install(FILES resources/HAND-M.CUR DESTINATION ${OSTLEBRY_INSTALL_DIR})

# The same picture the window carries, and its drawing as a scalable icon for
# every other size (tools/make_icon.py writes both).
install(FILES resources/ostlebry.png DESTINATION share/icons/hicolor/256x256/apps)
install(FILES resources/ostlebry.svg DESTINATION share/icons/hicolor/scalable/apps)

# The manual page, with this version and its date.
configure_file(resources/ostlebry.1.in ${CMAKE_CURRENT_BINARY_DIR}/generated/ostlebry.1 @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/generated/ostlebry.1 DESTINATION share/man/man1)

# What software centres show of the program; its desktop entry is made below.
install(FILES ${OSTLEBRY_METAINFO} DESTINATION share/metainfo)

# The link and the desktop entry name the prefix given at install time.
install(CODE "
  set(OSTLEBRY_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_SOURCE_DIR}/resources/desktop/ostlebry.desktop.in\")
  set(OSTLEBRY_INSTALL_DIR \"${OSTLEBRY_INSTALL_DIR}\")
  include(\"${CMAKE_CURRENT_SOURCE_DIR}/cmake/OstlebryInstallLinks.cmake\")
")
