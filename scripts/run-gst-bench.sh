#!/usr/bin/env bash
# Frames per second of the pellixconvert GStreamer element beside GStreamer's
# videoconvert (one thread, and one per core) for I420 -> BGRA, BGRA -> I420
# and YUY2 -> I420 at 1920x1080, then pellixconvert's n-threads latency per
# frame at 3840x2160 and 7680x4320: one run each, printed as Markdown tables
# (bench/RESULTS.md keeps one). Usage: scripts/run-gst-bench.sh [frames]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/install-gstreamer.sh
dir=build/release
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j "$(nproc)" --target pellix_color_transform pellix_gst_bench

echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
exec "$dir/gst/pellix_gst_bench" "$@"
