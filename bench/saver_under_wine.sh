#!/usr/bin/env bash
# Runs the 64-bit saver (a debug build, so that it traces) full screen under Wine on a
# 1920x1080 Xvfb for a given number of seconds, then prints the frame rates it traced.
# Usage: saver_under_wine.sh needlecast.scr [seconds]
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
scr=$1
seconds=${2:-65}
log=$(mktemp)
"$root/scripts/with-xvfb" --size 1920x1080 bash -c '
  "$1" "$2" /s 2>"$3" &
  saver=$!
  sleep "$4"
  xdotool key Escape
  wait $saver
' saver "$root/scripts/wine-run" "$scr" "$log" "$seconds"
echo "needlecast.scr /s under Wine, 1920x1080 Xvfb, $seconds s:"
grep -E 'frames rendered|framerate|Needles in flight|Population target' "$log"
[ -n "${KEEP_LOG:-}" ] && cp "$log" "$KEEP_LOG"
rm -f "$log"
