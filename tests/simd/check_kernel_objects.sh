#!/usr/bin/env bash
# Kernel files are compiled for their own instruction sets. If one of them
# defined a weak (COMDAT) function, the linker could keep that copy for every
# caller, and code of a wide tier would run on processors without it; so
# kernel objects may define no weak functions (shared constant data is fine). On 32-bit x86 the MMX kernels
# run on processors without SSE: they may touch no SSE register and must
# execute EMMS.
# Usage: check_kernel_objects.sh NM OBJDUMP POINTER_BYTES OBJECT...
set -euo pipefail
nm=$1
objdump=$2
pointer_bytes=$3
shift 3
checked=0
for object in "$@"; do
  name=$(basename "$object")
  [[ $name =~ _(mmx|sse|sse2|avx2|avx512)\.cpp\.o$ ]] || continue
  checked=$((checked + 1))
  weak=$("$nm" --defined-only "$object" | awk '$2 == "W" {print $3}')
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
