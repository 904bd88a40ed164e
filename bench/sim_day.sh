#!/usr/bin/env bash
# A simulated day of the experiment: needlecast-sim for 24 hours at 60 frames a second
# (5,184,000 frames), twice with the same seed. Prints each run's time and peak memory,
# whether the two runs printed the same lines, and how far the estimate lies from pi in
# standard errors.
# Usage: sim_day.sh [needlecast-sim] [seed]
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sim=${1:-$root/build/linux/needlecast-sim}
seed=${2:-20261206}
frames=5184000
[ -x "$sim" ] || { echo "sim_day.sh: $sim is missing; build it first (make build-linux)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "needlecast-sim --seed $seed --frames $frames (24 simulated hours at 60 fps), twice:"
for run in 1 2; do
  /usr/bin/time -f "%e %M" -o "$work/time$run" "$sim" --seed "$seed" --frames "$frames" >"$work/out$run"
  read -r seconds peak_kib <"$work/time$run"
  echo "  run $run: $seconds s, peak resident set $peak_kib KiB"
done
tail -n 2 "$work/out1" | sed 's/^/  /'
status=0
if cmp -s "$work/out1" "$work/out2"; then
  echo "  both runs printed identical lines"
else
  echo "  the runs DIFFER:"
  diff "$work/out1" "$work/out2" | head -n 5
  status=1
fi
# Each needle that reaches the pane crosses with p = 2 / pi; the estimate 2n / c has a
# standard error of pi * sqrt((1 - p) / (p n)).
tail -n 2 "$work/out1" | awk '
  /^frames=/ { for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] } }
  /^pi = / { estimate = $NF }
  END {
    pi = 3.14159265358979323846; n = v["n"]; p = 2 / pi
    se = pi * sqrt((1 - p) / (p * n))
    z = (estimate - pi) / se
    printf "  n = %d, estimate %.10f, pi %.10f, standard error %.3g: %.2f standard errors off\n", n, estimate, pi, se, z
    printf "  within 4 standard errors: %s\n", (z <= 4 && z >= -4 ? "yes" : "NO")
    exit !(z <= 4 && z >= -4)
  }' || status=1
exit $status
