#!/usr/bin/env bash
# Builds the fuzz harnesses with clang++ and runs each. Usage: run.sh [build-dir] [seconds | -runs=N] [harness...]
#
# Harnesses: cmdline (the Windows command line), x11_options (the Linux saver's options,
# window ids, Xft.dpi, pointer rule) and sim_args (needlecast-sim's options); all three
# when none is named. Each runs for the given seconds (default 60) or the given number of
# executions, seeded from the checked-in tests/corpus/<harness>, which is only read. New
# inputs, crash files and logs stay in <build-dir>/<harness>/ (default build/fuzz).
# Exits non-zero when any harness finds something.
#
# To fold found inputs into the checked-in seeds, keeping only those that add coverage:
#   build/fuzz/<harness>/fuzz_<harness> -merge=1 tests/corpus/<harness> build/fuzz/<harness>/corpus
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/build/fuzz}
limit=${2:-60}
if [ $# -gt 2 ]; then
  harnesses=("${@:3}")
else
  harnesses=(cmdline x11_options sim_args)
fi

case $limit in
  -runs=*)
    runs=${limit#-runs=}
    case $runs in
      '' | *[!0-9]* | 0) echo "run.sh: -runs needs a positive whole number, not '$runs'" >&2; exit 2 ;;
    esac
    budget=(-runs="$runs")
    ;;
  '' | *[!0-9]* | 0) echo "run.sh: give whole seconds above 0 or -runs=N, not '$limit'" >&2; exit 2 ;;
  *) budget=(-max_total_time="$limit") ;;
esac

# The sources each harness links: the parser, and for the runner the experiment under it.
core=(src/utility/text.cpp src/utility/debug.cpp src/utility/debug_posix.cpp src/utility/qzmath.cpp src/utility/clock.cpp
      src/utility/clock_posix.cpp src/utility/timer.cpp src/stick.cpp src/grid.cpp src/render.cpp)
sources_of() {
  case $1 in
    cmdline) echo src/host/cmdline.cpp ;;
    x11_options) echo src/x11/options.cpp src/utility/text.cpp ;;
    sim_args) echo src/sim/sim.cpp "${core[@]}" ;;
    *) return 1 ;;
  esac
}

for harness in "${harnesses[@]}"; do
  if ! sources_of "$harness" >/dev/null; then
    echo "run.sh: no harness '$harness' (cmdline, x11_options, sim_args)" >&2
    exit 2
  fi
done

mkdir -p "$out"
out=$(cd "$out" && pwd)

# Every harness built first, so that a build error stops the run before any fuzzing.
for harness in "${harnesses[@]}"; do
  mkdir -p "$out/$harness"
  read -r -a sources <<<"$(sources_of "$harness")"
  echo "building fuzz_$harness"
  (cd "$root" && clang++ -std=c++17 -g -O1 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Isrc "fuzz/fuzz_$harness.cpp" "${sources[@]}" -o "$out/$harness/fuzz_$harness")
done

status=0
for harness in "${harnesses[@]}"; do
  dir=$out/$harness
  seeds=$root/tests/corpus/$harness
  mkdir -p "$dir/corpus"
  log=$dir/fuzz.log
  stamp=$dir/.started
  touch "$stamp"
  started=$(date +%s%N)
  # From inside the build folder, so that nothing libFuzzer writes lands in the tree; new
  # inputs go to the first corpus folder only.
  set +e
  (cd "$dir" && ./"fuzz_$harness" "${budget[@]}" -max_len=128 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$dir/" -dict="$root/fuzz/$harness.dict" corpus "$seeds") >"$log" 2>&1
  code=$?
  set -e
  ended=$(date +%s%N)

  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  executions=${executions:-0}
  millis=$(((ended - started) / 1000000))
  rate=$((millis > 0 ? executions * 1000 / millis : 0))
  found=$(find "$dir" -maxdepth 1 -type f -newer "$stamp" \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  printf '%s: %s executions in %d.%03d s (%s/s), ' "$harness" "$executions" $((millis / 1000)) $((millis % 1000)) "$rate"
  if [ "$code" -eq 0 ] && [ -z "$found" ]; then
    echo "nothing found"
  else
    echo "FOUND something (libFuzzer exit $code)"
    tail -n 40 "$log"
    [ -z "$found" ] || printf '%s\n' "$found" | sed 's/^/  input: /'
    echo "  log: $log"
    status=1
  fi
done
exit $status
