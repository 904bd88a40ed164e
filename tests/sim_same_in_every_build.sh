#!/usr/bin/env bash
# The same run natively, under Wine in each Windows build and under node in the browser's
# build ends in the same two lines.
# Usage: sim_same_in_every_build.sh wine-run native-sim other-sim... (a .js one runs under node)
set -u
wine_run=$1
native=$2
shift 2
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
args=(--seed 7 --frames 30000 --interval 0.0123)
expected=$("$native" "${args[@]}" | tail -n 2)
for exe in "$@"; do
  case $exe in
    *.js) runner=(node --no-experimental-fetch) ;;
    *) runner=("$wine_run") ;;
  esac
  [ "$("${runner[@]}" "$exe" "${args[@]}" | tr -d '\r' | tail -n 2)" = "$expected" ] && [ -n "$expected" ]
  check "${exe##*/build/} ends as the native build does ($expected)" $?
done
finish
