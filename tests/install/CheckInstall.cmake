# Installs the build into a fresh prefix and checks the tree it makes:
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DPREFIX=<prefix> -DVERSION=<version>
#     -DRELEASE_DATE=<yyyy-mm-dd> -P CheckInstall.cmake
foreach(variable BUILD_DIR SOURCE_DIR PREFIX VERSION RELEASE_DATE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

# The desktop's default folder opener, as xdg-mime answers it from the
# installed tree alone: XDG_* name folders of the test's own, the session bus
# none and no desktop is named, so nothing of the user's is read. xdg-mime
# splits its folder lists at blanks: the prefix is reached through a link
# under the build.
set(xdg "${BUILD_DIR}/install-xdg")
if(xdg MATCHES " ")
  message(FATAL_ERROR "xdg-mime cannot read folders below '${xdg}': it has a blank")
endif()
find_program(xdgMime xdg-mime)
if(NOT xdgMime)
  message(FATAL_ERROR "xdg-mime not found: install Debian's xdg-utils (scripts/install-deps.sh does)")
endif()
file(REMOVE_RECURSE "${xdg}")
file(MAKE_DIRECTORY "${xdg}/home" "${xdg}/data" "${xdg}/config" "${xdg}/config-dirs")
file(CREATE_LINK "${PREFIX}/share" "${xdg}/share" SYMBOLIC)
function(query_folder_opener into)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=XDG_CURRENT_DESKTOP
      --unset=DESKTOP_SESSION --unset=KDE_FULL_SESSION --unset=KDE_SESSION_VERSION
      --unset=GNOME_DESKTOP_SESSION_ID --unset=XDG_MENU_PREFIX --unset=DISPLAY
      --unset=XDG_RUNTIME_DIR "DBUS_SESSION_BUS_ADDRESS=unix:path=${xdg}/no-bus"
      "HOME=${xdg}/home" "XDG_DATA_HOME=${xdg}/data" "XDG_CONFIG_HOME=${xdg}/config"
      "XDG_CONFIG_DIRS=${xdg}/config-dirs" "XDG_DATA_DIRS=${xdg}/share"
      "${xdgMime}" query default inode/directory
    OUTPUT_VARIABLE answer ERROR_VARIABLE answer OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${into} "${answer}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
query_folder_opener(openerBefore)
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(failures "")
function(fail message)
  set(failures ${failures} "${message}" PARENT_SCOPE)
endfunction()

set(home "${PREFIX}/lib/ostlebry")
set(program "${home}/ostlebry")
execute_process(COMMAND test -f "${program}" -a -x "${program}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("no executable program at ${program}")
endif()

foreach(folder "Documents/Templates/Example letters" Documents/Templates/sampler
    "Examples/Sample Photos" Examples/old/SAMPLE-2019 Music/Playlists)
  if(NOT IS_DIRECTORY "${home}/Samples/${folder}")
    fail("no sample folder Samples/${folder}")
  endif()
endforeach()
file(GLOB_RECURSE sampleFiles LIST_DIRECTORIES false "${home}/Samples/*")
if(sampleFiles)
  fail("the sample tree holds files: ${sampleFiles}")
endif()

# Optional data files go beside the program exactly when the source has them.
foreach(pair "resources/skin/o.cjs|x/o.cjs" "resources/HAND-M.CUR|HAND-M.CUR")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 installed)
  if(EXISTS "${SOURCE_DIR}/${source}" AND NOT EXISTS "${home}/${installed}")
    fail("${installed} missing beside the program")
  elseif(NOT EXISTS "${SOURCE_DIR}/${source}" AND EXISTS "${home}/${installed}")
    fail("${installed} installed without a source")
  endif()
endforeach()

# The catalogues of each language go beside the program, where it finds them:
# it speaks German by them, and as written in the C locale. The tests' own
# pseudo-translation stays in the build.
file(GLOB catalogues RELATIVE "${home}/translations" "${home}/translations/*")
if(NOT catalogues STREQUAL "ostlebry_de.qm;ostlebry_fr.qm")
  fail("the catalogues beside the program are '${catalogues}', not German and French")
endif()
foreach(pair "de_DE.UTF-8|Zeigt diese Hilfe an und beendet sich." "C|Shows this help and ends.")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 locale)
  list(GET pair 1 expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=LC_ALL --unset=LC_MESSAGES
      --unset=LANGUAGE "LANG=${locale}" "${program}" --help
    OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(FIND "${output}" "${expected}" at)
  if(at EQUAL -1)
    fail("--help under LANG=${locale} lacks '${expected}':\n${output}")
  endif()
endforeach()

set(link "${PREFIX}/bin/ostlebry")
if(NOT IS_SYMLINK "${link}")
  fail("${link} is not a link")
else()
  file(READ_SYMLINK "${link}" target)
  if(NOT target STREQUAL "../lib/ostlebry/ostlebry")
    fail("${link} points to '${target}'")
  endif()
  file(REAL_PATH "${link}" resolved)
  file(REAL_PATH "${program}" programReal)
  if(NOT resolved STREQUAL programReal)
    fail("${link} resolves to '${resolved}'")
  endif()
endif()

set(icon "${PREFIX}/share/icons/hicolor/256x256/apps/ostlebry.png")
if(NOT EXISTS "${icon}")
  fail("no icon at ${icon}")
else()
  file(READ "${icon}" png LIMIT 8 HEX)
  if(NOT png STREQUAL "89504e470d0a1a0a")
    fail("${icon} is no PNG picture")
  endif()
endif()
# The scalable icon must look like the picture: rendered at its size by
# librsvg, as GTK desktops draw it, the two may differ only at their edges.
set(scalable "${PREFIX}/share/icons/hicolor/scalable/apps/ostlebry.svg")
find_program(python3 python3)
find_program(rsvgConvert rsvg-convert)
if(NOT EXISTS "${scalable}")
  fail("no scalable icon at ${scalable}")
elseif(NOT python3 OR NOT rsvgConvert)
  fail("python3 or rsvg-convert not found: install Debian's python3 and librsvg2-bin "
    "(scripts/install-deps.sh does)")
else()
  execute_process(COMMAND "${python3}" "${SOURCE_DIR}/tools/make_icon.py" --compare "${scalable}" "${icon}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  message(STATUS "${output}")
  if(NOT result EQUAL 0)
    fail("the scalable icon does not match the picture: ${output}")
  endif()
endif()

set(manual "${PREFIX}/share/man/man1/ostlebry.1")
if(NOT EXISTS "${manual}")
  fail("no manual page at ${manual}")
else()
  file(STRINGS "${manual}" title REGEX "^\\.TH ")
  if(NOT title STREQUAL ".TH OSTLEBRY 1 ${RELEASE_DATE} \"Ostlebry ${VERSION}\" \"User Commands\"")
    fail("the manual page's title line is '${title}'")
  endif()
endif()

set(desktop "${PREFIX}/share/applications/ostlebry.desktop")
if(NOT EXISTS "${desktop}")
  fail("no desktop entry at ${desktop}")
else()
  file(READ "${desktop}" entry)
  if(NOT entry MATCHES "^\\[Desktop Entry\\]\n")
    fail("the entry does not start with its group header")
  endif()
  set(launcher "${PREFIX}/bin/ostlebry")
  if(launcher MATCHES " ")
    set(exec "\"${launcher}\"")
  else()
    set(exec "${launcher}")
  endif()
  function(expect_line line)
    string(FIND "\n${entry}" "\n${line}\n" at)
    if(at EQUAL -1)
      fail("the entry lacks the line '${line}'")
      set(failures ${failures} PARENT_SCOPE)
    endif()
  endfunction()
  expect_line("Type=Application")
  expect_line("Name=Vantorel Software / Ostlebry")
  # Folders from a file manager's "Open with" come as arguments.
  expect_line("Exec=${exec} %F")
  # Not a folder opener: as one it would start on every folder another
  # program shows, where no file manager is the default.
  string(FIND "${entry}" "inode/directory" at)
  if(NOT at EQUAL -1)
    fail("the entry claims folders (inode/directory)")
  endif()
  expect_line("TryExec=${launcher}")
  expect_line("Icon=ostlebry")
  expect_line("Terminal=false")
  expect_line([[Categories=Utility;FileTools;]])
  # The desktop's own checker, where it is installed.
  find_program(validator desktop-file-validate)
  if(validator)
    execute_process(COMMAND "${validator}" "${desktop}" RESULT_VARIABLE result
      OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0 OR output MATCHES "error")
      fail("desktop-file-validate: ${output}")
    endif()
  endif()
endif()

# The desktop's own cache of handlers, rebuilt as packages do, leaves the
# folder opener as it was.
find_program(updateDesktopDatabase update-desktop-database)
if(NOT updateDesktopDatabase)
  fail("update-desktop-database not found: install Debian's desktop-file-utils")
else()
  execute_process(COMMAND "${updateDesktopDatabase}" "${PREFIX}/share/applications"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    fail("update-desktop-database failed (${result}): ${output}")
  endif()
  query_folder_opener(openerAfter)
  message(STATUS "xdg-mime query default inode/directory: '${openerBefore}' before the install, "
    "'${openerAfter}' after")
  if(NOT openerAfter STREQUAL openerBefore)
    fail("the install made '${openerAfter}' the folder opener, not '${openerBefore}'")
  endif()
endif()

# The AppStream metainfo, as built and as a build given every address makes it.
# The id stays the desktop entry's name: a reverse-domain id needs a domain the
# project holds, so that one finding is lowered; anything else fails. A missing
# release is only a hint to older validators, yet software centres show no
# version without one: it is raised to a warning.
find_program(appstreamcli appstreamcli)
function(validate_metainfo file)
  if(NOT appstreamcli)
    fail("appstreamcli not found: install Debian's appstream (scripts/install-deps.sh does)")
  else()
    execute_process(COMMAND "${appstreamcli}" validate --no-net --strict
        --override=cid-desktopapp-is-not-rdns=pedantic,releases-info-missing=warning "${file}"
      RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
      fail("appstreamcli validate ${file}:\n${output}")
    endif()
  endif()
  set(failures ${failures} PARENT_SCOPE)
endfunction()

set(metainfo "${PREFIX}/share/metainfo/ostlebry.metainfo.xml")
if(NOT EXISTS "${metainfo}")
  fail("no metainfo at ${metainfo}")
else()
  validate_metainfo("${metainfo}")
  file(READ "${metainfo}" text)
  if(NOT text MATCHES "<launchable type=\"desktop-id\">ostlebry.desktop</launchable>")
    fail("the metainfo does not name the desktop entry")
  endif()
  string(FIND "${text}" "<release version=\"${VERSION}\" date=\"${RELEASE_DATE}\"/>" at)
  if(at EQUAL -1)
    fail("the metainfo does not give this version, ${VERSION} of ${RELEASE_DATE}, as its release")
  endif()
endif()
include("${SOURCE_DIR}/cmake/OstlebryMetainfo.cmake")
set(full "${PREFIX}/../metainfo-with-addresses.xml")
ostlebry_write_metainfo("${SOURCE_DIR}/resources/desktop/ostlebry.metainfo.xml.in" "${full}"
  "https://ostlebry.org/" "https://ostlebry.org/contact?a=1&b=2" "https://ostlebry.org/screenshot.png"
  "${VERSION}" "${RELEASE_DATE}")
validate_metainfo("${full}")
file(READ "${full}" text)
foreach(expected [[<url type="homepage">https://ostlebry.org/</url>]]
    [[<url type="contact">https://ostlebry.org/contact?a=1&amp;b=2</url>]]
    [[<image>https://ostlebry.org/screenshot.png</image>]])
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    fail("the metainfo made with addresses lacks ${expected}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "The installed tree is not as it should be:\n  ${text}")
endif()
message(STATUS "Installed tree in ${PREFIX} checked")
