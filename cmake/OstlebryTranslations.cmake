# The program's catalogues: each translations/ostlebry_<language>.ts becomes
# translations/ostlebry_<language>.qm beside the program, where it looks for
# them (in the build as in the installed tree).
# scripts/check-translations.py keeps the .ts files in step with the sources;
# `cmake --build build --target update_translations` brings in new texts.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(OSTLEBRY_LANGUAGES de fr)
set(OSTLEBRY_TS_FILES "")
foreach(language ${OSTLEBRY_LANGUAGES})
  list(APPEND OSTLEBRY_TS_FILES ${CMAKE_CURRENT_SOURCE_DIR}/translations/ostlebry_${language}.ts)
endforeach()
set(OSTLEBRY_CATALOGUE_DIR ${CMAKE_BINARY_DIR}/translations)
set_source_files_properties(${OSTLEBRY_TS_FILES} PROPERTIES OUTPUT_LOCATION ${OSTLEBRY_CATALOGUE_DIR})
qt6_add_lrelease(ostlebry TS_FILES ${OSTLEBRY_TS_FILES} QM_FILES_OUTPUT_VARIABLE OSTLEBRY_QM_FILES
  OPTIONS -silent)
install(FILES ${OSTLEBRY_QM_FILES} DESTINATION ${OSTLEBRY_INSTALL_DIR}/translations)

# Python runs the check; a package build, which never updates them, may lack it.
if(TARGET Python3::Interpreter)
  add_custom_target(update_translations
    COMMAND $<TARGET_FILE:Python3::Interpreter> ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check-translations.py
      --update --lupdate $<TARGET_FILE:Qt6::lupdate>
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Bringing the new texts of the sources into translations/*.ts"
    VERBATIM)
endif()
