#!/usr/bin/env bash
# Times every ordered pair at 1920x1080 through our frame converters in the
# 64-bit and the 32-bit x86 builds on this machine, in alternating rounds
# (so a change in machine load falls on both), and prints per pair the
# median of each and their ratio. The 32-bit program runs natively, so it
# needs a kernel that executes 32-bit programs.
# Usage: scripts/run-bench-32-64.sh [rounds]   (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
fi
scripts/install-deps.sh libbenchmark-dev libyuv-dev libswscale-dev crossbuild-essential-i386 \
  libboost-thread-dev:i386 libbenchmark-dev:i386 libyuv-dev:i386 libswscale-dev:i386

configure() {
  cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Release -DPELLIX_BUILD_BENCH=ON -DPELLIX_BUILD_TESTS=OFF \
    -DPELLIX_BUILD_TOOLS=OFF "${@:2}" >/dev/null
  cmake --build "$1" -j "$(nproc)" --target pellix_bench
}
configure build/bench
configure build/bench-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake -DPELLIX_I386_NATIVE=ON

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# One round: each pair once, as lines "pair megapixels-per-second".
run() {
  "$1/bench/pellix_bench" --benchmark_filter='^pair/[A-Z0-9]+To[A-Z0-9]+/1920x1080/ours$' \
    --benchmark_repetitions=1 --benchmark_min_time=0.2 --benchmark_out="$out/round.csv" \
    --benchmark_out_format=csv >/dev/null
  awk -F, '$1 == "name" { for (i = 1; i <= NF; i++) if ($i == "\"Mpx\"" || $i == "Mpx") col = i; next }
    $1 ~ /^"pair\// { split($1, n, "/"); print n[2], $col }' "$out/round.csv"
}
for ((r = 1; r <= rounds; r++)); do
  if ((r % 2)); then
    run build/bench >>"$out/64"
    run build/bench-i386 >>"$out/32"
  else
    run build/bench-i386 >>"$out/32"
    run build/bench >>"$out/64"
  fi
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "rounds: $rounds, load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-12s %10s %10s %8s\n' pair "64-bit" "32-bit" "32/64"
for pair in $(awk '{ print $1 }' "$out/64" | sort -u); do
  a=$(awk -v p="$pair" '$1 == p { print $2 }' "$out/64" | median)
  b=$(awk -v p="$pair" '$1 == p { print $2 }' "$out/32" | median)
  awk -v p="$pair" -v a="$a" -v b="$b" 'BEGIN { printf "%-12s %10.1f %10.1f %8.2f\n", p, a, b, b / a }'
done
