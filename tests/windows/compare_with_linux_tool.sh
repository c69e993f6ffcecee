#!/bin/bash
# pellix-convert.exe under Wine against the Linux pellix-convert on the same
# input, for all twenty pairs at two even sizes and an odd one: the same exit
# status, and byte for byte the same output (or none from either). Then the
# Windows tool's refusals of a plug-in path that holds no DLL.
# Usage: compare_with_linux_tool.sh <linux pellix-convert> <pellix-convert.exe> <scratch folder>
# Wine's prefix comes from WINEPREFIX.
set -uo pipefail
linux_tool=$1
windows_tool=$2
work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
export WINEDEBUG=-all

formats=(i420 yv12 yuy2 uyvy bgra)
failures=0
compared=0
for size in 64x36 34x22 35x23; do
  width=${size%x*} height=${size#*x}
  # Two frames of random bytes in each format, of the frame size the tool
  # itself counts (read from its refusal of a one-byte input). They stay in
  # the scratch folder for a failure to be repeated.
  printf x >one-byte.raw
  for format in "${formats[@]}"; do
    frame=""
    for probe in bgra i420; do
      [ -n "$frame" ] && break
      frame=$("$linux_tool" -q -s "$size" -f "$format" -t "$probe" one-byte.raw probe.raw 2>&1 |
              sed -n 's/.*whole number of \([0-9]*\)-byte frames.*/\1/p')
    done
    # A size the tool refuses for this format before reading: any bytes do.
    frame=${frame:-$((width * height * 4))}
    head -c $((2 * frame)) /dev/urandom >"in-$format-$size.raw"
  done
  for from in "${formats[@]}"; do
    input=in-$from-$size.raw
    for to in "${formats[@]}"; do
      [ "$from" = "$to" ] && continue
      "$linux_tool" -q -s "$size" -f "$from" -t "$to" "$input" "linux-$from-$to-$size.raw" \
        >/dev/null 2>"linux-$from-$to-$size.err"
      linux_status=$?
      wine "$windows_tool" -q -s "$size" -f "$from" -t "$to" "$input" "windows-$from-$to-$size.raw" \
        >/dev/null 2>"windows-$from-$to-$size.err"
      windows_status=$?
      compared=$((compared + 1))
      if [ "$linux_status" != "$windows_status" ]; then
        echo "FAIL: $from -> $to at $size: exit status $linux_status on Linux, $windows_status on Windows"
        cat "linux-$from-$to-$size.err" "windows-$from-$to-$size.err"
        failures=$((failures + 1))
      elif [ -e "linux-$from-$to-$size.raw" ] || [ -e "windows-$from-$to-$size.raw" ]; then
        if ! cmp -s "linux-$from-$to-$size.raw" "windows-$from-$to-$size.raw"; then
          echo "FAIL: $from -> $to at $size: the outputs differ"
          failures=$((failures + 1))
        fi
      fi
    done
  done
done
echo "compared $compared conversions, $failures differ"

# A plug-in path that holds no DLL: the path and the system's reason, a
# failure status, and no output file.
echo "not a library" >not-a-dll.dll
for plugin in missing.dll not-a-dll.dll; do
  wine "$windows_tool" -q --plugin "$plugin" -s 64x36 -f i420 -t bgra in-i420-64x36.raw refused.raw \
    >/dev/null 2>refused.err
  status=$?
  if [ "$status" -eq 0 ] || [ -e refused.raw ] || ! grep -q "$plugin" refused.err ||
     ! grep -qi "error [0-9]" refused.err; then
    echo "FAIL: --plugin $plugin: status $status, output $( [ -e refused.raw ] && echo written || echo none), message:"
    cat refused.err
    failures=$((failures + 1))
  else
    echo "--plugin $plugin refused (status $status): $(cat refused.err)"
  fi
  rm -f refused.raw
done
[ "$failures" -eq 0 ]
