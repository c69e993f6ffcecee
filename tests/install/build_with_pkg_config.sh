#!/usr/bin/env bash
# Builds the minimal host with one compiler command and pkg-config against
# the staged installation (PKG_CONFIG_SYSROOT_DIR maps the installed paths
# into the stage; only the stage's pkg-config folder is searched), runs it on
# the staged plug-in and compares its output with the reference host's.
# Usage: build_with_pkg_config.sh STAGE LIBDIR HOST_REFERENCE WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
stage=$1 libdir=$2 reference=$3 work=$4

rm -rf "$work"
mkdir -p "$work"
export PKG_CONFIG_SYSROOT_DIR=$stage PKG_CONFIG_LIBDIR=$stage$libdir/pkgconfig
unset PKG_CONFIG_PATH
flags=$(pkg-config --cflags --libs tessel-sdk)
echo "pkg-config --cflags --libs tessel-sdk: $flags"
plugin=$stage$(PKG_CONFIG_SYSROOT_DIR= pkg-config --variable=pellix_plugin tessel-sdk)
[ -f "$plugin" ] || { echo "pellix_plugin names no staged file: $plugin" >&2; exit 1; }
examples=$(find "$stage" -path '*/doc/pellix/examples' -type d)
# shellcheck disable=SC2086 # the flags are words
c++ -std=c++17 -O2 -Wall -Wextra -Wpedantic -Werror "$examples/minimal_host.cpp" $flags -ldl -o "$work/minimal_host"
"$here/compare_with_reference.sh" "$work/minimal_host" "$plugin" "$reference" "$work/frames"
