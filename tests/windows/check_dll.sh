#!/bin/bash
# The Windows plug-in as a host's folder receives it: its PE export table
# names exactly _getPlugin, and it imports only DLLs every Windows system
# has, so it can be copied alone beside a host.
# Usage: check_dll.sh <objdump> <dll>
set -euo pipefail
objdump=$1
dll=$2
listing=$("$objdump" -p "$dll")

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {inside = 1; next}
               inside && /^[ \t]*\[ *[0-9]+\]/ {print $NF; next}
               inside {inside = 0}' <<<"$listing")
if [ "$exports" != "_getPlugin" ]; then
  echo "FAIL: the export table should name only _getPlugin, it names: ${exports:-nothing}"
  exit 1
fi

imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$listing" | sort -u)
system_dlls='^(kernel32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+|user32|advapi32|ntdll)\.dll$'
unexpected=$(grep -Ev "$system_dlls" <<<"$imports" || true)
if [ -n "$unexpected" ]; then
  echo "FAIL: the plug-in imports DLLs that are not part of Windows: $unexpected"
  exit 1
fi
echo "exports: $exports; imports: $(tr '\n' ' ' <<<"$imports")"
