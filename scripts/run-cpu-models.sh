#!/usr/bin/env bash
# Runs the end-to-end pair tests and pellix-convert --info on processors this
# machine is not, under qemu's CPU models (qemu-x86_64, or qemu-i386 for a
# 32-bit build): Nehalem (no AVX), Haswell
# (AVX2, no AVX-512) and Haswell without XSAVE (AVX2 in CPUID but no OS
# support for the YMM state). Each must get the routines its CPU model allows
# and the same bytes. qemu runs AVX2 instructions whatever the model says, so
# this checks the choice and the bytes, not the fault a wrong choice would
# raise on real hardware.
# Usage: scripts/run-cpu-models.sh [build-dir [qemu]]
#   (default build/release and qemu-x86_64; qemu-i386 for build/i386)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
qemu=${2:-qemu-x86_64}

if ! command -v "$qemu" >/dev/null; then
  scripts/install-deps.sh qemu-user || true
fi
if ! command -v "$qemu" >/dev/null; then
  echo "CPU model stage SKIPPED: $qemu could not be installed" >&2
  exit 0
fi

tool=$build/bin/pellix-convert
e2e=$build/tests/host/pellix_host_e2e_tests
status=0

# qemu warns about every model feature its translator lacks; those lines say
# nothing about the plug-in.
emulate() {
  local model=$1
  shift
  "$qemu" -cpu "$model" "$@" 2> >(grep -v "TCG doesn't support requested feature" >&2)
}

# expect MODEL TEXT...: each TEXT (a grep -E pattern) must appear in --info.
# refuse MODEL TEXT: TEXT must not appear.
check_info() {
  local model=$1 info
  shift
  info=$(PELLIX_CPU= emulate "$model" "$tool" --info)
  for rule in "$@"; do
    local kind=${rule%%:*} pattern=${rule#*:}
    if [[ $kind == want ]] && ! grep -Eq "$pattern" <<<"$info"; then
      echo "$model: --info lacks '$pattern'" >&2
      status=1
    elif [[ $kind == deny ]] && grep -Eq "$pattern" <<<"$info"; then
      echo "$model: --info shows '$pattern'" >&2
      status=1
    fi
  done
}

run_model() {
  local model=$1
  shift
  echo "=== $qemu -cpu $model"
  check_info "$model" "$@"
  if ! emulate "$model" "$e2e" --gtest_filter='AllTwenty/*' --gtest_brief=1; then
    echo "$model: end-to-end pair tests failed" >&2
    status=1
  fi
}

run_model Nehalem 'want:AVX2 +no +AVX2 not reported' 'deny:_AVX'
run_model Haswell 'want:AVX2 +yes' 'want:AVX512 +no' 'want:_AVX2 ' 'deny:_AVX512'
run_model Haswell,-xsave 'want:AVX2 +no +AVX2 reported, but OSXSAVE is clear' 'deny:_AVX'
exit $status
