# Installing Debian packages on a machine whose package index may be briefly
# inconsistent (a mirror in the middle of a sync answers "File has unexpected
# size ... Mirror sync in progress?" for one index, and apt-get update exits
# 100 although every other index was read). Sourced by the scripts that install.
#
#   apt_installed PACKAGE        succeeds when PACKAGE is installed
#   apt_install PACKAGE...       installs those of the packages that are missing;
#                                fails, saying which and why, only when they
#                                cannot be installed
#
# APT_ATTEMPTS (default 3) and APT_RETRY_SECONDS (default 10, doubled after each
# failure) set how often and after how long a failed update or install is tried
# again.

apt_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

apt_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Updates the index, trying again after a failure, as often as the first
# argument says (default APT_ATTEMPTS). A failure that remains is
# reported and left to the install to judge: the indexes that were read are in
# use, and the ones that were not keep their last good copy.
apt_update() {
  local attempt attempts=${1:-${APT_ATTEMPTS:-3}} wait=${APT_RETRY_SECONDS:-10} log
  log=$(mktemp)
  for ((attempt = 1; attempt <= attempts; attempt++)); do
    if apt_as_root apt-get -o DPkg::Lock::Timeout=600 update -qq >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    echo "apt-get update failed (attempt $attempt of $attempts):" >&2
    grep -E '^(E|W):' "$log" | sed 's/^/  /' >&2 || sed 's/^/  /' "$log" >&2
    if ((attempt < attempts)); then
      sleep "$wait"
      wait=$((wait * 2))
    fi
  done
  rm -f "$log"
  echo "Going on with the package index as it stands." >&2
  return 1
}

apt_install() {
  local package missing=() attempt wait=${APT_RETRY_SECONDS:-10} updated=yes
  for package in "$@"; do
    apt_installed "$package" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  apt_update || updated=no
  for ((attempt = 1; attempt <= ${APT_ATTEMPTS:-3}; attempt++)); do
    if apt_as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
      install -y -qq --no-install-recommends "${missing[@]}"; then
      return 0
    fi
    echo "apt-get install ${missing[*]} failed (attempt $attempt of ${APT_ATTEMPTS:-3})." >&2
    if ((attempt < ${APT_ATTEMPTS:-3})); then
      sleep "$wait"
      wait=$((wait * 2))
      apt_update 1 || updated=no
    fi
  done
  echo "Could not install: ${missing[*]}." >&2
  [ "$updated" = no ] && echo "The package index could not be updated either (see above)." >&2
  return 1
}
