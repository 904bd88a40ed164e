#!/usr/bin/env bash
# A long run of the saver on a 1920x1080 Xvfb, sampling its memory once a period, then its
# traced frame counts. Both savers are debug builds at -O2: they trace, and they stop at
# the first frame that leaves a GL error behind.
#   linux:   needlecast --window, resized to 1920x1080; resident set from /proc
#   windows: needlecast.scr /s under Wine; working set sampled by working_set.exe
# Usage: long_run.sh linux|windows SECONDS [SAMPLE_EVERY_SECONDS]
# Growth is measured from the first sample once the population has settled (a third of
# the run, at most five minutes in) to the last; the goal is at most 1 MiB.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kind=${1:-}
seconds=${2:-}
every=${3:-60}
case "$kind:$seconds:$every" in
  linux:[0-9]*:[0-9]* | windows:[0-9]*:[0-9]*) ;;
  *) echo "usage: long_run.sh linux|windows SECONDS [SAMPLE_EVERY_SECONDS]" >&2; exit 2 ;;
esac
samples=$((seconds / every + 1))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "$kind" = linux ]; then
  saver=$root/build/linux-trace/needlecast
  [ -x "$saver" ] || { echo "long_run.sh: build it first: make bench-long (or see the Makefile)" >&2; exit 1; }
  "$root/scripts/with-xvfb" --size 1920x1080 bash -c '
    "$1" --window 2>"$2/trace.txt" &
    saver=$!
    for _ in $(seq 1 50); do
      id=$(xdotool search --onlyvisible --name "^Needlecast\$" 2>/dev/null | head -n 1)
      [ -n "$id" ] && break
      sleep 0.2
    done
    xdotool windowsize "$id" 1920 1080
    start=$(date +%s)
    for i in $(seq 1 "$4"); do
      [ "$i" -gt 1 ] && sleep "$3"
      kill -0 $saver 2>/dev/null || break
      echo "$(($(date +%s) - start)) $(awk "/^VmRSS/ { print \$2 }" /proc/$saver/status)" >>"$2/samples.txt"
    done
    kill -TERM $saver
    wait $saver
    echo "exit $?" >>"$2/trace.txt"
  ' long_run "$saver" "$work" "$every" "$samples"
  what="needlecast --window at 1920x1080 (resident set, KiB)"
else
  saver=$root/build/win64-trace/needlecast.scr
  sampler=$root/build/win64-trace/working_set.exe
  [ -f "$saver" ] && [ -f "$sampler" ] || { echo "long_run.sh: build it first: make bench-long" >&2; exit 1; }
  # A prefix of its own: tests that end every Wine program in theirs leave this run alone.
  export NEEDLECAST_WINEPREFIX=$root/build/wine-long
  "$root/scripts/with-xvfb" --size 1920x1080 bash -c '
    "$1" "$2" /s 2>"$4/trace.txt" &
    saver=$!
    "$1" "$3" needlecast.scr "$5" "$6" >"$4/samples.txt" 2>"$4/sampler.txt"
    xdotool key Escape
    wait $saver
    echo "exit $?" >>"$4/trace.txt"
  ' long_run "$root/scripts/wine-run" "$saver" "$sampler" "$work" "$every" "$samples"
  tr -d '\r' <"$work/samples.txt" >"$work/samples.clean" && mv "$work/samples.clean" "$work/samples.txt"
  what="needlecast.scr /s under Wine at 1920x1080 (working set, KiB)"
fi

echo "$what, $seconds s, a sample every $every s:"
awk '{ printf "  %6d s  %8d KiB\n", $1, $2 }' "$work/samples.txt"
grep -E 'frames rendered|framerate|Needles in flight|Population target|Assert|^exit' "$work/trace.txt" | sed 's/^/  /'
settle=$((seconds / 3 < 300 ? seconds / 3 : 300))
awk -v settle="$settle" '
  $1 >= settle && base == "" { base = $2; base_t = $1 }
  { last = $2; last_t = $1; if ($2 > peak) peak = $2 }
  END {
    if (base == "") { print "  no sample after the population settled"; exit 1 }
    growth = last - base
    printf "  settled at %d s: %d KiB; last at %d s: %d KiB; growth %d KiB; peak %d KiB\n", base_t, base, last_t, last, growth, peak
    printf "  growth of at most 1 MiB: %s\n", (growth <= 1024 ? "yes" : "NO")
  }' "$work/samples.txt"
if grep -q Assert "$work/trace.txt"; then
  echo "  a guard failed (a GL error stops a debug build)"
else
  echo "  GL errors: none (glGetError checked after every frame)"
fi
