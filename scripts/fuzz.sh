#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $FUZZ_BUILD_DIR)
# and runs each for the given number of seconds (default 60), one after another.
# Names of targets may follow the seconds to run only those. New findings are
# left in build-fuzz/findings/<target>/; copy them to fuzz/regressions/<target>/
# once fixed: every run replays the seeds and the regressions before it fuzzes,
# and CI runs this script for a few seconds a target, so a target that no
# longer builds or a finding that comes back fails CI.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
scripts/install-deps.sh clang libclang-rt-14-dev
cmake -S fuzz -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
status=0
for target in "${targets[@]}"; do
  corpus="$build_dir/corpus/$target"
  findings="$build_dir/findings/$target"
  mkdir -p "$corpus" "$findings"
  seeds=()
  [ -d "fuzz/seeds/$target" ] && seeds+=("fuzz/seeds/$target")
  [ -d "fuzz/regressions/$target" ] && seeds+=("fuzz/regressions/$target")
  echo "== $target: $seconds s"
  if ! "$build_dir/$target" -max_total_time="$seconds" -max_len=4096 \
      -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "${seeds[@]}" \
      >"$build_dir/$target.log" 2>&1; then
    echo "FINDING in $target: see $build_dir/$target.log and $findings/"
    status=1
  fi
  tail -n 12 "$build_dir/$target.log" | grep -E 'stat::number_of_executed_units|Done|ERROR' || true
done
exit $status
