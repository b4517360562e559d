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
#
#   scripts/bench.sh --share DELAY
#                               the same walks on an emulated network share
#                               (bench/share_fs, FUSE): every lookup, attribute
#                               read, folder open and listing answered after
#                               DELAY ms (0.5 a LAN, 2-10 a VPN), at most
#                               $BENCH_SHARE_SLOTS (default 64) at once, mounted
#                               afresh for every single run. Trees of
#                               $BENCH_SIZES folders (default 20000). Prints each
#                               tool's round trips beside its time, and the
#                               share's limit: the plain walk's round trips x
#                               DELAY / slots, the time of a walk that kept every
#                               slot busy. Last, Stop to "Done." in the window.
#                               The tools that wait on one call at a time (the
#                               plain walk, find, fd) are timed once, in the check:
#                               at 10 ms each takes minutes.
#
# The folder index: "window" and the engine are timed as they were before it
# (OSTLEBRY_INDEX=0); the window is timed with the index three more ways:
# "first", the first search with no index yet (its cache folder emptied before
# each run); "memory", a second search in the same process (bench_window
# --repeat 2; with --cold the caches are dropped between the two); "disk", a
# new process that finds the index the run before left in its cache folder
# (each run's own, under a scratch XDG_CACHE_HOME). On the share the index is
# forced on (OSTLEBRY_INDEX=everywhere): FUSE is not among the file systems it
# relies on by itself. Last, on the largest tree, the index's memory and file.
#
# BENCH_TOOLS chooses some of the tools, e.g. "engine window fd64"; the plain
# walk is always run, the yardstick of both modes.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: $0 [--cold | --share DELAY-MS]" >&2; exit 2; }
cold=${BENCH_COLD:-0}
share_delay=
while [ $# -gt 0 ]; do
  case $1 in
    --cold) cold=1 ;;
    --share)
      if [ $# -lt 2 ] || ! [[ $2 =~ ^[0-9]+(\.[0-9]+)?$ ]]; then usage; fi
      share_delay=$2
      shift
      ;;
    *) usage ;;
  esac
  shift
done

targets=(make_tree plain_walk bench_walk bench_window)
if [ -n "$share_delay" ]; then
  # The share needs libfuse 3 to build and fusermount3 to unmount as any user.
  scripts/install-deps.sh fd-find pkg-config libfuse3-dev fuse3
  targets+=(share_fs)
else
  scripts/install-deps.sh fd-find
fi
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DOSTLEBRY_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build_dir" --target "${targets[@]}"
bin=$build_dir/bench
runs=${BENCH_RUNS:-5}
if [ -n "$share_delay" ]; then
  sizes=${BENCH_SIZES:-20000}
else
  sizes=${BENCH_SIZES:-200000 1000000}
fi
phrase=alpha
status=0
found=0
# The index's cache folders, one a tool, for this run alone.
cache_home=$(mktemp -d /tmp/ostlebry-bench-cache.XXXXXX)
cleanup() {
  if [ -n "${share_mount:-}" ] && [ -d "$share_mount" ]; then forget_share; fi
  rm -rf "$cache_home"
}
trap cleanup EXIT

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
share_slots=${BENCH_SHARE_SLOTS:-64}
declare -A label=([plain]="plain walk, one thread" [plainall]="plain walk, $cores threads"
  [engine1]="engine, no read-ahead"
  [engine]="engine, read-ahead" [window]="window Start->Done." [find]=find [fd]=fd
  [fd1]="fd -j1" [fd16]="fd -j16" [fd64]="fd -j64"
  [first]="window, index: first search" [memory]="window, index: repeat in memory"
  [disk]="window, index: repeat from disk")
if [ -n "$share_delay" ]; then
  [ "$cold" = 0 ] || { echo "--cold and --share do not go together" >&2; exit 2; }
  tools=(engine window first memory disk plain fd fd16 fd64 find)
  # Timed in the check alone: the plain walk and find wait on one call at a
  # time, fd on two.
  once=(plain find fd)
  # The first of these finds the rows in the order the others must keep.
  ordered=(engine window first memory disk)
  # The engine and the window read ahead as the program chooses by itself.
  readahead=
  label[engine]="engine, default read-ahead"
  index_reach=everywhere
else
  tools=(plain plainall engine1 engine window first memory disk find fd fd1 fd16)
  once=()
  ordered=(engine1 engine window first memory disk)
  readahead=1
  index_reach=
fi

if [ -n "${BENCH_TOOLS:-}" ]; then
  chosen=(plain)
  for key in $BENCH_TOOLS; do
    if [ -z "${label[$key]:-}" ] || ! [[ " ${tools[*]} " == *" $key "* ]]; then
      echo "BENCH_TOOLS: no tool \"$key\" here; the tools: ${tools[*]}" >&2
      exit 2
    fi
    if [ "$key" != plain ]; then chosen+=("$key"); fi
  done
  tools=("${chosen[@]}")
  kept=()
  for key in "${ordered[@]}"; do
    if [[ " ${tools[*]} " == *" $key "* ]]; then kept+=("$key"); fi
  done
  ordered=("${kept[@]}")
fi
timed_once() { [[ " ${once[*]} " == *" $1 "* ]]; }

# Runs one tool on $root; its rows go to stdout, one a line.
run_tool() {
  case $1 in
    plain) "$bin/plain_walk" "$root" "$phrase" --print ;;
    plainall) "$bin/plain_walk" "$root" "$phrase" --print --threads "$cores" ;;
    engine1) OSTLEBRY_INDEX=0 OSTLEBRY_READAHEAD=0 "$bin/bench_walk" "$root" "$phrase" --print ;;
    engine) OSTLEBRY_INDEX=0 OSTLEBRY_READAHEAD=$readahead "$bin/bench_walk" "$root" "$phrase" --print ;;
    window) OSTLEBRY_INDEX=0 OSTLEBRY_READAHEAD=$readahead "$bin/bench_window" "$root" "$phrase" --once --print ;;
    first | memory | disk)
      local repeat=1 drop=()
      if [ "$1" = memory ]; then repeat=2; fi
      if [ "$1" = memory ] && [ "$cold" = 1 ]; then drop=(--drop-caches); fi
      # A first search, and a repeat in memory, start with no index at all.
      if [ "$1" != disk ]; then rm -rf "${cache_home:?}/$1"; fi
      XDG_CACHE_HOME="$cache_home/$1" OSTLEBRY_INDEX=$index_reach OSTLEBRY_READAHEAD=$readahead \
        "$bin/bench_window" "$root" "$phrase" --once --print --repeat "$repeat" "${drop[@]}"
      ;;
    find) find "$root" -mindepth 1 -type d -iname "*$phrase*" ;;
    fd) fdfind -H -I -F -t d -i "$phrase" "$root" ;;
    fd1) fdfind -j1 -H -I -F -t d -i "$phrase" "$root" ;;
    fd16) fdfind -j16 -H -I -F -t d -i "$phrase" "$root" ;;
    fd64) fdfind -j64 -H -I -F -t d -i "$phrase" "$root" ;;
  esac
}

# The emulated share of $tree at $share_mount, mounted afresh for every run so
# that no run finds names or attributes the one before left in the kernel.
share_mount=
share_pid=
share_trips=
share_peak=
share_kinds=
is_mounted() { awk -v at="$share_mount" '$2 == at { found = 1 } END { exit !found }' /proc/self/mounts; }
mount_share() {
  rm -f "$share_mount.counts"
  "$bin/share_fs" "$tree" "$share_mount" --delay "$share_delay" --slots "$share_slots" \
    --counts "$share_mount.counts" 2>"$share_mount.log" &
  share_pid=$!
  for _ in $(seq 500); do
    if is_mounted; then return; fi
    kill -0 "$share_pid" 2>/dev/null || break
    sleep 0.01
  done
  echo "FAILED: the share did not mount on $share_mount:"
  cat "$share_mount.log"
  exit 1
}
# Unmounts the share; sets $share_trips to the round trips it answered,
# $share_peak to the most it had in flight at once and $share_kinds to them by kind.
unmount_share() {
  for _ in 1 2 3 4 5; do
    fusermount3 -u "$share_mount" 2>/dev/null && break
    sleep 0.2
  done
  if is_mounted; then umount -l "$share_mount"; fi
  wait "$share_pid" || true
  share_pid=
  if ! read -r _ share_trips _ _ _ _ _ _ _ _ _ share_peak <"$share_mount.counts"; then
    echo "FAILED: the share ended without counting its round trips:"
    cat "$share_mount.log"
    exit 1
  fi
  share_kinds=$(cut -d' ' -f3-10 "$share_mount.counts")
}
forget_share() {
  if [ -n "$share_pid" ]; then unmount_share; fi
  rm -f "$share_mount.counts" "$share_mount.log"
  rmdir "$share_mount"
}
# What every single run needs before and after it: on a share, a fresh mount.
before_run() { if [ -n "$share_delay" ]; then mount_share; fi; }
after_run() { if [ -n "$share_delay" ]; then unmount_share; fi; }

# How often anyone has dropped the caches since the machine started.
drops() { awk '/^drop_(pagecache|slab) / { n += $2 } END { print n + 0 }' /proc/vmstat; }

# One timed run of a tool: "wall-ms processor-ms rows". The window times itself
# from the Start press to the "Done." box; the others are timed as whole
# processes, with the count of their rows.
time_tool() {
  if [[ " window first memory disk " == *" $1 "* ]]; then
    # The last search's line: with --repeat, the repeat's.
    run_tool "$1" 2>&1 >/dev/null |
      awk '/^start to done/ { gsub(",", ""); line = sprintf("%d %d %d\n", $4, $7, $10) } END { printf "%s", line }'
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
  local TIMEFORMAT='%R %U %S' times
  for key in "${tools[@]}"; do
    before_run
    times=$({ time run_tool "$key" 2>/dev/null | sed 's:/$::' >"$scratch/$key"; } 2>&1)
    after_run
    if timed_once "$key"; then
      walls[$key]=$(awk '{ printf "%d", $1 * 1000 }' <<<"$times")
      cpus[$key]=$(awk '{ printf "%d", ($2 + $3) * 1000 }' <<<"$times")
      trips[$key]=$share_trips
      peaks[$key]=$share_peak
      kinds[$key]=$share_kinds
    fi
  done
  found=$(wc -l <"$scratch/plain")
  echo "$found matches (the tree's statistics: $expected)"
  [ "$found" -eq "$expected" ] || { echo "MISMATCH: the plain walk found $found, not $expected"; status=1; }
  for key in "${ordered[@]:1}"; do
    if ! cmp -s "$scratch/${ordered[0]}" "$scratch/$key"; then
      echo "MISMATCH: ${label[$key]} and ${label[${ordered[0]}]} differ in rows or order:"
      diff "$scratch/${ordered[0]}" "$scratch/$key" | head -10
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

# Prints one ratio; with a limit, the target and whether it is met: at most
# the limit, or with "at-least" at least.
ratio() {
  if [ -z "$2" ] || [ -z "$3" ]; then
    printf "  %-44s   n/a  (not run: BENCH_TOOLS)\n" "$1"
    return
  fi
  awk -v name="$1" -v a="$2" -v b="$3" -v limit="${4:-}" -v at_least="${5:-}" 'BEGIN {
    printf "  %-44s %5.2f", name, a / b
    if (limit != "") {
      met = at_least != "" ? a / b >= limit : a / b <= limit
      printf "  (target %s %.2f) %s", at_least != "" ? ">=" : "<=", limit, met ? "met" : "NOT MET"
    }
    printf "\n"
  }'
}

# Makes the tree of $1 folders at $2 once, to be reused, with its statistics
# beside it; sets $expected to its matches.
make_tree_once() {
  local folders=$1 tree=$2
  if [ ! -f "$tree.stats" ]; then
    rm -rf "$tree"
    echo "Making $folders folders under $tree ..."
    "$bin/make_tree" "$tree" "$folders" >"$tree.stats.new"
    mv "$tree.stats.new" "$tree.stats"
  fi
  # Written out before any timing, so that no run competes with writing it back.
  sync
  expected=$(awk '/^matches-ignoring-case/ { print $2 }' "$tree.stats")
}

# Times every tool $tree_runs times, interleaved so that a change in the
# machine's load falls on all alike, and adds each run's wall and processor
# milliseconds to walls and cpus, and on a share its round trips to trips,
# the most in flight to peaks and the round trips by kind to kinds (the last
# run's; the caller's arrays, as are $seen, the cache drops counted before the
# check, and $failed, set when a tool failed and the rounds were given up).
time_rounds() {
  local key wall cpu rows before attempt redone=0 tainted=0
  for _ in $(seq "$tree_runs"); do
    for key in "${tools[@]}"; do
      if timed_once "$key"; then continue; fi
      # On a shared machine another process may drop the caches, which makes
      # the next warm runs cold ones: the tool warms them again, untimed, and
      # a run during which they were dropped is made again. A share waits so
      # much longer than the disk that it does not matter there.
      for attempt in 1 2 3; do
        if [ "$cold" = 1 ]; then
          drop_caches
        elif [ -z "$share_delay" ] && [ "$(drops)" != "$seen" ]; then
          run_tool "$key" >/dev/null 2>&1 || true
          seen=$(drops)
        fi
        before=$(drops)
        before_run
        if ! read -r wall cpu rows < <(time_tool "$key"); then
          after_run
          echo "FAILED: ${label[$key]}"
          status=1
          failed=1
          return
        fi
        after_run
        if [ "$rows" != "$found" ]; then
          echo "MISMATCH: ${label[$key]} found $rows folders in a timed run, not $found"
          status=1
        fi
        if [ "$cold" = 1 ] || [ -n "$share_delay" ] || [ "$(drops)" = "$before" ]; then break; fi
        if [ "$attempt" = 3 ]; then tainted=$((tainted + 1)); else redone=$((redone + 1)); fi
      done
      walls[$key]+=" $wall"
      cpus[$key]+=" $cpu"
      trips[$key]+=" $share_trips"
      peaks[$key]+=" $share_peak"
      kinds[$key]=$share_kinds
    done
  done
  if [ "$redone" -gt 0 ]; then
    echo "$redone warm run(s) made again: another process dropped the caches during them."
  fi
  if [ "$tainted" -gt 0 ]; then
    echo "WARNING: $tainted run(s) below met dropped caches three times over and are not warm."
  fi
}

# Prints the medians of walls and cpus, and on a share of trips, one tool a
# line; sets wall_ms, cpu_ms and trip_count (the caller's arrays) to them.
print_medians() {
  local key header
  local width=33
  header=$(printf "  %-${width}s %8s %10s %14s %9s" "" wall processor "wall range" "wall/plain")
  if [ -n "$share_delay" ]; then
    header+=$(printf ' %11s %12s %14s %12s %10s' "limit/wall" "round trips" "trips range" "trips/plain" \
      "in flight")
  fi
  echo "$header"
  for key in "${tools[@]}"; do
    wall_ms[$key]=$(median <<<"${walls[$key]}")
    cpu_ms[$key]=$(median <<<"${cpus[$key]}")
    if [ -n "$share_delay" ]; then trip_count[$key]=$(median <<<"${trips[$key]}"); fi
  done
  for key in "${tools[@]}"; do
    printf "  %-${width}s %5d ms %7d ms %14s %9s" "${label[$key]}" "${wall_ms[$key]}" "${cpu_ms[$key]}" \
      "$(spread <<<"${walls[$key]}")" "$(awk -v a="${wall_ms[$key]}" -v b="${wall_ms[plain]}" 'BEGIN { printf "%.2f", a / b }')"
    if [ -n "$share_delay" ]; then
      awk -v limit="$share_limit_ms" -v wall="${wall_ms[$key]}" -v n="${trip_count[$key]}" \
        -v plain="${trip_count[plain]}" -v range="$(spread <<<"${trips[$key]}")" \
        -v peak="$(median <<<"${peaks[$key]}")" \
        'BEGIN { printf " %11.2f %12d %14s %12.3f %10d", limit / wall, n, range, n / plain, peak }'
    fi
    printf '\n'
  done
}

bench_tree() {
  local folders=$1 tree=$2 tree_runs=$runs root=$2 expected
  if [ "$folders" -gt 200000 ] && [ "$tree_runs" -lt 3 ]; then tree_runs=3; fi
  make_tree_once "$folders" "$tree"

  echo
  echo "Folder walk, $cache cache, tree $tree ($folders folders), phrase \"$phrase\" ignoring case:"
  local seen load_before
  seen=$(drops)
  local -A walls cpus trips peaks kinds
  check_tools "$expected"
  load_before=$(loadavg)
  local failed=0
  time_rounds
  if [ "$failed" = 1 ]; then return; fi

  local -A wall_ms cpu_ms trip_count
  echo "Median of $tree_runs runs$([ "$cold" = 1 ] && echo ', caches dropped before each'):"
  print_medians
  echo "  (whole processes, except the window: from the Start press to the \"Done.\" box)"
  echo "Ratios, wall clock:"
  ratio "window / fd" "${wall_ms[window]:-}" "${wall_ms[fd]:-}"
  ratio "window / plain walk on every core" "${wall_ms[window]:-}" "${wall_ms[plainall]:-}"
  ratio "window / fd -j16" "${wall_ms[window]:-}" "${wall_ms[fd16]:-}"
  ratio "window / engine, read-ahead" "${wall_ms[window]:-}" "${wall_ms[engine]:-}"
  ratio "engine, read-ahead / no read-ahead" "${wall_ms[engine]:-}" "${wall_ms[engine1]:-}"
  echo "Ratios, processor time:"
  ratio "engine, read-ahead / plain walk" "${cpu_ms[engine]:-}" "${cpu_ms[plain]:-}"
  # What sharing the walk between the cores costs by itself, with no hand-over at all.
  ratio "plain walk on every core / on one" "${cpu_ms[plainall]:-}" "${cpu_ms[plain]:-}"
  ratio "engine, read-ahead / plain walk on every core" "${cpu_ms[engine]:-}" "${cpu_ms[plainall]:-}"
  echo "Targets ($cache, $folders folders):"
  if [ "$cache" = cold ] && [ "$folders" = 200000 ]; then
    ratio "window / fd -j16" "${wall_ms[window]:-}" "${wall_ms[fd16]:-}" 0.8
    ratio "window / fd" "${wall_ms[window]:-}" "${wall_ms[fd]:-}" 0.5
  elif [ "$cache" = warm ] && [ "$folders" = 200000 ]; then
    ratio "window / plain walk" "${wall_ms[window]:-}" "${wall_ms[plain]:-}" 0.65
    ratio "window / fd" "${wall_ms[window]:-}" "${wall_ms[fd]:-}" 0.8
    ratio "engine, read-ahead / plain walk, processor" "${cpu_ms[engine]:-}" "${cpu_ms[plain]:-}" 1.15
    # The read-ahead tuned for shares must cost a local disk nothing.
    ratio "window / plain walk on every core" "${wall_ms[window]:-}" "${wall_ms[plainall]:-}" 1.0
    ratio "engine / plain walk on every core, processor" "${cpu_ms[engine]:-}" "${cpu_ms[plainall]:-}" 1.1
  elif [ "$cache" = warm ] && [ "$folders" = 1000000 ]; then
    ratio "window / fd" "${wall_ms[window]:-}" "${wall_ms[fd]:-}" 0.8
  else
    echo "  none set"
  fi
  index_targets "$folders"
  echo "Load average before: $load_before, after: $(loadavg); cores: $cores"
  index_memory
}

# The folder index's targets, against its first search and the window without it.
index_targets() {
  echo "Targets of the folder index ($cache, $1 folders):"
  if [ "$cache" = warm ] && [ "$1" = 200000 ]; then
    ratio "index: repeat in memory / first search" "${wall_ms[memory]:-}" "${wall_ms[first]:-}" 0.4
    ratio "index: repeat from disk / first search" "${wall_ms[disk]:-}" "${wall_ms[first]:-}" 0.5
  elif [ "$cache" = cold ] && [ "$1" = 200000 ]; then
    ratio "index: repeat from disk / window without it" "${wall_ms[disk]:-}" "${wall_ms[window]:-}" 0.5
  fi
  ratio "index: first search / window without it" "${wall_ms[first]:-}" "${wall_ms[window]:-}" 1.05
  if [ "$cache" = cold ] && [ "$1" != 200000 ]; then
    ratio "index: repeat from disk / window without it" "${wall_ms[disk]:-}" "${wall_ms[window]:-}"
  fi
  if [ "$cache" = warm ] && [ "$1" != 200000 ]; then
    ratio "index: repeat in memory / first search" "${wall_ms[memory]:-}" "${wall_ms[first]:-}"
    ratio "index: repeat from disk / first search" "${wall_ms[disk]:-}" "${wall_ms[first]:-}"
  fi
}

# What the index of $root holds: the engine searches twice with a fresh cache
# folder, and says what its index takes in memory and on disk, and its peak
# against that of a search without the index.
index_memory() {
  local with without
  with=$(XDG_CACHE_HOME="$cache_home/memory-check" "$bin/bench_walk" "$root" "$phrase" --repeat 2 2>&1 |
    grep '^peak memory')
  without=$(OSTLEBRY_INDEX=0 "$bin/bench_walk" "$root" "$phrase" 2>&1 | grep '^peak memory')
  rm -rf "$cache_home/memory-check"
  echo "The folder index of $root ($folders folders):"
  echo "  with the index, two searches: $with"
  echo "  without it, one search: $without"
  awk -v with="$with" -v without="$without" -v folders="$folders" 'BEGIN {
    split(with, a, " "); split(without, b, " ")
    index_mb = a[8]; peak_with = a[3]; peak_without = b[3]; file_mb = a[12]
    printf "  index in memory %.1f MB (%.0f bytes a folder), cache file %.1f MB, peak +%.1f MB\n", index_mb, index_mb * 1e6 / folders, file_mb, peak_with - peak_without
    if (folders >= 1000000) {
      printf "  index memory for %d folders: %.1f MB (target <= 100 MB) %s\n", folders, index_mb * 1000000 / folders, index_mb * 1000000 / folders <= 100 ? "met" : "NOT MET"
    }
  }'
}

# The same walks on the emulated share: times, round trips, and the share's
# limit, the time of a walk that keeps every slot busy with the plain walk's
# round trips.
bench_share() {
  local folders=$1 tree=$2 tree_runs=$runs root expected
  make_tree_once "$folders" "$tree"
  share_mount=$(mktemp -d /tmp/ostlebry-share.XXXXXX)
  root=$share_mount

  echo
  echo "Folder walk on a share of $tree ($folders folders): $share_delay ms a round trip," \
    "$share_slots at once; phrase \"$phrase\" ignoring case:"
  local seen load_before
  local -A walls cpus trips peaks kinds
  check_tools "$expected"
  load_before=$(loadavg)
  local failed=0
  time_rounds
  if [ "$failed" = 1 ]; then return; fi

  local -A wall_ms cpu_ms trip_count
  local share_limit_ms key
  # print_medians shows each tool's time as a share of the limit, which
  # needs the plain walk's round trips first.
  trip_count[plain]=$(median <<<"${trips[plain]}")
  share_limit_ms=$(awk -v n="${trip_count[plain]}" -v d="$share_delay" -v s="$share_slots" 'BEGIN { print n * d / s }')
  echo "Median of $tree_runs runs, the share mounted afresh for each (${once[*]}: one run, the check):"
  print_medians
  echo "  (whole processes, except the window: from the Start press to the \"Done.\" box;"
  echo "  in flight: the most round trips the share was answering at once, median)"
  echo "Round trips by kind, last run:"
  for key in "${tools[@]}"; do
    printf "  %-33s %s\n" "${label[$key]}" "${kinds[$key]}"
  done
  printf "The share's limit: %d round trips x %s ms / %d slots = %.0f ms\n" \
    "${trip_count[plain]}" "$share_delay" "$share_slots" "$share_limit_ms"
  echo "Ratios, wall clock:"
  ratio "window / fd -j64" "${wall_ms[window]:-}" "${wall_ms[fd64]:-}"
  ratio "window / fd -j16" "${wall_ms[window]:-}" "${wall_ms[fd16]:-}"
  ratio "window / fd" "${wall_ms[window]:-}" "${wall_ms[fd]:-}"
  ratio "window / engine" "${wall_ms[window]:-}" "${wall_ms[engine]:-}"
  echo "Targets ($share_delay ms a round trip, $folders folders):"
  if awk -v d="$share_delay" 'BEGIN { exit !(d == 2 || d == 10) }'; then
    ratio "window / fd -j64" "${wall_ms[window]:-}" "${wall_ms[fd64]:-}" 0.7
    ratio "share's limit / window" "$share_limit_ms" "${wall_ms[window]:-}" 0.8 at-least
  elif awk -v d="$share_delay" 'BEGIN { exit !(d == 0.5) }'; then
    ratio "window / fd -j64" "${wall_ms[window]:-}" "${wall_ms[fd64]:-}" 0.8
  fi
  ratio "engine / plain walk, round trips" "${trip_count[engine]:-}" "${trip_count[plain]:-}" 1.02
  echo "Targets of the folder index ($share_delay ms a round trip, $folders folders):"
  ratio "index: repeat in memory / first search" "${wall_ms[memory]:-}" "${wall_ms[first]:-}" 0.4
  ratio "index: repeat from disk / first search" "${wall_ms[disk]:-}" "${wall_ms[first]:-}" 0.4
  ratio "index: repeat from disk / plain walk, round trips" "${trip_count[disk]:-}" \
    "${trip_count[plain]:-}" 0.4
  ratio "index: first search / window without it" "${wall_ms[first]:-}" "${wall_ms[window]:-}" 1.05
  echo "  (the repeat in memory's round trips count both of its searches)"
  echo "Load average before: $load_before, after: $(loadavg); cores: $cores"

  # How long the window takes to stop a search that waits on the share.
  local stop_after=${BENCH_STOP_AFTER:-1000} stopped
  before_run
  stopped=$(OSTLEBRY_READAHEAD=$readahead "$bin/bench_window" "$root" "$phrase" --once \
    --stop-after "$stop_after" 2>&1 >/dev/null | grep -o 'Stop to "Done." [0-9.]* ms' || true)
  after_run
  echo "Stop pressed $stop_after ms after Start: ${stopped:-the search ended before Stop}" \
    "($share_trips round trips)"
  forget_share
  share_mount=
}

for folders in $sizes; do
  # BENCH_TREE_<folders> (or BENCH_TREE for 200,000) names a tree made elsewhere.
  named=BENCH_TREE_$folders
  if [ "$folders" = 200000 ]; then
    tree=${!named:-${BENCH_TREE:-/tmp/ostlebry-bench-tree}}
  else
    tree=${!named:-/tmp/ostlebry-bench-tree-$folders}
  fi
  if [ -n "$share_delay" ]; then
    bench_share "$folders" "$tree"
  else
    bench_tree "$folders" "$tree"
  fi
done

if [ -z "$share_delay" ]; then
  echo
  "$bin/bench_window" --fill 1000000 2>/dev/null || status=1
fi
exit $status
