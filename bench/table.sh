#!/usr/bin/env bash
# Runs every benchmark that fits in a few minutes and prints one table of their figures
# (figure, value, unit, what it is compared with); writes it as BUILD/bench/results.csv too,
# so that two commits' tables can be compared with diff. A figure whose benchmark or build
# is missing reads "n/a"; one whose benchmark ran without giving it reads "failed", and the
# script then exits 1.
# Usage: table.sh [BUILD (default build/linux)] [SAVER_SECONDS (default 60)]
#
# Each benchmark gives its figures as key=value pairs on its last line of output:
#   BUILD/bench/bench_update                 ns_per_needle=
#   BUILD/bench/bench_draw                   draw_ratio= low= high= picture_pixels=
#   bench/saver_cpu.sh SAVER SECONDS         fps= needles= cpu_s_per_min=   (native, Xvfb)
#   bench/saver_under_wine.sh SCR SECONDS    fps= needles= cpu_s_per_min=   (Wine, Xvfb)
#   bench/sim_runs.sh SIM                    j1_runs_per_s= j2_runs_per_s= ratio=
#   bench/web_frame.sh                       native_ms= web_llvmpipe_ms= web_ratio= web_swiftshader_ms=
#                                            (where the page and the web build's test tools are)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/linux}
seconds=${2:-60}
case "$seconds" in
  '' | *[!0-9]* | 0*) echo "table.sh: the saver seconds must be a whole number from 10: \"$seconds\"" >&2; exit 2 ;;
esac
[ "$seconds" -ge 10 ] || { echo "table.sh: the saver seconds must be a whole number from 10: \"$seconds\"" >&2; exit 2; }
[ -d "$build" ] || { echo "table.sh: no build folder \"$build\"; build it first (make build-linux)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rows=()
failed=0
# row FIGURE VALUE UNIT COMPARED_WITH
row() { rows+=("$1|$2|$3|$4"); }

# The value of KEY in the last line of FILE, or nothing.
field() { tail -n 1 "$1" | tr -d '\r' | tr ' ' '\n' | sed -n "s/^$2=\([-0-9.]*\)\$/\1/p"; }

# measure NAME COMMAND...: runs it, keeps its output in $work/NAME and shows it on stderr.
measure() {
  local name=$1
  shift
  echo "== $name: $*" >&2
  "$@" >"$work/$name" || echo "($name exited with status $?)" >&2
  sed 's/^/   /' "$work/$name" >&2
}
# value NAME KEY: the figure, "n/a" when NAME did not run, "failed" when it gave none.
value() {
  local got
  [ -f "$work/$1" ] || { echo n/a; return; }
  got=$(field "$work/$1" "$2")
  if [ -n "$got" ]; then echo "$got"; else echo failed; fi
}

load=$(cut -d ' ' -f 1 /proc/loadavg)
[ -x "$build/bench/bench_update" ] && measure update "$build/bench/bench_update"
[ -x "$build/bench/bench_draw" ] && measure draw "$build/bench/bench_draw"
[ -x "$root/bench/saver_cpu.sh" ] && [ -x "$build/needlecast" ] &&
  measure native bash "$root/bench/saver_cpu.sh" "$build/needlecast" "$seconds"
scr=$root/build/win64-trace/needlecast.scr
[ -f "$scr" ] && measure wine bash "$root/bench/saver_under_wine.sh" "$scr" "$seconds"
if [ -x "$build/needlecast-sim" ]; then
  # One simulated hour at 60 frames a second.
  echo "== sim: needlecast-sim --frames 216000" >&2
  start=$(date +%s.%N)
  if "$build/needlecast-sim" --frames 216000 >"$work/sim.out"; then
    awk -v start="$start" -v end="$(date +%s.%N)" 'BEGIN { printf "sim_s_per_hour=%.2f\n", end - start }' >"$work/sim"
  else
    echo "needlecast-sim failed" >"$work/sim"
  fi
  cat "$work/sim" >&2
fi
[ -x "$build/needlecast-sim" ] && measure runs bash "$root/bench/sim_runs.sh" "$build/needlecast-sim"
if [ -d "$root/build/npm/node_modules" ] && [ -f "$root/build/web/page/index.html" ] && [ -x "$build/bench/bench_draw" ]; then
  measure web bash "$root/bench/web_frame.sh"
fi

row "scene step (bench_update)" "$(value update ns_per_needle)" "ns per needle per frame" \
  "8333 ns = a 60 Hz frame shared by 2000 needles"
row "draw against reference (bench_draw)" "$(value draw draw_ratio)" "ratio of processor time (median)" \
  "1 = the vertex-array reference"
row "draw ratio: lowest round" "$(value draw low)" "ratio" "the median above"
row "draw ratio: highest round" "$(value draw high)" "ratio" "the median above"
row "draw: reference picture" "$(value draw picture_pixels)" "pixels off by more than 4 levels" \
  "0 of 2073600 = the same picture"
for host in native wine; do
  label="native saver at 1920x1080 on Xvfb"
  [ "$host" = wine ] && label="64-bit .scr (traced) under Wine at 1920x1080 on Xvfb"
  row "$label: frame rate" "$(value $host fps)" "frames per second" "60 = the display's refresh"
  row "$label: needles" "$(value $host needles)" "needles in flight at the end" "2000 = the ceiling"
  row "$label: CPU" "$(value $host cpu_s_per_min)" "CPU seconds per minute" "60 = one core busy"
done
row "needlecast-sim (216000 frames)" "$(value sim sim_s_per_hour)" "seconds per simulated hour" \
  "3600 s = real time"
row "needlecast-sim --runs, one worker" "$(value runs j1_runs_per_s)" "runs of 3600 frames per second" \
  "the two workers' below"
row "needlecast-sim --runs, two workers" "$(value runs j2_runs_per_s)" "runs of 3600 frames per second" \
  "twice one worker's = linear"
row "needlecast-sim --runs: two workers against one" "$(value runs ratio)" "ratio" "$(nproc) = the cores"
row "web page on llvmpipe (headless Chromium), 1920x1080, 2000 needles" "$(value web web_llvmpipe_ms)" \
  "ms per frame (median)" "16.7 ms = 60 Hz"
row "native draw on llvmpipe, the same scene (bench_draw)" "$(value web native_ms)" "ms per frame (median)" \
  "16.7 ms = 60 Hz"
row "web page against native on llvmpipe" "$(value web web_ratio)" "ratio of frame times" "1 = as fast as native"
row "web page in headless Chromium on SwiftShader, the same scene" "$(value web web_swiftshader_ms)" \
  "ms per frame (median)" "16.7 ms = 60 Hz"
row "machine load when the benchmarks began" "$load" "1-minute load average" "$(nproc) = the processor cores"

mkdir -p "$build/bench"
csv=$build/bench/results.csv
{
  echo "figure,value,unit,compared_with"
  for r in "${rows[@]}"; do
    IFS='|' read -r figure val unit compared <<<"$r"
    echo "\"$figure\",$val,\"$unit\",\"$compared\""
    [ "$val" = failed ] && failed=1
  done
} >"$csv"

echo
printf '%-66s %10s  %-34s %s\n' figure value unit "compared with"
for r in "${rows[@]}"; do
  IFS='|' read -r figure val unit compared <<<"$r"
  printf '%-66s %10s  %-34s %s\n' "$figure" "$val" "$unit" "$compared"
done
echo "(written to $csv)"
exit $failed
