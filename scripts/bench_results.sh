#!/usr/bin/env bash
# Builds and runs the results benchmark: filter, save and copy on a million rows
# against grep and a plain buffered writer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec "${BUILD_DIR:-build}/bench/bench_results"
