#!/usr/bin/env bash
# The built plug-in module as a user meets it: gst-inspect-1.0 describes
# pellixconvert and gst-launch-1.0 runs a pipeline through it, both found
# through GST_PLUGIN_PATH. Usage: gst_tools_test.sh MODULE_DIR WORK_DIR [PRELOAD]
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=gst_tools_env.sh
source "$(dirname "$0")/gst_tools_env.sh" "$@"

# A host of the plug-in, not a second copy of it: GStreamer's descriptor is
# the only export, and none of the conversion code is linked in.
module=$module_dir/libgstpellix.so
exports=$(nm -D --defined-only "$module" | awk '{print $3}')
[[ $exports == gst_plugin_pellix_get_desc ]] || fail "libgstpellix.so exports more than its descriptor: $exports"
if nm -C "$module" | grep -qE "InitColorConversion|Planar420ToBGRA|ConvertI420ToBGRA"; then
  fail "libgstpellix.so contains conversion code"
fi
echo "libgstpellix.so: exports only its descriptor and links no conversion code"

inspect=$(gst-inspect-1.0 pellixconvert 2>&1) || fail "gst-inspect-1.0 pellixconvert: $inspect"
for expected in "Long-name                Pellix colour converter" "Klass                    Filter/Converter/Video" \
                "plugin-path" "I420" "YV12" "YUY2" "UYVY" "BGRA" "libgstpellix.so"; do
  grep -qF -- "$expected" <<<"$inspect" || fail "gst-inspect-1.0 output lacks \"$expected\":"$'\n'"$inspect"
done
# The plug-in's licence and origin: a licence GStreamer knows and a URL.
plugin=$(gst-inspect-1.0 pellix 2>&1) || fail "gst-inspect-1.0 pellix: $plugin"
grep -qE "^  License +MIT/X11$" <<<"$plugin" || fail "the plug-in's licence is not MIT/X11:"$'\n'"$plugin"
grep -qE "^  Origin URL +https?://[^ ]+$" <<<"$plugin" || fail "the plug-in's origin is not a URL:"$'\n'"$plugin"
echo "gst-inspect-1.0 pellixconvert: ok"

pipeline=(videotestsrc num-buffers=60 ! video/x-raw,format=I420,width=1280,height=720 ! pellixconvert
          ! video/x-raw,format=BGRA ! fakesink)
out=$(gst-launch-1.0 -q "${pipeline[@]}" 2>&1) || fail "gst-launch-1.0 ${pipeline[*]}: $out"
echo "gst-launch-1.0 ${pipeline[*]}: ok"

out=$(gst-launch-1.0 -q videotestsrc num-buffers=1 ! pellixconvert plugin-path=/nonexistent/libpellix.so ! fakesink 2>&1) &&
  fail "a missing plug-in library was accepted"
grep -qF "/nonexistent/libpellix.so" <<<"$out" || fail "the error does not name the library: $out"
echo "gst-launch-1.0 with a missing plug-in library: refused, naming it"
