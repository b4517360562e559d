#!/usr/bin/env bash
# Builds the Windows directory layer and its test program with MinGW-w64, runs
# it under Wine, and succeeds only when the program's last line reads
# "N passed, 0 failed". Installs the cross compiler and Wine (about 1.5 GB) as
# root on Debian 12 when they are missing.
#
# The program is the 32-bit Windows build, run by the 32-bit Wine (wine32:i386).
# Where that Wine cannot be installed (the i386 package index can be out of step
# with the amd64 one while a mirror syncs, and wine32's libraries must match the
# amd64 versions exactly), the 64-bit build runs under wine64 instead; the
# script says which of the two ran. WINDOWS_ARCH=32 or 64 asks for one of them.
# The build and the Wine prefix go to build-windows/ (or $WINDOWS_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/apt.sh

# Installs the 32-bit tools, adding the i386 architecture for wine32 only as
# long as it is needed: left behind after a failure, it would fail every later
# index update on this machine for as long as the mirror is out of step.
install_32bit() {
  local added=no
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    apt_as_root dpkg --add-architecture i386
    added=yes
  fi
  if apt_install g++-mingw-w64-i686 wine wine32:i386; then
    return 0
  fi
  if [ "$added" = yes ]; then
    apt_as_root dpkg --remove-architecture i386 || true
    apt_update || true
  fi
  return 1
}

arch=${WINDOWS_ARCH:-auto}
case $arch in
  32) install_32bit ;;
  64) apt_install g++-mingw-w64-x86-64 wine wine64 ;;
  auto)
    arch=32
    if ! install_32bit; then
      echo "The 32-bit Wine (wine32:i386) cannot be installed here: falling back to the 64-bit build under wine64."
      arch=64
      apt_install g++-mingw-w64-x86-64 wine wine64
    fi
    ;;
  *)
    echo "WINDOWS_ARCH must be 32, 64 or auto, not '$arch'." >&2
    exit 2
    ;;
esac

if [ "$arch" = 32 ]; then
  compiler=i686-w64-mingw32-g++ wine=wine winearch=win32 label="32-bit build under the 32-bit Wine"
else
  compiler=x86_64-w64-mingw32-g++ wine=wine winearch=win64 label="64-bit build under wine64"
fi

build_dir=${WINDOWS_BUILD_DIR:-build-windows}/win$arch
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
program="$build_dir/dirwalk_test.exe"
log="$build_dir/dirwalk_test.log"

echo "Building $program ($label)"
"$compiler" -std=c++20 -O2 -static -Wall -Wextra -D_WIN32_WINNT=0x0601 \
  -I. -Itests/windows platform/walk/windows/*.cpp tests/contract/*.cpp tests/windows/*.cpp -o "$program"

export WINEPREFIX="$build_dir/wineprefix" WINEARCH=$winearch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

echo "Running $program: the $label, $("$wine" --version)"
status=0
timeout 600 "$wine" "$program" >"$log" 2>&1 || status=$?
tr -d '\r' <"$log" | sed '$d'
last=$(tr -d '\r' <"$log" | tail -n 1)
wineserver -w || true

if [ "$status" -ne 0 ]; then
  echo "The test program ended with status $status."
fi
echo "$last ($label)"
if [ "$status" -ne 0 ] || ! [[ "$last" =~ ^[0-9]+\ passed,\ 0\ failed$ ]] || [[ "$last" =~ ^0\  ]]; then
  exit 1
fi
