#!/usr/bin/env bash
# The same run of needlecast-sim natively and under Wine for each Windows build must end
# in the same two lines. Usage: sim_same_in_every_build.sh wine-run native-sim win-sim...
set -u
wine_run=$1
native=$2
shift 2
args=(--seed 20261206 --frames 20000 --interval 0.016)

expected=$("$native" "${args[@]}" | tail -n 2)
echo "native:"
echo "$expected"
status=0
for exe in "$@"; do
  got=$("$wine_run" "$exe" "${args[@]}" | tr -d '\r' | tail -n 2)
  echo "$exe:"
  echo "$got"
  if [ "$got" != "$expected" ]; then
    echo "FAILED: $exe differs from the native build"
    status=1
  fi
done
[ "$(printf '%s\n' "$expected" | wc -l)" -eq 2 ] || { echo "FAILED: native run printed no closing lines"; status=1; }
exit $status
