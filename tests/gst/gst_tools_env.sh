# shellcheck shell=bash
# Sourced by the scripts that run GStreamer's own tools on the built module:
# GST_PLUGIN_PATH finds it, a registry of the script's own keeps parallel
# tests apart, and `fail` ends the script with a message.
# Usage: source gst_tools_env.sh MODULE_DIR WORK_DIR [PRELOAD]
module_dir=$1
work=$2
preload=${3:-}
mkdir -p "$work"
export GST_PLUGIN_PATH=$module_dir
export GST_REGISTRY=$work/registry.bin
if [[ -n $preload ]]; then
  # A sanitizer build's module in uninstrumented programs: the runtimes go
  # first; the programs' own leaks at exit are GStreamer's, not ours.
  export LD_PRELOAD=$preload
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
