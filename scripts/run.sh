#!/usr/bin/env bash
# Installs what is missing, builds the program alone (not the tests or the
# benchmarks), and starts it with any folders given as arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
# A desktop program: say so now rather than after a build of several minutes.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display found. Ostlebry is a desktop program: run this in a graphical" \
    "session (DISPLAY or WAYLAND_DISPLAY must be set)." >&2
  exit 2
fi
scripts/install-deps.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DBUILD_TESTING=OFF -DOSTLEBRY_BUILD_BENCHMARKS=OFF \
  -DOSTLEBRY_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build_dir" --target ostlebry -j"$(nproc)"
exec "$build_dir/ostlebry" "$@"
