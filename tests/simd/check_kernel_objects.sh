#!/usr/bin/env bash
# Kernel files are compiled for their own instruction sets. If one of them
# defined a weak (COMDAT) or unique function, the linker could keep that copy
# for every caller, and code of a wide tier would run on processors without
# it; so kernel objects may define no such function. (Weak or unique data
# carries no instructions: the sanitizer builds emit shared constants and
# the exception personality pointer that way.) On 32-bit x86 the MMX kernels
# run on processors without SSE: they may touch no SSE register and must
# execute EMMS.
# Usage: check_kernel_objects.sh NM OBJDUMP POINTER_BYTES OBJECT...
# (NM is accepted for the callers' sake; the symbol table comes from OBJDUMP,
# which tells functions from data.)
set -euo pipefail
objdump=$2
pointer_bytes=$3
shift 3
checked=0
for object in "$@"; do
  name=$(basename "$object")
  [[ $name =~ _(mmx|sse|sse2|avx2|avx512)\.cpp\.o$ ]] || continue
  checked=$((checked + 1))
  # objdump -t: value, 7 flag characters (1: u = unique, 2: w = weak,
  # 7: F = function), section, size, name.
  weak=$("$objdump" -t "$object" | awk 'length($0) > 26 {
    flags = substr($0, 18, 7); split(substr($0, 26), rest, " ")
    if ((substr(flags, 1, 1) == "u" || substr(flags, 2, 1) == "w") && substr(flags, 7, 1) == "F" && rest[1] != "*UND*")
      print $NF }')
  if [[ -n $weak ]]; then
    echo "$name defines weak functions, which another caller could end up using:" >&2
    echo "$weak" >&2
    exit 1
  fi
  if [[ $pointer_bytes == 4 && $name == *_mmx.cpp.o ]]; then
    listing=$("$objdump" -d "$object")
    if grep -q '%xmm' <<<"$listing"; then
      echo "$name: an MMX kernel uses SSE registers" >&2
      exit 1
    fi
    if ! grep -q 'emms' <<<"$listing"; then
      echo "$name: an MMX kernel never executes EMMS" >&2
      exit 1
    fi
  fi
done
if ((checked == 0)); then
  echo "no kernel objects found" >&2
  exit 1
fi
echo "$checked kernel objects keep to their instruction sets"
