#!/usr/bin/env bash
# Installs the Debian package on this machine with dpkg -i, runs the
# installed pellix-convert --info, builds the minimal host against the
# installed SDK with pkg-config, then purges the package and checks that
# nothing of it is left. Needs root; exits 77 (skipped) without it, and when
# a pellix package is already installed (it is not ours to remove).
# Usage: debian_install.sh DEB_DIR DOCDIR HOST_REFERENCE WORK_DIR (DOCDIR: installed, absolute)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb_dir=$1 docdir=$2 reference=$3 work=$4

if [ "$(id -u)" -ne 0 ]; then echo "SKIPPED: installing a package needs root"; exit 77; fi
if dpkg-query -W -f='${Status}' pellix 2>/dev/null | grep -q installed; then
  echo "SKIPPED: a pellix package is already installed on this machine"
  exit 77
fi
deb=$(ls "$deb_dir"/pellix_*.deb)
rm -rf "$work"
mkdir -p "$work"

# Other builds on this machine may run this test or apt at the same time:
# one at a time through a lock, and dpkg retried while apt holds its lock.
exec 9>/tmp/pellix-package-test.lock
flock -w 600 9
dpkg_retry() {
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    if dpkg "$@" >"$work/dpkg.log" 2>&1; then return 0; fi
    grep -q 'lock' "$work/dpkg.log" || break
    sleep $((attempt * 3))
  done
  cat "$work/dpkg.log" >&2
  return 1
}
# The package's paths that exist before it comes (shared folders such as /usr/bin).
paths=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep -v '^$')
existing=$(while read -r path; do [ ! -e "$path" ] || echo "$path"; done <<<"$paths")
trap 'dpkg_retry --purge pellix || true' EXIT
dpkg_retry -i "$deb"
echo "installed $(basename "$deb")"

plugin=$(pkg-config --variable=pellix_plugin tessel-sdk)
info=$(env -u PELLIX_PLUGIN pellix-convert --info)
grep -qxF "plug-in  $plugin" <<<"$info" || { echo "$info" >&2; echo "pellix-convert --info did not load $plugin" >&2; exit 1; }
echo "$(command -v pellix-convert) --info loads $plugin"

# shellcheck disable=SC2046 # the flags are words
c++ -std=c++17 -Wall -Wextra -Werror "$docdir/examples/minimal_host.cpp" $(pkg-config --cflags --libs tessel-sdk) -ldl \
  -o "$work/minimal_host"
"$here/compare_with_reference.sh" "$work/minimal_host" "$plugin" "$reference" "$work/frames"

trap - EXIT
dpkg_retry --purge pellix
if dpkg-query -W -f='${Status}' pellix 2>/dev/null | grep -q installed; then
  echo "pellix is still installed after dpkg --purge" >&2
  exit 1
fi
# Every path the package brought is gone again.
left=()
while read -r path; do
  if [ -e "$path" ] && ! grep -qxF "$path" <<<"$existing"; then left+=("$path"); fi
done <<<"$paths"
if ((${#left[@]})); then
  printf 'left behind: %s\n' "${left[@]}" >&2
  exit 1
fi
echo "purged: nothing of the package is left"
