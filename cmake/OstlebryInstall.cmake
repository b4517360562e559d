# Installs the program into a folder of its own, P/lib/ostlebry, with the data
# files it looks for beside itself; a link in P/bin starts it, and the desktop
# finds it through P/share/applications and the hicolor icon theme.
set(OSTLEBRY_INSTALL_DIR lib/ostlebry)

install(TARGETS ostlebry RUNTIME DESTINATION ${OSTLEBRY_INSTALL_DIR})
install(DIRECTORY resources/Samples DESTINATION ${OSTLEBRY_INSTALL_DIR}
  PATTERN ".keep" EXCLUDE)
# The skin and the hand pointer are optional to the program; a tree without
# them installs without them.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/resources/skin/o.cjs)
  install(FILES resources/skin/o.cjs DESTINATION ${OSTLEBRY_INSTALL_DIR}/x)
endif()
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/resources/HAND-M.CUR)
  install(FILES resources/HAND-M.CUR DESTINATION ${OSTLEBRY_INSTALL_DIR})
endif()

install(FILES resources/desktop/ostlebry.svg DESTINATION share/icons/hicolor/scalable/apps)

# The link and the desktop entry name the prefix given at install time.
install(CODE "
  set(OSTLEBRY_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_SOURCE_DIR}/resources/desktop/ostlebry.desktop.in\")
  set(OSTLEBRY_INSTALL_DIR \"${OSTLEBRY_INSTALL_DIR}\")
  include(\"${CMAKE_CURRENT_SOURCE_DIR}/cmake/OstlebryInstallLinks.cmake\")
")
