#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh), lints it, installs it with
# apt as a user would, checks the installed program, desktop entry and
# metainfo, then purges it and checks that nothing of it is left. As root on
# Debian 12; an ostlebry package already installed is purged first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh lintian
deb=$(scripts/package.sh | tail -n 1)
changes=${deb%.deb}.changes
version=$(dpkg-deb -f "$deb" Version)

fail() {
  echo "test-package.sh: $*" >&2
  exit 1
}

# Errors and warnings fail; the rest is shown. Overrides carry their reasons
# in debian/ostlebry.lintian-overrides.
lintian --fail-on error,warning --display-info --show-overrides "$changes"

# Its dependencies are the libraries the program links, found by dh_shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6widgets6; do
  [[ ", $depends" == *", $library "* ]] || fail "Depends lacks $library: $depends"
done

if dpkg-query -W -f='${db:Status-Abbrev}' ostlebry 2>/dev/null | grep -q '^.[^n]'; then
  echo "Purging the ostlebry package installed before"
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ostlebry
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb"
mapfile -t owned < <(dpkg-query -L ostlebry)

[ "$(command -v ostlebry)" = /usr/bin/ostlebry ] || fail "ostlebry is not /usr/bin/ostlebry on PATH"
[ "$(readlink /usr/bin/ostlebry)" = ../lib/ostlebry/ostlebry ] || fail "/usr/bin/ostlebry is no link to the program"
for file in /usr/lib/ostlebry/x/o.cjs /usr/lib/ostlebry/HAND-M.CUR \
  /usr/share/icons/hicolor/256x256/apps/ostlebry.png /usr/share/icons/hicolor/scalable/apps/ostlebry.svg \
  /usr/share/man/man1/ostlebry.1.gz; do
  [ -f "$file" ] || fail "$file is missing"
done
[ -d "/usr/lib/ostlebry/Samples/Music/Playlists" ] || fail "the sample folder is missing"
for language in de fr; do
  [ -f "/usr/lib/ostlebry/translations/ostlebry_$language.qm" ] || fail "the $language catalogue is missing"
done
helped=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES -u LANGUAGE \
  LANG=de_DE.UTF-8 ostlebry --help)
[[ "$helped" == *"Zeigt diese Hilfe an"* ]] || fail "ostlebry --help under LANG=de_DE.UTF-8 is not German: $helped"
printed=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ostlebry --version)
[ "$printed" = "ostlebry $version" ] || fail "ostlebry --version printed '$printed', not 'ostlebry $version'"
desktop-file-validate /usr/share/applications/ostlebry.desktop
grep -qx 'Exec=/usr/bin/ostlebry %F' /usr/share/applications/ostlebry.desktop ||
  fail "the desktop entry does not start /usr/bin/ostlebry"
# As strict as the Install test (tests/install/CheckInstall.cmake), which says why.
appstreamcli validate --no-net --strict \
  --override=cid-desktopapp-is-not-rdns=pedantic,releases-info-missing=warning \
  /usr/share/metainfo/ostlebry.metainfo.xml
grep -q "<release version=\"$version\"" /usr/share/metainfo/ostlebry.metainfo.xml ||
  fail "the metainfo does not give $version as its release"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ostlebry
if dpkg-query -W ostlebry >/dev/null 2>&1; then
  fail "dpkg still knows ostlebry: $(dpkg-query -W -f='${db:Status-Abbrev}' ostlebry)"
fi
left=()
for path in "${owned[@]}"; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  # A folder that other packages or files share (/usr/share/man/man1, ...) stays.
  if [ -d "$path" ] && [ ! -L "$path" ] &&
    { dpkg-query -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ]; }; then
    continue
  fi
  left+=("$path")
done
# The program's own folder goes whole, whatever was put in it.
[ ! -e /usr/lib/ostlebry ] || left+=(/usr/lib/ostlebry)
shopt -s nullglob
left+=(/var/lib/dpkg/info/ostlebry.* /var/lib/dpkg/info/ostlebry:*)
[ ${#left[@]} -eq 0 ] || fail "left after the purge: ${left[*]}"
echo "The package $deb built, linted, installed, ran, validated and purged without a trace."
