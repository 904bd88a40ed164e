#!/usr/bin/env bash
# Builds the fuzz harnesses (the fuzz preset) and runs each with libFuzzer.
# Usage: fuzz.sh [seconds | -runs=N] [harness...]   (default: 60 seconds each, all five:
# cmdline, x11_options, sim_args, programs, web_query). Seeded from the checked-in
# tests/corpus/<harness>, which is only read; new inputs, crash files and logs stay in
# build/fuzz/<harness>/.
# Exits non-zero when any harness finds something.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
limit=${1:-60}
harnesses=("${@:2}")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(cmdline x11_options sim_args programs web_query)
case $limit in
  -runs=[1-9]*) budget=("$limit") ;;
  [1-9]*) budget=(-max_total_time="$limit") ;;
  *) echo "fuzz.sh: give whole seconds or -runs=N, not '$limit'" >&2; exit 2 ;;
esac

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${harnesses[@]/#/fuzz_}"

status=0
for harness in "${harnesses[@]}"; do
  dir=$root/build/fuzz/$harness
  mkdir -p "$dir/corpus"
  # From inside its folder, so that nothing libFuzzer writes lands in the tree; new inputs
  # go to the first corpus folder only.
  if (cd "$dir" && "$root/build/fuzz/fuzz/fuzz_$harness" "${budget[@]}" -max_len=128 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$dir/" -dict="$root/fuzz/$harness.dict" \
        corpus "$root/tests/corpus/$harness") >"$dir/fuzz.log" 2>&1; then
    echo "$harness: $(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz.log") executions, nothing found"
  else
    echo "$harness: FOUND something; log: $dir/fuzz.log"
    tail -n 40 "$dir/fuzz.log"
    status=1
  fi
done
exit $status
