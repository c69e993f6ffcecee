#!/usr/bin/env bash
# The fast tier for day-to-day work: builds only the unit test programs (and
# the plug-in they load) in build/release and runs the tests labelled unit,
# in seconds once built. Any other tier by name: scripts/run-unit.sh e2e
# Usage: scripts/run-unit.sh [label] [ctest option ...]
set -euo pipefail
cd "$(dirname "$0")/.."

label=${1:-unit}
shift || true
dir=build/release
if [[ ! -f $dir/CMakeCache.txt ]]; then
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DPELLIX_BUILD_TESTS=ON >/dev/null
fi
cmake --build "$dir" -j "$(nproc)" --target "pellix_tier_$label"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" -L "^$label\$" "$@"
