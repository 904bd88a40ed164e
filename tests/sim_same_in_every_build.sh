#!/usr/bin/env bash
# The same runs in every build end in the same digest of the whole experiment state and the
# same closing lines. Usage: sim_same_in_every_build.sh LABEL=COMMAND...: the first build is
# the reference; COMMAND is needlecast-sim after what runs it (an emulator), split at spaces.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# The third run's frames are too slow for the population to grow; the last is many runs
# (in worker processes, or one after another where there are none) and their summary.
runs=("--seed 7 --frames 30000 --interval 0.0123" "--seed 20261206 --frames 216000" "--seed 3 --frames 3000 --interval 0.05"
  "--seed 11 --runs 12 --frames 1500 --jobs 2")
for build in "$@"; do # the builds side by side, each its runs in turn
  read -ra command <<<"${build#*=}"
  # shellcheck disable=SC2086
  for i in "${!runs[@]}"; do "${command[@]}" ${runs[$i]} $([[ ${runs[$i]} == *--runs* ]] || echo --digest) 2>&1 | tr -d '\r' | tail -n 4 >"$work/${build%%=*}.$i"; done &
done
wait
for i in "${!runs[@]}"; do
  for build in "$@"; do
    out=$(cat "$work/${build%%=*}.$i")
    [[ $out == digest=* || $out == *" ks_p=0."* ]] && [ "$out" = "$(cat "$work/${1%%=*}.$i")" ]
    same=$? # before the line's own $(...) sets $? again
    check "${build%%=*}, ${runs[$i]}: ${out%%$'\n'*}, $(sed -n 's/.* n=/n=/p' <<<"$out")" $same
  done
done
finish
