# The maker's addresses the program shows, chosen at configure time. They are
# checked here because they end up inside C++ string literals and in a command
# line that opens the home page.
set(OSTLEBRY_HOME_PAGE "" CACHE STRING
  "Web page opened in about one start in a hundred (https://...); empty: never opened")
set(OSTLEBRY_CONTACT_PAGE "" CACHE STRING
  "Web page the Help message names (https://...); empty: the message says none is set")
set(OSTLEBRY_SUPPORT_ADDRESS "" CACHE STRING
  "E-mail address failure reports name; empty: the report says none is set")
set(OSTLEBRY_SCREENSHOT_URL "" CACHE STRING
  "Where docs/screenshot.png is served (https://...), for software centres; empty: no screenshot")

foreach(variable OSTLEBRY_HOME_PAGE OSTLEBRY_CONTACT_PAGE OSTLEBRY_SCREENSHOT_URL)
  if(NOT "${${variable}}" STREQUAL "" AND NOT "${${variable}}" MATCHES "^https?://[^ \t\r\n\"'\\\\<>`]+$")
    message(FATAL_ERROR "${variable} must be empty or an http(s) address without blanks, "
      "quotes or backslashes; it is '${${variable}}'")
  endif()
endforeach()
if(NOT OSTLEBRY_SUPPORT_ADDRESS STREQUAL ""
   AND NOT OSTLEBRY_SUPPORT_ADDRESS MATCHES "^[^ \t\r\n\"'\\\\<>`@]+@[^ \t\r\n\"'\\\\<>`@]+$")
  message(FATAL_ERROR "OSTLEBRY_SUPPORT_ADDRESS must be empty or an e-mail address such as "
    "help@example.org; it is '${OSTLEBRY_SUPPORT_ADDRESS}'")
endif()

set(OSTLEBRY_PRODUCT_CONFIG "${CMAKE_CURRENT_BINARY_DIR}/generated/ProductConfig.cpp")
configure_file(cmake/ProductConfig.cpp.in "${OSTLEBRY_PRODUCT_CONFIG}" @ONLY)

include(cmake/OstlebryMetainfo.cmake)
set(OSTLEBRY_METAINFO "${CMAKE_CURRENT_BINARY_DIR}/generated/ostlebry.metainfo.xml")
ostlebry_write_metainfo("${CMAKE_CURRENT_SOURCE_DIR}/resources/desktop/ostlebry.metainfo.xml.in"
  "${OSTLEBRY_METAINFO}" "${OSTLEBRY_HOME_PAGE}" "${OSTLEBRY_CONTACT_PAGE}" "${OSTLEBRY_SCREENSHOT_URL}"
  "${PROJECT_VERSION}" "${OSTLEBRY_RELEASE_DATE}")
