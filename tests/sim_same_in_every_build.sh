#!/usr/bin/env bash
# The same runs in every build end in the same digest of the whole experiment state and the
# same closing lines. Usage: sim_same_in_every_build.sh LABEL=COMMAND...: the first build is
# the reference; COMMAND is needlecast-sim after what runs it (an emulator), split at spaces.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# The last run's frames are too slow for the population to grow.
runs=("--seed 7 --frames 30000 --interval 0.0123" "--seed 20261206 --frames 216000" "--seed 3 --frames 3000 --interval 0.05")
for build in "$@"; do # the builds side by side, each its runs in turn
  read -ra command <<<"${build#*=}"
  # shellcheck disable=SC2086
  for i in "${!runs[@]}"; do "${command[@]}" ${runs[$i]} --digest 2>&1 | tr -d '\r' | tail -n 4 >"$work/${build%%=*}.$i"; done &
done
wait
for i in "${!runs[@]}"; do
  for build in "$@"; do
    out=$(cat "$work/${build%%=*}.$i")
    [[ $out == digest=* ]] && [ "$out" = "$(cat "$work/${1%%=*}.$i")" ]
    check "${build%%=*}, ${runs[$i]}: ${out%%$'\n'*}, $(sed -n 's/.* n=/n=/p' <<<"$out")" $?
  done
done
finish
