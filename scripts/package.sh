#!/usr/bin/env bash
# Builds the Debian package from these sources, as root on Debian 12:
# build-deb/ostlebry_<version>_<arch>.deb, with its debug symbols, .buildinfo
# and .changes. The maker's addresses pass from the environment
# (docs/install.md). Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev debhelper
# Everything debian/control asks for to build must be there.
dpkg-checkbuilddeps

# The package's version is the program's: CMake's project VERSION, of the
# release date beside it, and debian/changelog's newest entry must agree.
version=$(sed -n 's/^project(Ostlebry VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
release_date=$(sed -n 's/^set(OSTLEBRY_RELEASE_DATE \([0-9-]*\))$/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -S Version)
changelog_date=$(date -u -d "$(dpkg-parsechangelog -S Date)" +%F)
if [ -z "$version" ] || [ "$changelog_version" != "$version" ] || [ "$changelog_date" != "$release_date" ]; then
  echo "package.sh: debian/changelog gives $changelog_version of $changelog_date; CMakeLists.txt" \
    "gives ${version:-no version} of ${release_date:-no date}. Add a changelog entry for it." >&2
  exit 1
fi

# dpkg-buildpackage builds in the source tree and writes the packages beside
# it: a fresh copy keeps this tree as it is, earlier builds included. Its path
# stays the same from build to build, so a compiler cache can serve it.
out=build-deb
work="$out/work"
rm -rf "$work"
source="$work/ostlebry-$version"
mkdir -p "$source"
tar -C . --exclude='./build*' --exclude=./.git --exclude=./.cache -cf - . | tar -C "$source" -xf -
(cd "$source" && DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -b -us -uc)

rm -f "$out"/ostlebry_* "$out"/ostlebry-dbgsym_*
shopt -s nullglob
mv "$work"/*.deb "$work"/*.ddeb "$work"/*.buildinfo "$work"/*.changes "$out"/
rm -rf "$work"
echo "$out/ostlebry_${version}_$(dpkg --print-architecture).deb"
