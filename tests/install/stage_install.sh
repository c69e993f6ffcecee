#!/usr/bin/env bash
# Installs the build tree into a staging folder (DESTDIR) and checks what
# lands there: exactly the files a host author gets, nothing that names the
# source or build tree, and a pellix-convert that finds its own plug-in.
# Usage: stage_install.sh BUILD_DIR SOURCE_DIR STAGE CONFIG PREFIX BINDIR LIBDIR INCLUDEDIR DOCDIR PLUGIN
# (CONFIG: the build type in lower case; BINDIR ... PLUGIN: the absolute
# installed paths, below PREFIX)
set -euo pipefail
. "$(dirname "$0")/file_lists.sh"
build=$1 source=$2 stage=$3 config=$4 prefix=$5 bindir=$6 libdir=$7 includedir=$8 docdir=$9 plugin=${10}

rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" >/dev/null

expected=$(sort <<EOF_LIST
$bindir/pellix-convert
$plugin
$libdir/libtessel_sdk.a
$libdir/cmake/TesselSDK/TesselSDKConfig.cmake
$libdir/cmake/TesselSDK/TesselSDKConfigVersion.cmake
$libdir/cmake/TesselSDK/TesselSDKTargets.cmake
$libdir/cmake/TesselSDK/TesselSDKTargets-$config.cmake
$libdir/pkgconfig/tessel-sdk.pc
$includedir/tessel/host.h
$includedir/tessel/interfaces.h
$includedir/tessel/record_layout.h
$includedir/tessel/values.h
$includedir/tessel/vtable_entries.h
$docdir/LICENSE
$docdir/hosting.md
$docdir/pellix-convert.md
$docdir/examples/CMakeLists.txt
$docdir/examples/minimal_host.cpp
EOF_LIST
)
actual=$(tree_files "$stage")
same_files "the installed files differ from the expected list" "$expected" "$actual"
echo "installed: $(wc -l <<<"$actual") files below $prefix, as expected"

# No installed file may point back into the tree it was built from.
if grep -rlF -e "$source" -e "$(realpath "$build")" "$stage"; then
  echo "the files above name the source or build folder" >&2
  exit 1
fi

# The staged tool finds the staged plug-in through its relative path.
info=$(env -u PELLIX_PLUGIN "$stage$bindir/pellix-convert" --info)
grep -qxF "plug-in  $stage$plugin" <<<"$info" || { echo "$info" >&2; echo "pellix-convert did not load $stage$plugin" >&2; exit 1; }
echo "staged pellix-convert --info loads $stage$plugin"
