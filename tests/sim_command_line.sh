#!/usr/bin/env bash
# needlecast-sim from the command line: bad arguments, help, progress and the closing lines.
# Usage: sim_command_line.sh [emulator] needlecast-sim
set -u
run=("$@")
failures=0
passes=0

check() { # name, condition result
  if [ "$2" -eq 0 ]; then passes=$((passes + 1)); else failures=$((failures + 1)); echo "FAILED: $1"; fi
}

# Bad arguments: exit code 2, one line on stderr that names the argument.
expect_refusal() { # name-in-message, args...
  local name=$1; shift
  local out err code
  out=$("${run[@]}" "$@" 2>/tmp/sim_err.$$); code=$?
  err=$(tr -d '\r' </tmp/sim_err.$$)
  [ "$code" -eq 2 ] && [ -z "$out" ] && [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [[ "$err" == *"$name"* ]]
  check "refuses $* (code $code, stderr '$err')" $?
}
expect_refusal --bogus --bogus
expect_refusal --seed --seed
expect_refusal --seed --seed 4294967296
expect_refusal --seed --seed abc
expect_refusal --frames --frames 0
expect_refusal --frames --frames -5
expect_refusal --interval --interval 0
expect_refusal --interval --interval -1
expect_refusal --interval --interval nan
expect_refusal --interval --interval inf
expect_refusal --every --every x

out=$("${run[@]}" --help | tr -d '\r'); code=$?
[ "$code" -eq 0 ] && [[ "$out" == usage:* ]]
check "--help prints the usage" $?

# A short run with progress: K lines of estimate, then the two closing lines.
out=$("${run[@]}" --seed 5 --frames 600 --every 100 | tr -d '\r'); code=$?
[ "$code" -eq 0 ]
check "short run exits with 0" $?
lines=$(printf '%s\n' "$out" | wc -l)
[ "$lines" -eq 9 ]
check "seed line, 6 progress lines and 2 closing lines (got $lines)" $?
printf '%s\n' "$out" | head -n 1 | grep -qx 'seed=5'
check "first line names the seed" $?
[ "$(printf '%s\n' "$out" | grep -c '^pi = 2 \* n / c = 2 \* [0-9]* / [0-9]* = [0-9]*\.[0-9]\{10\}')" -eq 7 ]
check "estimate lines have the screen's form" $?
printf '%s\n' "$out" | tail -n 2 | head -n 1 | grep -qE '^frames=600 needles=[0-9]+ target=[0-9]+ n=[0-9]+ c=[0-9]+$'
check "summary line" $?
[ "$(printf '%s\n' "$out" | sed -n 7p)" = "$(printf '%s\n' "$out" | tail -n 1)" ]
check "the last progress line equals the final estimate" $?

# Without a seed, the seed is the time and is printed.
out=$("${run[@]}" --frames 1 | tr -d '\r')
seed=$(printf '%s\n' "$out" | head -n 1 | sed -n 's/^seed=\([0-9]*\)$/\1/p')
now=$(date +%s)
[ -n "$seed" ] && [ $((now - seed)) -ge 0 ] && [ $((now - seed)) -lt 600 ]
check "default seed is the time in seconds" $?

# The Windows builds draw no pictures and say so.
if [ "$#" -gt 1 ]; then
  expect_refusal --png --png shot.png
  [ ! -e shot.png ]
  check "no picture file from the Windows build" $?
fi

rm -f /tmp/sim_err.$$
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
