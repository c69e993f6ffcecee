#!/usr/bin/env bash
# Caps the element refuses end gst-launch-1.0 at once with one readable
# error, and never hang: many runs while a busy loop per core competes for
# the processor, each under a timeout. gst-launch-1.0 loses an error posted
# from a streaming thread before its main loop runs (and then waits forever
# to preroll), so a refusal that upstream's caps already decide must fail
# the state change to PAUSED, before any streaming thread starts: the
# element's error is then the only one. Pipelines the element accepts run
# among them, to show that nothing accepted is refused early.
# Usage: gst_refusal_test.sh MODULE_DIR WORK_DIR [PRELOAD] [RUNS]
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=gst_tools_env.sh
source "$(dirname "$0")/gst_tools_env.sh" "$@"
runs=${4:-160}
# Far above a run's time (under a second here, loaded and sanitized alike).
run_timeout=10
max_failures=3

# name | pipeline | text the element's one error holds ("": accepted, ends
# with EOS and no error)
source_bgra="videotestsrc num-buffers=5 ! video/x-raw,format=BGRA"
cases=(
  "odd BGRA to YUY2|$source_bgra,width=641,height=481 ! pellixconvert ! video/x-raw,format=YUY2 ! fakesink|BGRA at 641x481 has no YUY2 frame"
  "odd BGRA to UYVY|$source_bgra,width=33,height=7 ! pellixconvert ! video/x-raw,format=UYVY ! fakesink|BGRA at 33x7 has no UYVY frame"
  "downstream asks for BT.709|$source_bgra,width=64,height=48 ! pellixconvert ! video/x-raw,format=I420,colorimetry=bt709 ! fakesink|downstream asks for colorimetry bt709"
  "BT.709 input|videotestsrc num-buffers=5 ! video/x-raw,format=I420,width=1280,height=720,colorimetry=bt709 ! pellixconvert ! video/x-raw,format=BGRA ! fakesink|input colorimetry bt709 cannot be converted"
  "full-range input|videotestsrc num-buffers=5 ! video/x-raw,format=YUY2,width=64,height=48,colorimetry=1:4:0:0 ! pellixconvert ! video/x-raw,format=BGRA ! fakesink|input colorimetry BT.601 matrix, full range cannot be converted"
  "odd I420 to BGRA|videotestsrc num-buffers=5 ! video/x-raw,format=I420,width=641,height=481 ! pellixconvert ! video/x-raw,format=BGRA ! fakesink|"
  "odd BGRA, YUY2 or I420 offered|$source_bgra,width=33,height=7 ! pellixconvert ! video/x-raw,format={YUY2,I420} ! fakesink|"
  "HD I420 to BGRA|videotestsrc num-buffers=5 ! video/x-raw,format=I420,width=1280,height=720 ! pellixconvert ! video/x-raw,format=BGRA ! fakesink|"
)

# The registry is built before the load starts: the first run's scan of
# every installed plug-in is no test of the element.
gst-inspect-1.0 pellixconvert >/dev/null || fail "pellixconvert is not found in $module_dir"

burners=()
stop_burners() { for pid in "${burners[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap stop_burners EXIT
for _ in $(seq "$(nproc)"); do
  bash -c 'while :; do :; done' &
  burners+=($!)
done

failures=0
hangs=0
failed() {
  echo "FAIL: run $run ($name): $*"$'\n'"$out" >&2
  failures=$((failures + 1))
}

# One run: the faults it shows, through failed().
check_run() {
  if [[ $status -eq 124 ]]; then
    hangs=$((hangs + 1))
    failed "hung for ${run_timeout} s"
    return
  fi
  local errors
  errors=$(grep "^ERROR: from element " <<<"$out" || true)
  if [[ -z $expected ]]; then
    [[ $status -eq 0 && -z $errors ]] || failed "an accepted pipeline ended with status $status"
    return
  fi
  [[ $status -ne 0 ]] || { failed "ended without an error"; return; }
  [[ $(grep -c . <<<"$errors") -eq 1 ]] || { failed "not exactly one error"; return; }
  [[ $errors == *"pellixconvert0: pellixconvert cannot use these caps: "* ]] ||
    { failed "the error is not the element's"; return; }
  [[ $errors == *"$expected"* ]] || { failed "the error does not say \"$expected\""; return; }
  # Colorimetry by name or spelt out, never GStreamer's "1:4:0:0" codes.
  if grep -qE "[0-9]+:[0-9]+:[0-9]+:[0-9]+" <<<"$errors"; then failed "the error names colorimetry by its codes"; fi
}

for run in $(seq "$runs"); do
  IFS='|' read -r name description expected <<<"${cases[$((run % ${#cases[@]}))]}"
  status=0
  # shellcheck disable=SC2086
  out=$(timeout "$run_timeout" gst-launch-1.0 $description 2>&1) || status=$?
  check_run
  if [[ $failures -ge $max_failures ]]; then
    echo "stopping after $failures failed runs of $run ($hangs hung)" >&2
    exit 1
  fi
done
[[ $failures -eq 0 ]] || fail "$failures of $runs runs failed ($hangs hung)"
echo "$runs runs under load ($(nproc) busy loops): every refused pipeline failed at once with one readable error," \
     "every accepted one ran to its end, none hung"
