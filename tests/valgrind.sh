#!/usr/bin/env bash
# Valgrind memcheck on needlecast-sim (10,000 frames) and on the native saver (20 seconds
# in a window on the Xvfb that scripts/with-xvfb started): no definite or indirect leak and no
# memory error, with suppressions only for the driver and the loader (valgrind.supp).
# Usage: valgrind.sh sim needlecast-sim | saver needlecast
set -u
what=$1
program=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# --keep-debuginfo names the frames of the driver after it is unloaded, so that its
# suppression can match them.
memcheck=(valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect
          --errors-for-leak-kinds=definite,indirect --error-exitcode=99 --keep-debuginfo=yes
          --num-callers=30 --suppressions="$here/valgrind.supp" --log-file="$log")

case "$what" in
  sim)
    expected=$("$program" --seed 7 --frames 10000 | tail -n 2)
    got=$("${memcheck[@]}" "$program" --seed 7 --frames 10000 | tail -n 2)
    code=$?
    [ "$got" = "$expected" ] || { echo "FAILED: the run under valgrind printed other lines:"; echo "$got"; code=1; }
    ;;
  saver)
    "${memcheck[@]}" "$program" --window &
    pid=$!
    sleep 20
    kill -TERM "$pid"
    wait "$pid"
    code=$?
    ;;
  *) echo "usage: valgrind.sh sim|saver program" >&2; exit 2 ;;
esac

grep -E "definitely lost|indirectly lost|ERROR SUMMARY" "$log" | sed 's/^==[0-9]*== */  /'
if [ "$code" -ne 0 ]; then
  echo "FAILED: exit code $code under valgrind (99: memcheck found errors):"
  grep -v "^==[0-9]*== *$" "$log" | tail -n 60
  exit 1
fi
echo "ok: $what under memcheck: no leak and no memory error"
