#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the logic
# and the walk library's sources, every warning an error. Configures build-tidy/ (or $TIDY_BUILD_DIR)
# for the compile commands alone: nothing is built.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-tidy >/dev/null || scripts/install-deps.sh clang-tidy
build_dir=${TIDY_BUILD_DIR:-build-tidy}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBUILD_TESTING=OFF \
  -DOSTLEBRY_BUILD_BENCHMARKS=OFF -DOSTLEBRY_BUILD_TOOLS=OFF >/dev/null

# The walk's and the logic's own files, not the ones the build generates.
mapfile -t files < <(python3 - "$build_dir" "$PWD" <<'PY'
import json, os, sys
build, source = (os.path.realpath(path) + os.sep for path in sys.argv[1:3])
for entry in json.load(open(build + "compile_commands.json")):
    path = os.path.realpath(entry["file"])
    if any(f"/{library}.dir/" in entry["command"] for library in ("ostlebry_walk", "ostlebry_logic")) and path.startswith(source) and not path.startswith(build):
        print(path)
PY
)
echo "check-tidy: ${#files[@]} files of the walk and the logic"
printf '%s\n' "${files[@]}" | xargs -P"$(nproc)" -n1 clang-tidy -p "$build_dir" --quiet --warnings-as-errors='*'
