#!/usr/bin/env bash
# What the arm64 part of make test costs, in seconds: the linux-arm64 build from nothing (a
# configure and build in a folder of its own), its ctest under qemu, and the arm64 leg of
# sim_same_in_every_build (its runs under qemu), each beside the same run natively.
# Usage: bench/arm64_cost.sh [JOBS]   (the native needlecast-sim built: make build-linux)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${1:-$(nproc)}
native=$root/build/linux/needlecast-sim
[ -x "$native" ] || { echo "arm64_cost.sh: $native is missing; build it first (make build-linux)" >&2; exit 1; }
mkdir -p "$root/build"
build=$(mktemp -d "$root/build/arm64-cost.XXXXXX")
trap 'rm -rf "$build"' EXIT

# timed WHAT COMMAND...: prints the seconds COMMAND took; its output goes to a log, shown
# when it fails.
timed() {
  local what=$1 start=$EPOCHREALTIME
  shift
  if ! "$@" >"$build/log" 2>&1; then
    tail -n 20 "$build/log"
    echo "$what: FAILED"
    return 1
  fi
  awk -v a="$start" -v b="$EPOCHREALTIME" -v what="$what" 'BEGIN { printf "%-66s %7.1f s\n", what, b - a }'
}

echo "the arm64 part of make test, $jobs jobs:"
timed "configure linux-arm64" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" -DNEEDLECAST_BENCH=OFF || exit 1
timed "build linux-arm64" cmake --build "$build" -j "$jobs" || exit 1
timed "ctest linux-arm64 (under qemu)" ctest --test-dir "$build" -j "$jobs" --output-on-failure
for run in "--seed 7 --frames 30000 --interval 0.0123" "--seed 20261206 --frames 216000" "--seed 3 --frames 3000 --interval 0.05"; do
  # shellcheck disable=SC2086
  timed "needlecast-sim $run, native" "$native" $run --digest
  # shellcheck disable=SC2086
  timed "needlecast-sim $run, qemu" /usr/bin/qemu-aarch64 -L / "$build/needlecast-sim" $run --digest
done
