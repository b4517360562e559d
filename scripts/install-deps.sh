#!/usr/bin/env bash
# Installs, as root on Debian 12, whatever the build, the tests and the program still lack.
# Extra package names may be given as arguments (the benchmarks add theirs).
set -euo pipefail
# appstream and desktop-file-utils check the installed desktop files in the tests,
# xdg-utils the desktop's folder opener (as the program asks it too) and dbus a
# private session bus; Qt's private headers let a test close the window as the
# window manager does; libxcb lets the window end another start's start-up
# feedback. libfuse3 and fuse3 give the tests a network share that stops answering.
# scripts/test-x11.sh adds its X server and window manager.
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-private-dev libxcb1-dev libgl-dev
  fonts-liberation appstream desktop-file-utils xdg-utils dbus-daemon libfuse3-dev fuse3 "$@")
# The Install test renders the scalable icon (librsvg, as GTK desktops do) and
# compares it with the picture.
packages+=(python3 librsvg2-bin)
# Qt Linguist's tools build the translations (lrelease, through CMake's
# Qt6LinguistTools) and check them against the sources (lupdate); Qt's own
# catalogues translate its standard dialog buttons.
packages+=(qt6-l10n-tools qt6-tools-dev qt6-translations-l10n)
. "$(dirname "$0")/lib/apt.sh"
apt_install "${packages[@]}"
