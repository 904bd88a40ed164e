#!/usr/bin/env bash
# needlecast-sim --runs on one worker and on two: runs per second of simulated minutes, and
# their ratio, measured one after the other in one call.
# Usage: sim_runs.sh NEEDLECAST_SIM [RUNS (default 60)]
# Last line: j1_runs_per_s= j2_runs_per_s= ratio=
set -u
sim=$1
runs=${2:-60}
rate() { # jobs: runs per second
  local start end
  start=$(date +%s.%N)
  "$sim" --seed 1 --runs "$runs" --frames 3600 --jobs "$1" --quiet >/dev/null || { echo "needlecast-sim --jobs $1 failed" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v r="$runs" -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", r / (e - s) }'
}
one=$(rate 1)
two=$(rate 2)
echo "$runs runs of 3600 frames: $one runs/s on one worker, $two on two"
awk -v a="$one" -v b="$two" 'BEGIN { printf "j1_runs_per_s=%s j2_runs_per_s=%s ratio=%.2f\n", a, b, b / a }'
