#!/usr/bin/env bash
# Builds the minimal host out of tree, as a host author would, against the
# staged installation only: find_package(TesselSDK) with the stage as the
# one prefix searched, warnings as errors. Runs it on the staged plug-in and
# compares its output with the reference host's.
# Usage: build_with_find_package.sh STAGE PREFIX HOST_REFERENCE WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
stage=$1 prefix=$2 reference=$3 work=$4

rm -rf "$work"
# The example folder as installed, so that the shipped CMakeLists.txt is the one tested.
examples=$(find "$stage$prefix" -path '*/doc/pellix/examples' -type d)
configure_log=$(cmake -S "$examples" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$stage$prefix" -DCMAKE_FIND_USE_CMAKE_SYSTEM_PATH=FALSE \
  -DCMAKE_CXX_FLAGS="-Wall -Wextra -Wpedantic -Werror")
plugin=$(sed -n 's/^-- Pellix plug-in: //p' <<<"$configure_log")
case $plugin in
  "$stage"/*) echo "find_package(TesselSDK): plug-in at $plugin" ;;
  *) echo "$configure_log" >&2; echo "TesselSDK_PELLIX_PLUGIN is not inside the stage: '$plugin'" >&2; exit 1 ;;
esac
cmake --build "$work/build" >/dev/null
"$here/compare_with_reference.sh" "$work/build/minimal_host" "$plugin" "$reference" "$work/frames"
