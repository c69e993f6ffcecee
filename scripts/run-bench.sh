#!/usr/bin/env bash
# Builds the benchmark program and runs it: every routine in every variant
# this processor runs, whole frames beside libyuv, libswscale and memcpy, and
# the frame pull through the plug-in. Medians of several repetitions; extra
# arguments go to the program (e.g. --benchmark_filter=pair/ or
# --benchmark_repetitions=9).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh libbenchmark-dev libyuv-dev libswscale-dev

dir=build/bench
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DPELLIX_BUILD_BENCH=ON -DPELLIX_BUILD_TESTS=OFF \
  -DPELLIX_BUILD_TOOLS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target pellix_bench

echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
exec "$dir/bench/pellix_bench" "$@"
