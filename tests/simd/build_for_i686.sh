#!/usr/bin/env bash
# The variants must build for 32-bit x86 as well, where MMX intrinsics use
# the MMX register file: compile each one for i686, and check that the MMX
# tier touches no SSE register (it runs on processors without SSE) and
# executes EMMS.
set -euo pipefail
cxx=$1
root=$2
objdump=${3:-objdump}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for source in "$root"/colorconv/simd/*.cpp; do
  object="$out/$(basename "$source" .cpp).o"
  "$cxx" -std=c++17 -O2 -march=i686 -Wall -Wextra -Wpedantic -Werror -Wno-psabi -I"$root" -c "$source" -o "$object"
done
for object in "$out"/*_mmx.o; do
  listing=$("$objdump" -d "$object")
  if grep -q '%xmm' <<<"$listing"; then
    echo "$(basename "$object"): MMX tier uses SSE registers" >&2
    exit 1
  fi
  if ! grep -q 'emms' <<<"$listing"; then
    echo "$(basename "$object"): MMX tier never executes EMMS" >&2
    exit 1
  fi
done
echo "all SIMD variants build for i686"
