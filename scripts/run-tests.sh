#!/usr/bin/env bash
# The test command. Builds and runs the whole suite twice (an optimised build
# and a build with AddressSanitizer and UndefinedBehaviorSanitizer), runs the
# end-to-end pair tests on emulated processors without AVX, with AVX2, and
# with AVX2 but no OS support for it, then the hardening stages: the
# concurrency tests under ThreadSanitizer, the suite as a 32-bit x86 program,
# the 32-bit Windows build under Wine,
# and each fuzz target for a short run. Warnings are
# errors in every build. Set PELLIX_FUZZ_SECONDS to change the fuzz runs
# (0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-dev and file: CPack's dependency computation for the Debian package;
# qemu-user: the end-to-end tests on emulated processors.
scripts/install-deps.sh ffmpeg dpkg-dev file qemu-user
scripts/install-gstreamer.sh
jobs=$(nproc)
started=$SECONDS

stage() { echo; echo "=== [$((SECONDS - started))s] $*"; }

run_suite() {
  local dir=$1
  shift
  stage "configure and build: $dir $*"
  cmake -S . -B "$dir" -DPELLIX_BUILD_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  stage "test: $dir"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

# Prefix /usr: the package made and installed by the release suite is laid
# out as Debian's are.
run_suite build/release -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr

stage "routine choice and bytes on other processors (qemu CPU models)"
scripts/run-cpu-models.sh build/release
# The sanitizers look for memory faults, which the guard-paged frame tests
# find; the exhaustive sweeps check arithmetic, which the optimised suite
# covers in full, so here they test every 64th input.
PELLIX_EXHAUSTIVE_SAMPLE=${PELLIX_EXHAUSTIVE_SAMPLE:-64} \
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLIX_SANITIZE=ON

stage "ThreadSanitizer build of the concurrency tests"
scripts/run-tsan.sh

stage "32-bit x86 build"
scripts/run-i386.sh

stage "32-bit Windows build under Wine"
scripts/run-windows-tests.sh

fuzz_seconds=${PELLIX_FUZZ_SECONDS:-30}
if ((fuzz_seconds > 0)); then
  stage "fuzz targets, ${fuzz_seconds}s each"
  status=0
  scripts/run-fuzz.sh "$fuzz_seconds" || status=$?
  if ((status == 77)); then
    echo "fuzz targets SKIPPED: clang and libFuzzer could not be installed" >&2
  elif ((status != 0)); then
    exit "$status"
  fi
fi

stage "all stages passed"
