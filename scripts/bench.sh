#!/usr/bin/env bash
# Times the program's hot paths against standard tools. Run as root on Debian 12.
#
# Folder walk: the search engine (bench_walk), find and fd each search the same
# generated tree of 200,000 folders for "alpha", ignoring case; the script
# checks that all three find the same folders and prints the median times of
# $BENCH_RUNS runs (default 5) and their ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh fd-find
scripts/build.sh
build_dir=${BUILD_DIR:-build}
tree=${BENCH_TREE:-/tmp/ostlebry-bench-tree}
runs=${BENCH_RUNS:-5}
folders=200000

# The tree is made once and reused; its statistics sit beside it.
if [ ! -f "$tree.stats" ]; then
  rm -rf "$tree"
  echo "Making $folders folders under $tree ..."
  "$build_dir/bench/make_tree" "$tree" "$folders" >"$tree.stats.new"
  mv "$tree.stats.new" "$tree.stats"
fi
expected=$(awk '/^matches-ignoring-case/ {print $2}' "$tree.stats")

# One run of the command, its output discarded: "wall-seconds cpu-seconds".
run_once() {
  local TIMEFORMAT='%R %U %S' times
  times=$({ time "$@" >/dev/null 2>&1; } 2>&1)
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$times"
}

# Medians over $runs runs, in milliseconds: "wall cpu".
medians_ms() {
  local results=()
  for _ in $(seq "$runs"); do results+=("$(run_once "$@")"); done
  local wall cpu
  wall=$(printf '%s\n' "${results[@]}" | awk '{print $1}' | sort -n | awk '{a[NR]=$1} END {printf "%d", a[int((NR+1)/2)] * 1000}')
  cpu=$(printf '%s\n' "${results[@]}" | awk '{print $2}' | sort -n | awk '{a[NR]=$1} END {printf "%d", a[int((NR+1)/2)] * 1000}')
  echo "$wall $cpu"
}

engine=("$build_dir/bench/bench_walk" "$tree" alpha)
find_cmd=(find "$tree" -mindepth 1 -type d -iname '*alpha*')
fd_cmd=(fdfind -H -I -F -t d -i alpha "$tree")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"${engine[@]}" --print 2>/dev/null | sort >"$scratch/engine"
"${find_cmd[@]}" | sort >"$scratch/find"
"${fd_cmd[@]}" | sed 's:/$::' | sort >"$scratch/fd"
echo "Folder walk: $(wc -l <"$scratch/engine") matches (expected $expected), tree $tree"
status=0
for tool in find fd; do
  if ! cmp -s "$scratch/engine" "$scratch/$tool"; then
    echo "MISMATCH: the engine and $tool found different folders:"
    diff "$scratch/engine" "$scratch/$tool" | head -10
    status=1
  fi
done
[ "$(wc -l <"$scratch/engine")" -eq "$expected" ] || { echo "MISMATCH: expected $expected matches"; status=1; }

# Warm the cache, so that every tool reads the same memory-resident tree.
"${find_cmd[@]}" >/dev/null

read -r engine_wall engine_cpu < <(medians_ms "${engine[@]}")
read -r find_wall find_cpu < <(medians_ms "${find_cmd[@]}")
read -r fd_wall fd_cpu < <(medians_ms "${fd_cmd[@]}")
echo "Median of $runs runs (wall clock; processor time, user + system):"
printf '  %-7s %6s ms  %6s ms\n' engine "$engine_wall" "$engine_cpu" find "$find_wall" "$find_cpu" \
  fd "$fd_wall" "$fd_cpu"
awk -v ew="$engine_wall" -v ec="$engine_cpu" -v fw="$find_wall" -v fc="$find_cpu" \
  -v dw="$fd_wall" -v dc="$fd_cpu" 'BEGIN {
    printf "  engine/find %.2f wall, %.2f processor (target <= 0.60)\n", ew / fw, ec / fc
    printf "  engine/fd   %.2f wall, %.2f processor (fd uses every core)\n", ew / dw, ec / dc
  }'
echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg), cores: $(nproc)"
exit $status
