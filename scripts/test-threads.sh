#!/usr/bin/env bash
# Builds with ThreadSanitizer into build-tsan/ (or $BUILD_DIR) and runs the
# tests that drive the read-ahead threads and the folder index's checks
# there; any report fails the run. Only those tests are built: the rest of the
# program runs its threads through them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build_dir=${BUILD_DIR:-build-tsan}
tests=(ReadAheadWalk ReadAheadPool ReadAheadSearch DirectoryCursor FolderSearchEngine
  FolderSearchWhileRunning FolderSearchFaults FolderIndex)
cmake -S . -B "$build_dir" -G Ninja -DBUILD_TESTING=ON -DOSTLEBRY_BUILD_BENCHMARKS=OFF \
  -DOSTLEBRY_BUILD_TOOLS=OFF -DOSTLEBRY_SANITIZE_THREADS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target "${tests[@]/#/tst_}"
export QT_QPA_PLATFORM=offscreen
# The fixtures start helper processes; the threads started after that are ours.
export TSAN_OPTIONS=halt_on_error=1:die_after_fork=0
pattern=$(IFS='|'; echo "${tests[*]}")
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" -R "^($pattern)\$"
