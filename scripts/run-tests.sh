#!/usr/bin/env bash
# Builds and runs the whole suite twice: an optimised build and a build with
# AddressSanitizer and UndefinedBehaviorSanitizer. Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh ffmpeg
jobs=$(nproc)

run_suite() {
  local dir=$1
  shift
  echo "=== configure and build: $dir $*"
  cmake -S . -B "$dir" -DPELLIX_BUILD_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "=== test: $dir"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

run_suite build/release -DCMAKE_BUILD_TYPE=Release
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLIX_SANITIZE=ON
echo "all suites passed"
