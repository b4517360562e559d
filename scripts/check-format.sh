#!/usr/bin/env bash
# Checks that the C++ sources changed since a base commit are formatted as
# .clang-format says; shows the difference and fails otherwise.
#
#   scripts/check-format.sh [BASE]
#
# BASE defaults to the last commit listed in .git-blame-ignore-revs, the one
# that formatted the whole tree: every file changed since then (committed or
# not) is checked. Where that commit is missing (a shallow clone), every
# tracked source is checked. `clang-format -i FILE` fixes a file.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || scripts/install-deps.sh clang-format

folders=(search results shell presentation platform tests bench tools fuzz)
patterns=()
for folder in "${folders[@]}"; do patterns+=("$folder/*.cpp" "$folder/*.h"); done

base=${1:-}
if [ -z "$base" ] && [ -f .git-blame-ignore-revs ]; then
  base=$(grep -E '^[0-9a-f]{40}' .git-blame-ignore-revs | tail -n 1 | cut -c1-40 || true)
fi
if [ -n "$base" ] && git cat-file -e "$base^{commit}" 2>/dev/null; then
  mapfile -t files < <(git diff --name-only --diff-filter=d "$base" -- "${patterns[@]}")
  echo "check-format: ${#files[@]} source file(s) changed since ${base:0:12}"
else
  [ -n "${1:-}" ] && { echo "check-format: no commit $1" >&2; exit 2; }
  mapfile -t files < <(git ls-files -- "${patterns[@]}")
  echo "check-format: all ${#files[@]} tracked source files"
fi

status=0
for file in "${files[@]}"; do
  if ! clang-format "$file" | diff -u --label "$file" --label "$file (formatted)" "$file" -; then
    status=1
  fi
done
if [ "$status" -ne 0 ]; then
  echo "check-format: the files above differ from .clang-format's layout; run clang-format -i on them." >&2
fi
exit $status
