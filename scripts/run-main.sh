#!/usr/bin/env bash
# The main command: on a fresh Debian 12 machine (only apt needed) installs
# what the build lacks, builds the plug-in, pellix-convert and the GStreamer
# module in build/release (not the test programs), and runs pellix-convert on
# its built-in test pattern, writing the results to out/.
# Usage: scripts/run-main.sh [output-folder]
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-out}
scripts/install-deps.sh
scripts/install-gstreamer.sh
jobs=$(nproc)

echo "=== configure and build: build/release"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(pellix_color_transform pellix-convert)
if cmake --build build/release --target help | grep -qw gstpellix; then targets+=(gstpellix); fi
cmake --build build/release -j "$jobs" --target "${targets[@]}"

tool=build/release/bin/pellix-convert
echo
echo "=== the plug-in as pellix-convert sees it"
"$tool" --info
echo
echo "=== pellix-convert on its built-in test pattern"
# -y: the results of an earlier run in the same folder are replaced.
"$tool" -o "$out" -y

echo
echo "Done. Look at $(cd "$out" && pwd):"
echo "  round-trip.txt       round-trip error and frames per second for all twenty format pairs"
echo "  pattern-<FORMAT>.png the test pattern after conversion to each format"
echo "Convert your own video with $tool (see docs/pellix-convert.md), e.g."
echo "  ffmpeg -i clip.mp4 -f rawvideo -pix_fmt yuv420p - | $tool -f yuv420p -s hd720 -t YUY2 - clip.yuy2"
if [[ -f build/release/gst/libgstpellix.so ]]; then
  echo "Use it in GStreamer pipelines (see README.md, \"GStreamer\"), e.g."
  echo "  GST_PLUGIN_PATH=$(pwd)/build/release/gst gst-inspect-1.0 pellixconvert"
fi
