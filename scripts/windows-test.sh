#!/usr/bin/env bash
# Builds the Windows directory layer and its test program for 32-bit Windows
# with MinGW-w64, runs it under Wine, and succeeds only when the program's last
# line reads "N passed, 0 failed". Installs the cross compiler and Wine (about
# 1.5 GB) as root on Debian 12 when they are missing.
# The build and the Wine prefix go to build-windows/ (or $WINDOWS_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
installed g++-mingw-w64-i686 || missing+=(g++-mingw-w64-i686)
installed wine || missing+=(wine)
installed wine32:i386 || missing+=(wine32:i386)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${WINDOWS_BUILD_DIR:-build-windows}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
program="$build_dir/dirwalk_test.exe"
log="$build_dir/dirwalk_test.log"

echo "Building $program"
i686-w64-mingw32-g++ -std=c++20 -O2 -static -Wall -Wextra -D_WIN32_WINNT=0x0601 \
  -I. -Itests/windows platform/walk/windows/*.cpp tests/contract/*.cpp tests/windows/*.cpp -o "$program"

export WINEPREFIX="$build_dir/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

echo "Running $program under $(wine --version)"
status=0
timeout 600 wine "$program" >"$log" 2>&1 || status=$?
tr -d '\r' <"$log" | sed '$d'
last=$(tr -d '\r' <"$log" | tail -n 1)
wineserver -w || true

if [ "$status" -ne 0 ]; then
  echo "The test program ended with status $status."
fi
echo "$last"
if [ "$status" -ne 0 ] || ! [[ "$last" =~ ^[0-9]+\ passed,\ 0\ failed$ ]] || [[ "$last" =~ ^0\  ]]; then
  exit 1
fi
