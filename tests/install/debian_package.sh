#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it with dpkg-deb: its name,
# version and architecture, dependencies computed by dpkg-shlibdeps, and a
# file list that is exactly the staged installation (so no test or build
# artefacts, the plug-in in its own folder).
# Usage: debian_package.sh BUILD_DIR VERSION STAGE WORK_DIR
set -euo pipefail
. "$(dirname "$0")/file_lists.sh"
build=$1 version=$2 stage=$3 work=$4

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" || { cat "$work/cpack.log" >&2; exit 1; }
arch=$(dpkg --print-architecture)
deb=$work/pellix_${version}-1_${arch}.deb
[ -f "$deb" ] || { ls "$work" >&2; echo "no package $deb" >&2; exit 1; }

field() { dpkg-deb --field "$deb" "$1"; }
check() {
  if [ "$2" != "$3" ]; then echo "$1: '$2', expected '$3'" >&2; exit 1; fi
}
check Package "$(field Package)" pellix
check Version "$(field Version)" "${version}-1"
check Architecture "$(field Architecture)" "$arch"
depends=$(field Depends)
echo "Depends: $depends"

# Every library the package's programs and plug-in need comes from a package
# it depends on, with the minimum version dpkg-shlibdeps worked out.
mkdir "$work/tree"
dpkg-deb --extract "$deb" "$work/tree"
needed=$(find "$work/tree" -type f -exec sh -c 'readelf -d "$1" 2>/dev/null' _ {} \; |
  sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort -u)
[ -n "$needed" ] || { echo "no shared objects in the package" >&2; exit 1; }
cache=$(ldconfig -p)
for soname in $needed; do
  # This machine's architecture first (the cache may list 32-bit ones too).
  path=$(awk -v s="$soname" '$1 == s && /x86-64|x32|64bit/ {print $NF; exit}' <<<"$cache")
  [ -n "$path" ] || path=$(awk -v s="$soname" '$1 == s {print $NF; exit}' <<<"$cache")
  # dpkg records a file under /lib or under /usr/lib, whichever its package used.
  owner=
  for candidate in "$path" "/usr$path" "${path#/usr}"; do
    owner=$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1 || true)
    [ -z "$owner" ] || break
  done
  [ -n "$owner" ] || { echo "no package owns $soname ($path)" >&2; exit 1; }
  grep -Eq "(^|, )${owner//+/\\+} \(>= [^)]+\)" <<<"$depends" ||
    { echo "Depends lacks $owner, which holds $soname" >&2; exit 1; }
  echo "  $soname: $owner"
done

# Files of the package, as absolute paths, against the staged installation.
packaged=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort)
same_files "the package's files differ from the installation's" "$(tree_files "$stage")" "$packaged"
echo "$deb: $(wc -l <<<"$packaged") files, the same as cmake --install"
# Owned by root, not by whoever built it.
if dpkg-deb --contents "$deb" | awk '{print $2}' | grep -v '^root/root$'; then
  echo "files above are not owned by root" >&2
  exit 1
fi
