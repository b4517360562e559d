#!/usr/bin/env bash
# Builds with ThreadSanitizer into build-tsan/ (or $BUILD_DIR) and runs the
# tests that drive the read-ahead threads and the folder index's checks
# there; any report fails the run.
# Not part of .ci/run: a second sanitizer build would double its time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export BUILD_DIR=${BUILD_DIR:-build-tsan}
scripts/build.sh -DOSTLEBRY_SANITIZE_THREADS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
export QT_QPA_PLATFORM=offscreen
# The fixtures start helper processes; the threads started after that are ours.
export TSAN_OPTIONS=halt_on_error=1:die_after_fork=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -R '^(ReadAhead(Walk|Pool|Search)|DirectoryCursor|FolderSearch(Engine|WhileRunning|Faults)|FolderIndex)$'
