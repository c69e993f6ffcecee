#!/usr/bin/env bash
# Fails when a shipped program or module carries a piece of the host's test
# rig (guard-page memory, faulty upstream answers, lock and allocation
# faults, environment changes). Each file must show the host's own frame
# memory, so a file without a readable symbol table cannot pass unseen.
# Usage: check_without_test_rig.sh FILE...
set -euo pipefail

rig='GuardedBuffer|GuardedFrameMemory|SourceAnswer|SetLockFails|ReserveInaccessiblePages|SetEnvironmentValue'
status=0
for file in "$@"; do
  symbols=$(nm -C "$file")
  if ! grep -q 'pellix::HeapFrameMemory' <<<"$symbols"; then
    echo "$file: no symbol of the host's frame memory; cannot tell what it carries" >&2
    status=1
    continue
  fi
  if found=$(grep -E "$rig" <<<"$symbols"); then
    echo "$file carries the test rig:" >&2
    echo "$found" >&2
    status=1
  else
    echo "$file: no test rig"
  fi
done
exit $status
