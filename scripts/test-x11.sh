#!/usr/bin/env bash
# Installs what is missing, builds, and runs the window tests that need a real
# X server and window manager (label x11: frames, start-up ids, the wheel) on
# an Xvfb screen of 1366 x 768 managed by openbox, both started here for the
# run alone and stopped at its end. Every other test runs offscreen: scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
# xdotool turns the wheel through the server's test extension; xprop sees the
# window manager arrive.
scripts/install-deps.sh xvfb openbox xdotool x11-utils
scripts/build.sh

work=$(mktemp -d)
xvfb=
wm=
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "test-x11.sh: $1" >&2
  cat "$work"/*.log >&2 2>/dev/null || true
  exit 1
}

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start."
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb gave no display within 10 s."
display=":$(head -n 1 "$work/display")"

# openbox with its stock settings, not the user's.
DISPLAY=$display XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 100); do
  DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$wm" 2>/dev/null || fail "openbox did not start."
  sleep 0.1
done
DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
  || fail "openbox did not manage the screen within 10 s."

echo "Xvfb on $display, managed by openbox"
OSTLEBRY_X11_DISPLAY=$display ctest --test-dir "${BUILD_DIR:-build}" -L x11 --no-tests=error \
  --output-on-failure
