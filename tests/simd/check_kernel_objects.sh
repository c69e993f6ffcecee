#!/usr/bin/env bash
# Kernel files are compiled for their own instruction sets. If one of them
# defined a weak (COMDAT) or unique function, the linker could keep that copy
# for every caller, and code of a wide tier would run on processors without
# it; so kernel objects may define no such function, in 32-bit objects as in
# 64-bit ones. (Weak or unique data carries no instructions: the sanitizer
# builds emit shared constants and the exception personality pointer that
# way.) Objects below AVX2 hold no VEX or EVEX instruction (they share
# headers with the wide kernels). Every function an MMX kernel object
# exports executes EMMS, so the caller may use floating point afterwards; on
# 32-bit x86 the MMX kernels run on processors without SSE, so there they
# may touch no SSE register.
# Usage: check_kernel_objects.sh NM OBJDUMP POINTER_BYTES SUFFIXES OBJECT...
# (SUFFIXES: the kernel files' instruction-set suffixes, as "mmx|sse|...")
# (NM is accepted for the callers' sake; the symbol table comes from OBJDUMP,
# which tells functions from data.)
set -euo pipefail
objdump=$2
pointer_bytes=$3
suffixes=$4
shift 4

# Prints the names of the defined functions of object $2 that are weak
# ($1 = weak) or exported ($1 = exported).
functions_where() {
  if "$objdump" -f "$2" | grep -q 'file format pe-'; then
    # COFF (Windows): a weak function lives in a COMDAT code section, which
    # objdump -h names; symbol lines read (ty 20) for a function and
    # (scl 2) for an external one.
    if [[ $1 == weak ]]; then
      "$objdump" -h "$2" | awk '/CODE/ && match($0, /\(COMDAT [^ )]+/) { print substr($0, RSTART + 8, RLENGTH - 8) }'
    else
      "$objdump" -t "$2" | awk '/\(ty +20\)\(scl +2\)/ { print $NF }'
    fi
    return
  fi
  # ELF: value (8 hex digits in 32-bit objects, 16 in 64-bit ones), 7 flag
  # characters (1: l/g/u, 2: w = weak, 7: F = function), section, size,
  # name. The i386 PIC thunk is global in every object but is the same two
  # instructions everywhere.
  "$objdump" -t "$2" | awk -v cond="$1" '$1 ~ /^[0-9a-f]+$/ && (length($1) == 8 || length($1) == 16) {
    flags = substr($0, length($1) + 2, 7); split(substr($0, length($1) + 10), rest, " ")
    if (substr(flags, 7, 1) != "F" || rest[1] == "*UND*") next
    scope = substr(flags, 1, 1); weak = substr(flags, 2, 1)
    if ((cond == "weak" && (scope == "u" || weak == "w")) || (cond == "exported" && scope == "g" && $NF !~ /^__x86\.get_pc_thunk/))
      print $NF }'
}

checked=0
for object in "$@"; do
  name=$(basename "$object")
  [[ $name =~ _($suffixes)\.cpp\.(o|obj)$ ]] || continue
  checked=$((checked + 1))
  weak=$(functions_where weak "$object")
  if [[ -n $weak ]]; then
    echo "$name defines weak functions, which another caller could end up using:" >&2
    echo "$weak" >&2
    exit 1
  fi
  [[ $name =~ _(mmx|sse|sse2)\.cpp\. ]] || continue
  # (Listings are read whole before grep -q, whose early exit would
  # otherwise fail the pipe.)
  listing=$("$objdump" -d "$object")
  # objdump -d: address, tab, encoding, tab, mnemonic; AVX mnemonics start with v.
  vex=$(awk -F'\t' 'NF >= 3 && $3 ~ /^v[a-z]/ && $3 !~ /^ver[rw]/' <<<"$listing")
  if [[ -n $vex ]]; then
    echo "$name: a kernel below AVX2 holds AVX instructions:" >&2
    echo "$vex" | head -5 >&2
    exit 1
  fi
  [[ $name == *_mmx.cpp.* ]] || continue
  if [[ $pointer_bytes == 4 ]] && grep -q '%xmm' <<<"$listing"; then
    echo "$name: an MMX kernel uses SSE registers" >&2
    exit 1
  fi
  exported=$(functions_where exported "$object")
  if [[ -z $exported ]]; then
    echo "$name: an MMX kernel object exports no function" >&2
    exit 1
  fi
  for function in $exported; do
    listing=$("$objdump" -d --disassemble="$function" "$object")
    if ! grep -q 'emms' <<<"$listing"; then
      echo "$name: $function never executes EMMS" >&2
      exit 1
    fi
  done
done
if ((checked == 0)); then
  echo "no kernel objects found" >&2
  exit 1
fi
echo "$checked kernel objects keep to their instruction sets"
