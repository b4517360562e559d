#!/usr/bin/env bash
# Times the program's folder walk against a plain walk and the standard tools.
# Run as root on Debian 12:
#
#   scripts/bench.sh            warm cache: every tool reads a memory-resident tree
#   scripts/bench.sh --cold     cold cache (or BENCH_COLD=1): page cache, dentries
#                               and inodes dropped before every single run
#
# Each tree is searched for "alpha", ignoring case, by: plain_walk (a plain
# single-thread getdents64 walk, the yardstick; then one such walk a core, each
# on a share of the root's subfolders, the limit of the cores), the engine
# without and with read-ahead (bench_walk), the window from the Start press to
# "Done." (bench_window --once, offscreen), find, fd, fd -j1 and fd -j16. All must find
# the same folders, the engine and the window in the same order. Each tool runs
# once untimed (the check, and a warm-up), then $BENCH_RUNS times (default 5,
# at least 3 on trees over 200,000 folders), interleaved so that a change in the
# machine's load falls on all alike. The script prints the median times, their
# spread and ratios, and whether the targets are met. Trees of $BENCH_SIZES
# folders (default "200000 1000000"; the larger needs about 5 GB of disk) are
# made once under /tmp and reused. Last, the memory of a million rows in the
# window's results list.
set -euo pipefail
cd "$(dirname "$0")/.."

cold=${BENCH_COLD:-0}
for argument in "$@"; do
  case $argument in
    --cold) cold=1 ;;
    *) echo "usage: $0 [--cold]" >&2; exit 2 ;;
  esac
done

scripts/install-deps.sh fd-find
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DOSTLEBRY_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build_dir" --target make_tree plain_walk bench_walk bench_window
bin=$build_dir/bench
runs=${BENCH_RUNS:-5}
sizes=${BENCH_SIZES:-200000 1000000}
phrase=alpha
status=0
found=0

# Writes dirty pages out, then drops the page cache, dentries and inodes.
drop_caches() {
  sync
  echo 3 >/proc/sys/vm/drop_caches
}

if [ "$cold" = 1 ] && ! { [ -w /proc/sys/vm/drop_caches ] && drop_caches 2>/dev/null; }; then
  echo "COLD MODE IS NOT AVAILABLE: this machine does not let $(id -un) drop the caches"
  echo "(/proc/sys/vm/drop_caches needs root, outside a container that hides it)."
  echo "The figures below are WARM, and are checked against the warm targets."
  cold=0
fi
if [ "$cold" = 1 ]; then cache=cold; else cache=warm; fi

cores=$(nproc)
tools=(plain plainall engine1 engine window find fd fd1 fd16)
declare -A label=([plain]="plain walk, one thread" [plainall]="plain walk, $cores threads"
  [engine1]="engine, no read-ahead"
  [engine]="engine, read-ahead" [window]="window Start->Done." [find]=find [fd]=fd
  [fd1]="fd -j1" [fd16]="fd -j16")

# Runs one tool on $tree; its rows go to stdout, one a line.
run_tool() {
  case $1 in
    plain) "$bin/plain_walk" "$tree" "$phrase" --print ;;
    plainall) "$bin/plain_walk" "$tree" "$phrase" --print --threads "$cores" ;;
    engine1) OSTLEBRY_READAHEAD=0 "$bin/bench_walk" "$tree" "$phrase" --print ;;
    engine) OSTLEBRY_READAHEAD=1 "$bin/bench_walk" "$tree" "$phrase" --print ;;
    window) OSTLEBRY_READAHEAD=1 "$bin/bench_window" "$tree" "$phrase" --once --print ;;
    find) find "$tree" -mindepth 1 -type d -iname "*$phrase*" ;;
    fd) fdfind -H -I -F -t d -i "$phrase" "$tree" ;;
    fd1) fdfind -j1 -H -I -F -t d -i "$phrase" "$tree" ;;
    fd16) fdfind -j16 -H -I -F -t d -i "$phrase" "$tree" ;;
  esac
}

# How often anyone has dropped the caches since the machine started.
drops() { awk '/^drop_(pagecache|slab) / { n += $2 } END { print n + 0 }' /proc/vmstat; }

# One timed run of a tool: "wall-ms processor-ms rows". The window times itself
# from the Start press to the "Done." box; the others are timed as whole
# processes, with the count of their rows.
time_tool() {
  if [ "$1" = window ]; then
    run_tool window 2>&1 >/dev/null |
      awk '/^start to done/ { gsub(",", ""); printf "%d %d %d\n", $4, $7, $10 }'
  else
    local TIMEFORMAT='%R %U %S' output
    output=$({ time run_tool "$1" 2>/dev/null | wc -l; } 2>&1)
    awk 'NR == 1 { rows = $1 } NR == 2 { printf "%d %d %d\n", $1 * 1000, ($2 + $3) * 1000, rows }' <<<"$output"
  fi
}

median() { tr ' ' '\n' | grep . | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
spread() { tr ' ' '\n' | grep . | sort -n | awk 'NR == 1 { low = $1 } { high = $1 } END { print low "-" high }'; }
loadavg() { cut -d' ' -f1-3 /proc/loadavg; }

# Runs every tool once, untimed, and checks that all find the same folders;
# sets $found to their number.
check_tools() {
  local expected=$1 scratch key
  scratch=$(mktemp -d)
  for key in "${tools[@]}"; do
    run_tool "$key" 2>/dev/null | sed 's:/$::' >"$scratch/$key"
  done
  found=$(wc -l <"$scratch/plain")
  echo "$found matches (the tree's statistics: $expected)"
  [ "$found" -eq "$expected" ] || { echo "MISMATCH: the plain walk found $found, not $expected"; status=1; }
  for key in engine window; do
    if ! cmp -s "$scratch/engine1" "$scratch/$key"; then
      echo "MISMATCH: ${label[$key]} and ${label[engine1]} differ in rows or order:"
      diff "$scratch/engine1" "$scratch/$key" | head -10
      status=1
    fi
  done
  sort "$scratch/plain" >"$scratch/reference"
  for key in "${tools[@]}"; do
    if ! sort "$scratch/$key" | cmp -s "$scratch/reference" -; then
      echo "MISMATCH: ${label[$key]} and the plain walk found different folders:"
      sort "$scratch/$key" | diff "$scratch/reference" - | head -10
      status=1
    fi
  done
  rm -rf "$scratch"
}

# Prints one ratio; with a limit, the target and whether it is met.
ratio() {
  awk -v name="$1" -v a="$2" -v b="$3" -v limit="${4:-}" 'BEGIN {
    printf "  %-44s %5.2f", name, a / b
    if (limit != "")
      printf "  (target <= %.2f) %s", limit, a / b <= limit ? "met" : "NOT MET"
    printf "\n"
  }'
}

bench_tree() {
  local folders=$1 tree=$2 tree_runs=$runs
  if [ "$folders" -gt 200000 ] && [ "$tree_runs" -lt 3 ]; then tree_runs=3; fi
  # The tree is made once and reused; its statistics sit beside it.
  if [ ! -f "$tree.stats" ]; then
    rm -rf "$tree"
    echo "Making $folders folders under $tree ..."
    "$bin/make_tree" "$tree" "$folders" >"$tree.stats.new"
    mv "$tree.stats.new" "$tree.stats"
  fi
  # Written out before any timing, so that no run competes with writing it back.
  sync
  local expected
  expected=$(awk '/^matches-ignoring-case/ { print $2 }' "$tree.stats")

  echo
  echo "Folder walk, $cache cache, tree $tree ($folders folders), phrase \"$phrase\" ignoring case:"
  local seen
  seen=$(drops)
  check_tools "$expected"

  local -A walls cpus
  local key wall cpu rows load_before before attempt redone=0 tainted=0
  load_before=$(loadavg)
  for _ in $(seq "$tree_runs"); do
    for key in "${tools[@]}"; do
      # On a shared machine another process may drop the caches, which makes
      # the next warm runs cold ones: the tool warms them again, untimed, and
      # a run during which they were dropped is made again.
      for attempt in 1 2 3; do
        if [ "$cold" = 1 ]; then
          drop_caches
        elif [ "$(drops)" != "$seen" ]; then
          run_tool "$key" >/dev/null 2>&1 || true
          seen=$(drops)
        fi
        before=$(drops)
        read -r wall cpu rows < <(time_tool "$key") || { echo "FAILED: ${label[$key]}"; status=1; return; }
        if [ "$rows" != "$found" ]; then
          echo "MISMATCH: ${label[$key]} found $rows folders in a timed run, not $found"
          status=1
        fi
        if [ "$cold" = 1 ] || [ "$(drops)" = "$before" ]; then break; fi
        if [ "$attempt" = 3 ]; then tainted=$((tainted + 1)); else redone=$((redone + 1)); fi
      done
      walls[$key]+=" $wall"
      cpus[$key]+=" $cpu"
    done
  done
  if [ "$redone" -gt 0 ]; then
    echo "$redone warm run(s) made again: another process dropped the caches during them."
  fi
  if [ "$tainted" -gt 0 ]; then
    echo "WARNING: $tainted run(s) below met dropped caches three times over and are not warm."
  fi

  local -A wall_ms cpu_ms
  echo "Median of $tree_runs runs$([ "$cold" = 1 ] && echo ', caches dropped before each'):"
  printf '  %-24s %8s %10s %14s %9s\n' "" wall processor "wall range" "wall/plain"
  for key in "${tools[@]}"; do
    wall_ms[$key]=$(median <<<"${walls[$key]}")
    cpu_ms[$key]=$(median <<<"${cpus[$key]}")
    printf '  %-24s %5d ms %7d ms %14s %9s\n' "${label[$key]}" "${wall_ms[$key]}" "${cpu_ms[$key]}" \
      "$(spread <<<"${walls[$key]}")" "$(awk -v a="${wall_ms[$key]}" -v b="${wall_ms[plain]}" 'BEGIN { printf "%.2f", a / b }')"
  done
  echo "  (whole processes, except the window: from the Start press to the \"Done.\" box)"
  echo "Ratios, wall clock:"
  ratio "window / fd" "${wall_ms[window]}" "${wall_ms[fd]}"
  ratio "window / plain walk on every core" "${wall_ms[window]}" "${wall_ms[plainall]}"
  ratio "window / fd -j16" "${wall_ms[window]}" "${wall_ms[fd16]}"
  ratio "window / engine, read-ahead" "${wall_ms[window]}" "${wall_ms[engine]}"
  ratio "engine, read-ahead / no read-ahead" "${wall_ms[engine]}" "${wall_ms[engine1]}"
  echo "Ratios, processor time:"
  ratio "engine, read-ahead / plain walk" "${cpu_ms[engine]}" "${cpu_ms[plain]}"
  # What sharing the walk between the cores costs by itself, with no hand-over at all.
  ratio "plain walk on every core / on one" "${cpu_ms[plainall]}" "${cpu_ms[plain]}"
  ratio "engine, read-ahead / plain walk on every core" "${cpu_ms[engine]}" "${cpu_ms[plainall]}"
  echo "Targets ($cache, $folders folders):"
  if [ "$cache" = cold ] && [ "$folders" = 200000 ]; then
    ratio "window / fd -j16" "${wall_ms[window]}" "${wall_ms[fd16]}" 1.0
    ratio "window / fd" "${wall_ms[window]}" "${wall_ms[fd]}" 0.5
  elif [ "$cache" = warm ] && [ "$folders" = 200000 ]; then
    ratio "window / plain walk" "${wall_ms[window]}" "${wall_ms[plain]}" 0.65
    ratio "window / fd" "${wall_ms[window]}" "${wall_ms[fd]}" 0.8
    ratio "engine, read-ahead / plain walk, processor" "${cpu_ms[engine]}" "${cpu_ms[plain]}" 1.15
  elif [ "$cache" = warm ] && [ "$folders" = 1000000 ]; then
    ratio "window / fd" "${wall_ms[window]}" "${wall_ms[fd]}" 0.8
  else
    echo "  none set"
  fi
  echo "Load average before: $load_before, after: $(loadavg); cores: $cores"
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
"$bin/bench_window" --fill 1000000 2>/dev/null || status=1
exit $status
