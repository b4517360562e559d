# Writes the AppStream metainfo from its template, with `version` of
# `releaseDate` (yyyy-mm-dd) as its release. Addresses are added only when the
# build was given them: software centres show what is there, and an address
# nobody serves is worse than none.
function(ostlebry_write_metainfo template output homePage contactPage screenshotUrl version
    releaseDate)
  set(OSTLEBRY_METAINFO_VERSION "${version}")
  set(OSTLEBRY_METAINFO_DATE "${releaseDate}")
  set(extra "")
  foreach(type homepage contact)
    set(url "${homePage}")
    if(type STREQUAL "contact")
      set(url "${contactPage}")
    endif()
    if(NOT url STREQUAL "")
      string(REPLACE "&" "&amp;" url "${url}")
      string(APPEND extra "  <url type=\"${type}\">${url}</url>\n")
    endif()
  endforeach()
  if(NOT screenshotUrl STREQUAL "")
    string(REPLACE "&" "&amp;" url "${screenshotUrl}")
    string(APPEND extra "  <screenshots>\n    <screenshot type=\"default\">\n"
      "      <caption>The main window in its skin</caption>\n"
      "      <image>${url}</image>\n    </screenshot>\n  </screenshots>\n")
  endif()
  set(OSTLEBRY_METAINFO_EXTRA "${extra}")
  configure_file("${template}" "${output}" @ONLY)
endfunction()
