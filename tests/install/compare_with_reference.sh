#!/usr/bin/env bash
# Runs a minimal host build on frames of several sizes and compares each PPM
# it writes, byte for byte, with the reference host's conversion of the same
# frame through the same plug-in.
# Usage: compare_with_reference.sh MINIMAL_HOST PLUGIN HOST_REFERENCE WORK_DIR
set -euo pipefail
minimal_host=$1 plugin=$2 reference=$3 work=$4

rm -rf "$work"
mkdir -p "$work"
# Widths that are multiples of 16, of 4 and of 2 only, and the smallest frame.
for size in 64x48 72x46 38x22 2x2; do
  w=${size%x*} h=${size#*x}
  "$reference" input "$w" "$h" "$w$h" "$work/$size.i420"
  "$reference" convert "$plugin" "$work/$size.i420" "$w" "$h" "$work/$size.expected.ppm"
  "$minimal_host" "$plugin" "$work/$size.i420" "$w" "$h" "$work/$size.ppm"
  cmp "$work/$size.expected.ppm" "$work/$size.ppm"
  echo "$size: minimal host and reference host agree ($(wc -c <"$work/$size.ppm") bytes)"
done
