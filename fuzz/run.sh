#!/usr/bin/env bash
# Builds the command-line fuzz harness with clang++ and runs it. Usage: run.sh [build-dir] [seconds]
# Corpus, crash files and the log all stay in the build folder (default build/fuzz, 60 s).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/build/fuzz}
seconds=${2:-60}
case $seconds in
  '' | *[!0-9]*) echo "run.sh: seconds must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac
mkdir -p "$out"
out=$(cd "$out" && pwd)

clang++ -std=c++17 -g -O1 -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/src" "$root/fuzz/fuzz_cmdline.cpp" "$root/src/host/cmdline.cpp" \
  -o "$out/fuzz_cmdline"

# Seeds: the lines Windows starts a saver with, and a few awkward ones.
corpus=$out/corpus
mkdir -p "$corpus"
if [ -z "$(ls -A "$corpus")" ]; then
  printf '%s' '"C:\Program Files\Needle cast\needlecast.scr" /p 1234' >"$corpus/seed-preview"
  printf '%s' 'C:\WINDOWS\NEEDLE~1.SCR /c:5678' >"$corpus/seed-configure"
  printf '%s' 'needlecast.scr /S' >"$corpus/seed-fullscreen"
  printf '%s' 'needlecast.scr -a 4294967297' >"$corpus/seed-password"
  printf '"C:\\\x81"dir\\n.scr"\t/l   42' >"$corpus/seed-double-byte"
  printf '"unclosed /s' >"$corpus/seed-unclosed"
fi

cat >"$out/cmdline.dict" <<'EOF'
"\x22"
" "
"\x09"
"/"
"-"
":"
"\x81"
"/s"
"/p "
"/l"
"/c:"
"/a "
"4294967296"
EOF

# From inside the build folder, so that nothing libFuzzer writes lands in the tree.
log=$out/fuzz.log
set +e
(cd "$out" && ./fuzz_cmdline -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$out/" -dict="$out/cmdline.dict" "$corpus") >"$log" 2>&1
status=$?
set -e

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
echo "executions: ${executions:-unknown}"
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log"
  echo "libFuzzer failed (exit $status); log $log, artifacts in $out/" >&2
  exit 1
fi
echo "no crash in ${seconds}s; log $log"
