#!/usr/bin/env bash
# A simulated day of the experiment: needlecast-sim for 24 hours at 60 frames a second
# (5,184,000 frames), twice with the same seed. Prints each run's time and peak memory,
# whether the two runs printed the same lines, and how far the estimate lies from pi in
# standard errors (needlecast-sim's z).
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
tail -n 3 "$work/out1" | sed 's/^/  /'
status=0
if cmp -s "$work/out1" "$work/out2"; then
  echo "  both runs printed identical lines"
else
  echo "  the runs DIFFER:"
  diff "$work/out1" "$work/out2" | head -n 5
  status=1
fi
z=$(sed -n 's/^standard_error=.* z=//p' "$work/out1")
within=$(awk -v z="$z" 'BEGIN { print (z <= 4 && z >= -4) ? "yes" : "NO" }')
echo "  within 4 standard errors: $within"
[ "$within" = yes ] || status=1
exit $status
