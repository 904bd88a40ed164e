#!/usr/bin/env bash
# What the native saver costs: SAVER (a needlecast program) runs for SECONDS on the root
# window of a 1920x1080 Xvfb of its own with --fps; the CPU time of all its threads is taken
# from /proc over the run's last two thirds, once the population has had time to settle.
# Usage: saver_cpu.sh SAVER SECONDS
# The last line is: fps=<rate> needles=<count> cpu_s_per_min=<value>, the rate and the
# needles from the line the saver prints as it ends ("unknown" from a saver that prints none).
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case "${2:-}" in
  [1-9] | [1-9][0-9]*) ;;
  *) echo "usage: saver_cpu.sh SAVER SECONDS" >&2; exit 2 ;;
esac
saver=$(realpath "$1") || exit 2
[ -x "$saver" ] || { echo "saver_cpu.sh: $1 is not a program" >&2; exit 2; }
seconds=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CPU seconds (user and system, all threads) of a process so far.
cpu_of() { awk -v hz="$(getconf CLK_TCK)" '{ sub(/.*\) /, ""); print ($12 + $13) / hz }' "/proc/$1/stat"; }
export -f cpu_of

"$root/scripts/with-xvfb" --size 1920x1080 bash -c '
  env -u XSCREENSAVER_WINDOW "$1" --root --fps 2>"$3/stderr.txt" &
  saver=$!
  warm=$(($2 / 3))
  sleep "$warm"
  kill -0 "$saver" 2>/dev/null || exit 1
  start=$(cpu_of "$saver")
  sleep $(($2 - warm))
  end=$(cpu_of "$saver")
  kill -TERM "$saver"
  wait "$saver"
  awk -v a="$start" -v b="$end" -v s=$(($2 - warm)) "BEGIN { printf \"%.2f\n\", (b - a) * 60 / s }" >"$3/cpu.txt"
' saver_cpu "$saver" "$seconds" "$work" || { echo "saver_cpu.sh: the saver did not run:" >&2; cat "$work/stderr.txt" >&2; exit 1; }

read -r fps needles < <(sed -n 's/^needlecast: \([0-9.]*\) fps, \([0-9]*\) needles in flight$/\1 \2/p' "$work/stderr.txt")
echo "saver $saver, $seconds s on 1920x1080, CPU measured over the last $((seconds - seconds / 3)) s"
echo "fps=${fps:-unknown} needles=${needles:-unknown} cpu_s_per_min=$(cat "$work/cpu.txt")"
