#!/usr/bin/env bash
# Refused caps end the pipeline with one error from the element, and never
# hang: many gst-launch-1.0 runs while a busy loop per core competes for the
# processor, each under a timeout. Not yet in CTest: under load about one run
# in ten still waits forever after upstream's not-negotiated error.
# Usage: gst_refusal_test.sh MODULE_DIR
# WORK_DIR [PRELOAD] [RUNS]
set -euo pipefail
module_dir=$1
work=$2
preload=${3:-}
runs=${4:-40}
mkdir -p "$work"
export GST_PLUGIN_PATH=$module_dir
export GST_REGISTRY=$work/registry.bin
if [[ -n $preload ]]; then
  export LD_PRELOAD=$preload
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
fi

fail() { echo "FAIL: $*" >&2; exit 1; }

burners=()
stop_burners() { for pid in "${burners[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap stop_burners EXIT
for _ in $(seq "$(nproc)"); do
  bash -c 'while :; do :; done' &
  burners+=($!)
done

# name | pipeline | text the one error of the element holds ("": the element
# may post a warning naming the reason, at most one; upstream ends the
# stream not-negotiated)
cases=(
  "odd BGRA to YUY2|videotestsrc num-buffers=5 ! video/x-raw,format=BGRA,width=641,height=481 ! pellixconvert ! video/x-raw,format=YUY2 ! fakesink|has no YUY2 frame"
  "downstream asks for BT.709|videotestsrc num-buffers=5 ! video/x-raw,format=BGRA,width=64,height=48 ! pellixconvert ! video/x-raw,format=I420,colorimetry=bt709 ! fakesink|downstream asks for colorimetry bt709"
  "BT.709 input|videotestsrc num-buffers=5 ! video/x-raw,format=I420,width=1280,height=720,colorimetry=bt709 ! pellixconvert ! video/x-raw,format=BGRA ! fakesink|"
)

for run in $(seq "$runs"); do
  IFS='|' read -r name description expected <<<"${cases[$((run % ${#cases[@]}))]}"
  status=0
  # shellcheck disable=SC2086
  out=$(timeout 30 gst-launch-1.0 $description 2>&1) || status=$?
  [[ $status -ne 124 ]] || fail "run $run ($name) hung:"$'\n'"$out"
  [[ $status -ne 0 ]] || fail "run $run ($name) ended without an error:"$'\n'"$out"
  count=$(grep -c "pellixconvert0: pellixconvert cannot use these caps" <<<"$out" || true)
  grep -q "^ERROR: " <<<"$out" || fail "run $run ($name) posted no error:"$'\n'"$out"
  if [[ -n $expected ]]; then
    [[ $count -eq 1 ]] || fail "run $run ($name): the element posted $count messages, not one:"$'\n'"$out"
    grep -qF -- "$expected" <<<"$out" || fail "run $run ($name) does not say \"$expected\":"$'\n'"$out"
  else
    [[ $count -le 1 ]] || fail "run $run ($name): the element posted $count messages:"$'\n'"$out"
  fi
done
echo "$runs refused pipelines under load: each ended with one message from the element, none hung"
