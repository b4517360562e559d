#!/usr/bin/env bash
# Runs the window tests labelled wayland under a Wayland compositor, as root on
# Debian 12: installs weston and Qt's Wayland platform if missing, builds the
# program and the tests, starts weston's headless compositor in a runtime
# folder of its own, runs the tests through Qt's Wayland platform, and stops
# the compositor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh weston qt6-wayland
build_dir=${BUILD_DIR:-build}
# The program, the tests and their probe alone: CI has built the rest already.
cmake -S . -B "$build_dir" -G Ninja -DBUILD_TESTING=ON >/dev/null
cmake --build "$build_dir" --target tst_WaylandWindow -j"$(nproc)"

runtime=$(mktemp -d) # 0700, as a runtime folder must be
socket=wayland-ostlebry-tests
XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --no-config --idle-time=0 --socket="$socket" \
  --log="$runtime/weston.log" &
weston=$!
trap 'kill "$weston" 2>/dev/null; wait "$weston" 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 200); do
  [ -S "$runtime/$socket" ] && break
  if ! kill -0 "$weston" 2>/dev/null; then
    cat "$runtime/weston.log" >&2
    echo "test-wayland.sh: weston ended before it served $socket" >&2
    exit 1
  fi
  sleep 0.05
done
[ -S "$runtime/$socket" ] || { echo "test-wayland.sh: weston did not serve $socket in 10 s" >&2; exit 1; }

echo "weston on $runtime/$socket"
OSTLEBRY_WAYLAND_DISPLAY="$runtime/$socket" ctest --test-dir "$build_dir" -L '^wayland$' \
  --no-tests=error --output-on-failure
