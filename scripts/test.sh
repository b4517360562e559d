#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
# The tests labelled wayland need a compositor: scripts/test-wayland.sh runs them.
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" -LE '^wayland$'
