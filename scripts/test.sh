#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless (offscreen);
# the few that need a real X server run by scripts/test-x11.sh, those that need
# a Wayland compositor by scripts/test-wayland.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" -LE '^(x11|wayland)$'
