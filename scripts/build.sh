#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR), passing any arguments to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
# Everything, whatever an earlier scripts/run.sh left in the cache; the arguments may say otherwise.
cmake -S . -B "$build_dir" -G Ninja -DBUILD_TESTING=ON -DOSTLEBRY_BUILD_BENCHMARKS=ON \
  -DOSTLEBRY_BUILD_TOOLS=ON "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
