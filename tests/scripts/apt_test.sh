#!/usr/bin/env bash
# The package installs of scripts/lib/apt.sh against a package manager of the
# test's own: an index update that fails as a mirror in the middle of a sync
# makes it fail, packages that cannot be had, and the retries between.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
failures=0

# dpkg-query says installed for each name in $work/installed, or for every
# name but those in $work/missing when $work/installed holds "*"; apt-get update
# fails while $work/update-failures holds a number above 0, counting it down
# (-1: for good); apt-get install installs every name but those in
# $work/unavailable. Each call is logged in $work/calls.
cat >"$work/bin/dpkg-query" <<STUB
#!/usr/bin/env bash
if grep -qx '\*' "$work/installed"; then
  grep -qx "\${@: -1}" "$work/missing" || printf 'install ok installed'
else
  grep -qx "\${@: -1}" "$work/installed" && printf 'install ok installed'
fi
STUB
cat >"$work/bin/apt-get" <<STUB
#!/usr/bin/env bash
args=("\$@")
while [[ \${args[0]} == -o ]]; do args=("\${args[@]:2}"); done
words=()
for word in "\${args[@]}"; do [[ \$word == -* ]] || words+=("\$word"); done
echo "\${words[*]}" >>"$work/calls"
case \${args[0]} in
  update)
    left=\$(cat "$work/update-failures")
    if [ "\$left" -ne 0 ]; then
      [ "\$left" -gt 0 ] && echo \$((left - 1)) >"$work/update-failures"
      echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (1234 != 5678). Mirror sync in progress?" >&2
      exit 100
    fi ;;
  install)
    for name in "\${args[@]:1}"; do
      [[ \$name == -* ]] && continue
      if grep -qx "\$name" "$work/unavailable"; then echo "E: Unable to locate package \$name" >&2; exit 100; fi
    done
    for name in "\${args[@]:1}"; do [[ \$name == -* ]] || echo "\$name" >>"$work/installed"; done ;;
esac
STUB
printf '#!/usr/bin/env bash\n"$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

# expect NAME STATUS CALLS MESSAGE COMMAND...: the command's exit status, the
# package manager's calls joined by "; ", and a line it must print.
expect() {
  local name=$1 status=$2 calls=$3 message=$4 got=0
  shift 4
  : >"$work/calls"
  PATH="$work/bin:$PATH" APT_RETRY_SECONDS=0 "$@" >"$work/out" 2>&1 || got=$?
  local made
  made=$(paste -sd ';' "$work/calls" | sed 's/;/; /g')
  if [ "$got" -ne "$status" ] || [ "$made" != "$calls" ] || { [ -n "$message" ] && ! grep -qF -- "$message" "$work/out"; }; then
    echo "FAIL $name: status $got (expected $status), calls '$made' (expected '$calls')"
    sed 's/^/  | /' "$work/out"
    failures=$((failures + 1))
  else
    echo "PASS $name"
  fi
}
reset() { printf '%s\n' "${@:2}" >"$work/installed"; echo "$1" >"$work/update-failures"; : >"$work/unavailable"; : >"$work/missing"; }
install() { bash -c '. "$1"/scripts/lib/apt.sh; shift; apt_install "$@"' _ "$root" "$@"; }

reset 0 cmake g++
expect "nothing missing: no call" 0 "" "" install cmake g++
reset -1 cmake
expect "index out of step: the missing package still comes" 0 \
  "update; update; update; install g++" \
  "Going on with the package index as it stands." install cmake g++
reset 1
expect "update failing once: tried again" 0 \
  "update; update; install g++" "Installing: g++" install g++
reset -1
echo wine32:i386 >"$work/unavailable"
expect "a package that cannot be had: named, with the index's failure" 1 \
  "update; update; update; install wine32:i386; update; install wine32:i386; update; install wine32:i386" \
  "The package index could not be updated either" install wine32:i386
reset -1 '*'
echo clang >"$work/missing"
expect "the project's install script on a machine whose index is out of step" 0 \
  "update; update; update; install clang" "Installing: clang" \
  bash "$root/scripts/install-deps.sh" clang

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
