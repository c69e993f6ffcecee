#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer in build/fuzz and runs each
# one for SECONDS seconds on a copy of its seed corpus (fuzz/corpus/<target>);
# what the run adds to the corpus stays in build/fuzz/run/<target>/corpus.
# Prints each target's execution count. Exits 1 on a finding (the input is
# kept in build/fuzz/run/<target>/findings/ and the report is printed), 77
# when clang or libFuzzer cannot be installed.
# Usage: scripts/run-fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds == 0)); then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

if ! scripts/install-deps.sh clang libclang-rt-14-dev; then
  echo "fuzz: clang and libFuzzer (libclang-rt-14-dev) could not be installed; fuzz targets not run" >&2
  exit 77
fi
cc=$(command -v clang-14 || command -v clang || true)
cxx=$(command -v clang++-14 || command -v clang++ || true)
if [[ -z $cc || -z $cxx ]]; then
  echo "fuzz: no clang compiler found; fuzz targets not run" >&2
  exit 77
fi

build=build/fuzz
targets=(frame_path surface)
echo "=== configure and build: $build ($cxx, libFuzzer + ASan + UBSan)"
cmake -S . -B "$build" -DPELLIX_BUILD_FUZZ=ON -DPELLIX_BUILD_TESTS=OFF -DPELLIX_BUILD_TOOLS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$build" -j "${PELLIX_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=0
for target in "${targets[@]}"; do
  work=$build/run/$target
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  cp fuzz/corpus/"$target"/* "$work/corpus/"
  echo "=== fuzz_$target for ${seconds}s"
  status=0
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" >"$work/log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log" | tail -n 1)
  corpus=$(find "$work/corpus" -type f | wc -l)
  echo "fuzz_$target: ${executions:-?} executions in ${seconds}s (${rate:-?}/s), corpus $corpus inputs, exit $status"
  if ((status != 0)) || [[ -n $(ls -A "$work/findings") ]]; then
    failed=1
    echo "fuzz_$target FOUND A FAULT; report (from $work/log):" >&2
    grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse|RELOAD)' "$work/log" | tail -n 60 >&2
    echo "input kept in: $(ls -d "$work"/findings/* 2>/dev/null | tr '\n' ' ')" >&2
  fi
done

if ((failed)); then
  echo "fuzzing found faults" >&2
  exit 1
fi
echo "fuzzing passed"
