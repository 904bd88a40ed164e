#!/usr/bin/env bash
# Runs the 64-bit saver (a debug build, so that it traces) full screen under Wine on a
# 1920x1080 Xvfb for a given number of seconds, then prints the frame rates it traced and,
# as its last line, "fps=<rate> needles=<count> cpu_s_per_min=<seconds>": the processor
# time of every process of the Wine prefix (the saver, wineserver, Wine's services) over
# the run after its first tenth, per minute.
# Usage: saver_under_wine.sh needlecast.scr [seconds]
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
scr=${1:-}
seconds=${2:-65}
case "$seconds" in
  '' | *[!0-9]* | 0*) echo "saver_under_wine.sh: the seconds must be a whole number from 10: \"$seconds\"" >&2; exit 2 ;;
esac
[ "$seconds" -ge 10 ] || { echo "saver_under_wine.sh: the seconds must be a whole number from 10: \"$seconds\"" >&2; exit 2; }
[ -f "$scr" ] || { echo "saver_under_wine.sh: no saver at \"$scr\"; build it first (make build-trace)" >&2; exit 1; }
# A prefix of its own: tests that end every Wine program in theirs leave this run alone, and
# its processes are the ones counted.
export NEEDLECAST_WINEPREFIX=${NEEDLECAST_WINEPREFIX:-$root/build/wine-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$root/scripts/with-xvfb" --size 1920x1080 bash -c '
  # "pid ticks" for every process of the prefix: user and system time in clock ticks.
  prefix_ticks() {
    for dir in /proc/[0-9]*; do
      grep -qzxF "WINEPREFIX=$NEEDLECAST_WINEPREFIX" "$dir/environ" 2>/dev/null || continue
      stat=$(cat "$dir/stat" 2>/dev/null) || continue
      read -r -a fields <<<"${stat##*) }"
      echo "${dir#/proc/} $((fields[11] + fields[12]))"
    done
  }
  "$1/scripts/wine-prefix" >&2
  "$1/scripts/wine-run" "$2" /s 2>"$3/trace.txt" &
  saver=$!
  settle=$(($4 / 10))
  sleep "$settle"
  prefix_ticks >"$3/ticks.start"
  start=$(date +%s.%N)
  sleep "$(($4 - settle))"
  prefix_ticks >"$3/ticks.end"
  awk -v start="$start" -v end="$(date +%s.%N)" "BEGIN { print end - start }" >"$3/elapsed"
  xdotool key Escape
  wait $saver
' saver "$root" "$scr" "$work" "$seconds"

echo "needlecast.scr /s under Wine, 1920x1080 Xvfb, $seconds s:"
grep -E 'frames rendered|framerate|Needles in flight|Population target' "$work/trace.txt"
[ -n "${KEEP_LOG:-}" ] && cp "$work/trace.txt" "$KEEP_LOG"

fps=$(sed -n 's/^Average framerate *= *\([0-9.]*\).*/\1/p' "$work/trace.txt" | tr -d '\r' | tail -n 1)
needles=$(sed -n 's/^Needles in flight *= *\([0-9]*\).*/\1/p' "$work/trace.txt" | tr -d '\r' | tail -n 1)
cpu=$(awk -v hz="$(getconf CLK_TCK)" -v elapsed="$(cat "$work/elapsed" 2>/dev/null)" '
  FNR == NR { start[$1] = $2; next }
  { used += $2 - ($1 in start ? start[$1] : 0) }
  END { if (elapsed > 0 && used > 0) printf "%.2f", used / hz / elapsed * 60 }' "$work/ticks.start" "$work/ticks.end")
if [ -z "$fps" ] || [ -z "$needles" ] || [ -z "$cpu" ]; then
  echo "saver_under_wine.sh: the saver traced no frame rate or needle count, or no Wine process ran" >&2
  exit 1
fi
echo "fps=$fps needles=$needles cpu_s_per_min=$cpu"
