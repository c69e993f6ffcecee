#!/usr/bin/env bash
# Frames per second of pellix-convert beside ffmpeg for the same raw-to-raw
# job: 1920x1080 I420 (yuv420p) to BGRA, read from a file, written to
# /dev/null. Each is run several times and the median is printed with the
# ratio (on a shared machine the median is the figure to trust).
# Usage: scripts/run-tool-bench.sh [frames] [runs] [threads]
set -euo pipefail
cd "$(dirname "$0")/.."

frames=${1:-400}
runs=${2:-5}
threads=${3:-1}
size=1920x1080

scripts/install-deps.sh ffmpeg
dir=build/release
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j "$(nproc)" --target pellix_color_transform pellix-convert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -loglevel error -f lavfi -i "testsrc2=size=$size:rate=25" -frames:v "$frames" -pix_fmt yuv420p \
  -f rawvideo "$work/in.yuv"

# Seconds of one run of the command given, to the nanosecond.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.4f\n", ns / 1e9 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

tool=() ffmpeg_times=()
for _ in $(seq "$runs"); do
  tool+=("$(seconds "$dir/bin/pellix-convert" -f yuv420p -s "$size" -t bgra -q --threads "$threads" \
    "$work/in.yuv" /dev/null)")
  ffmpeg_times+=("$(seconds ffmpeg -loglevel error -f rawvideo -pix_fmt yuv420p -s "$size" -i "$work/in.yuv" \
    -f rawvideo -pix_fmt bgra -y /dev/null)")
done
tool_s=$(printf '%s\n' "${tool[@]}" | median)
ffmpeg_s=$(printf '%s\n' "${ffmpeg_times[@]}" | median)

echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$frames frames of $size I420 to BGRA, file to /dev/null, median of $runs runs"
echo "| program | seconds | fps |"
echo "|---|---|---|"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a / b }'; }
echo "| pellix-convert --threads $threads | $tool_s | $(ratio "$frames" "$tool_s") |"
echo "| ffmpeg -f rawvideo -pix_fmt bgra | $ffmpeg_s | $(ratio "$frames" "$ffmpeg_s") |"
echo "pellix-convert is $(ratio "$ffmpeg_s" "$tool_s")x as fast as ffmpeg"
