#!/usr/bin/env bash
# Times the program's hot paths against standard tools. Run as root on Debian 12.
#
# Folder walk: the search engine (bench_walk, with and without read-ahead),
# find, fd and fd -j1 each search the same generated tree for "alpha", ignoring
# case; the script checks that all find the same folders and prints the median
# times of $BENCH_RUNS runs (default 5) and their ratios. Then bench_window
# times Start -> "Done." in the real window (offscreen) on the same tree. Trees
# of $BENCH_SIZES folders (default "200000 1000000"; the larger needs about
# 5 GB of disk) are made once under /tmp and reused. Last, the memory of a
# million rows in the window's results list.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh fd-find
scripts/build.sh
build_dir=${BUILD_DIR:-build}
runs=${BENCH_RUNS:-5}
sizes=${BENCH_SIZES:-200000 1000000}
status=0

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

bench_tree() {
  local folders=$1 tree=$2
  # The tree is made once and reused; its statistics sit beside it.
  if [ ! -f "$tree.stats" ]; then
    rm -rf "$tree"
    echo "Making $folders folders under $tree ..."
    "$build_dir/bench/make_tree" "$tree" "$folders" >"$tree.stats.new"
    mv "$tree.stats.new" "$tree.stats"
  fi
  local expected
  expected=$(awk '/^matches-ignoring-case/ {print $2}' "$tree.stats")

  local engine=("$build_dir/bench/bench_walk" "$tree" alpha)
  local find_cmd=(find "$tree" -mindepth 1 -type d -iname '*alpha*')
  local fd_cmd=(fdfind -H -I -F -t d -i alpha "$tree")
  local fd1_cmd=(fdfind -j1 -H -I -F -t d -i alpha "$tree")

  local scratch
  scratch=$(mktemp -d)
  "${engine[@]}" --print 2>/dev/null | sort >"$scratch/engine"
  OSTLEBRY_READAHEAD=0 "${engine[@]}" --print 2>/dev/null | sort >"$scratch/engine1"
  "${find_cmd[@]}" | sort >"$scratch/find"
  "${fd_cmd[@]}" | sed 's:/$::' | sort >"$scratch/fd"
  echo
  echo "Folder walk: $(wc -l <"$scratch/engine") matches (expected $expected), tree $tree ($folders folders)"
  for tool in engine1 find fd; do
    if ! cmp -s "$scratch/engine" "$scratch/$tool"; then
      echo "MISMATCH: the engine and $tool found different folders:"
      diff "$scratch/engine" "$scratch/$tool" | head -10
      status=1
    fi
  done
  [ "$(wc -l <"$scratch/engine")" -eq "$expected" ] || { echo "MISMATCH: expected $expected matches"; status=1; }
  rm -rf "$scratch"

  # Warm the cache, so that every tool reads the same memory-resident tree.
  "${find_cmd[@]}" >/dev/null

  local ew ec e1w e1c fw fc dw dc d1w d1c
  read -r ew ec < <(OSTLEBRY_READAHEAD=1 medians_ms "${engine[@]}")
  read -r e1w e1c < <(OSTLEBRY_READAHEAD=0 medians_ms "${engine[@]}")
  read -r fw fc < <(medians_ms "${find_cmd[@]}")
  read -r dw dc < <(medians_ms "${fd_cmd[@]}")
  read -r d1w d1c < <(medians_ms "${fd1_cmd[@]}")
  echo "Median of $runs runs, whole process (wall clock; processor time, user + system):"
  printf '  %-22s %6s ms  %6s ms\n' "engine, read-ahead" "$ew" "$ec" "engine, one thread" "$e1w" "$e1c" \
    find "$fw" "$fc" fd "$dw" "$dc" "fd -j1" "$d1w" "$d1c"
  awk -v ew="$ew" -v ec="$ec" -v e1w="$e1w" -v e1c="$e1c" -v fw="$fw" -v fc="$fc" \
    -v dw="$dw" -v dc="$dc" -v d1w="$d1w" -v d1c="$d1c" 'BEGIN {
      printf "  engine (read-ahead)/find   %.2f wall, %.2f processor (target <= 0.60)\n", ew / fw, ec / fc
      printf "  engine (read-ahead)/fd     %.2f wall, %.2f processor\n", ew / dw, ec / dc
      printf "  engine (read-ahead)/fd -j1 %.2f wall, %.2f processor\n", ew / d1w, ec / d1c
      printf "  engine (one thread)/fd -j1 %.2f wall, %.2f processor\n", e1w / d1w, e1c / d1c
      printf "  engine read-ahead/one thread %.2f wall, %.2f processor\n", ew / e1w, ec / e1c
    }'
  echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg), cores: $(nproc)"
  echo
  "$build_dir/bench/bench_window" "$tree" alpha --runs "$runs" || status=1
  echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg), cores: $(nproc)"
}

for folders in $sizes; do
  if [ "$folders" = 200000 ]; then
    tree=${BENCH_TREE:-/tmp/ostlebry-bench-tree}
  else
    tree=/tmp/ostlebry-bench-tree-$folders
  fi
  bench_tree "$folders" "$tree"
done

echo
"$build_dir/bench/bench_window" --fill 1000000 || status=1
exit $status
