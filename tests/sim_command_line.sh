#!/usr/bin/env bash
# needlecast-sim as a user runs it: refusals, help, the lines of a run pinned to the last
# digit, and on Linux the picture. Usage: sim_command_line.sh [emulator] needlecast-sim
set -u
run=("$@")
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
sim() { # stdout without carriage returns; the status of the run
  "${run[@]}" "$@" 2>"$work/err" >"$work/stdout"
  local status=$?
  tr -d '\r' <"$work/stdout"
  return $status
}
linux=$([ $# -eq 1 ] && echo 1 || echo 0)
out_dir=$work/out
mkdir "$out_dir"

# Refusals: exit code 2, nothing on stdout, one line on stderr naming the option, and no
# file left behind.
refusals() {
  while read -r name args; do
    # shellcheck disable=SC2086
    out=$(sim $args)
    code=$?
    err=$(tr -d '\r' <"$work/err")
    [ "$code" -eq 2 ] && [ -z "$out" ] && [ "$(wc -l <<<"$err")" -eq 1 ] && [[ $err == *"$name"* ]] &&
      [ -z "$(ls -A "$out_dir")" ]
    check "refuses $args (code $code: $err)" $?
  done
}
refusals <<EOF_CASES
--bogus --bogus
--seed --seed 4294967296
--seed --seed -1
--frames --frames 0
--interval --interval 0
--interval --interval nan
--interval --interval 1e-10
--every --every x
--size --png $out_dir/bad.png --size 8193x100
--size --png $out_dir/bad.png --size 0x10
--size --png $out_dir/bad.png --size 10x10x10
EOF_CASES

[[ $(sim --help) == usage:* ]]
check "--help prints the usage" $?

# A fixed run, pinned: the experiment's draws, rules and constants all meet in these lines.
out=$(sim --seed 20261206 --frames 20000 --interval 0.016 --every 5000)
expected='seed=20261206
pi = 2 * n / c = 2 * 10022 / 6378 = 3.1426779555 
pi = 2 * n / c = 2 * 22854 / 14546 = 3.1423071635 
pi = 2 * n / c = 2 * 35737 / 22707 = 3.1476637160 
pi = 2 * n / c = 2 * 48603 / 31013 = 3.1343630091 
frames=20000 needles=1999 target=2000 n=48603 c=31013
pi = 2 * n / c = 2 * 48603 / 31013 = 3.1343630091 '
[ "$out" = "$expected" ]
check "the fixed run prints its pinned lines" $?

# Without a seed, the seed is the time in seconds.
seed=$(sim --frames 1 | sed -n 's/^seed=//p')
[ -n "$seed" ] && [ $(($(date +%s) - seed)) -ge 0 ] && [ $(($(date +%s) - seed)) -lt 60 ]
check "the default seed is the time ($seed)" $?

if [ "$linux" = 0 ]; then
  sim --png "$out_dir/x.png" >/dev/null
  [ $? -eq 2 ] && [ -z "$(ls -A "$out_dir")" ] && grep -q 'Linux build only' "$work/err"
  check "the Windows build draws no picture and says so" $?
  finish
  exit
fi

refusals <<EOF_CASES
cannot --png $out_dir/no/such/folder/x.png
regular --png $out_dir
EOF_CASES

args=(--seed 20261206 --frames 3000 --interval 0.016)
[ "$(sim "${args[@]}" --png "$work/shot.png" | tail -n 2)" = "$(sim "${args[@]}" | tail -n 2)" ]
check "the same closing lines with and without --png" $?
[ "$(identify -format '%m %wx%h' "$work/shot.png")" = "PNG 1024x768" ]
check "--png writes a 1024x768 PNG by default" $?
check_picture "$work/shot.png" "the picture"
sim --seed 1 --frames 10 --png "$work/small.png" --size 152x112 >/dev/null
[ "$(identify -format '%wx%h' "$work/small.png")" = 152x112 ]
check "--size 152x112" $?

# With no font to be found the text is left out, and the rest is drawn.
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$work/nofonts.conf"
FONTCONFIG_FILE=$work/nofonts.conf "$1" --seed 20261206 --frames 1 --png "$work/nofont.png" >/dev/null
[ "$(text_pixels "$work/nofont.png")" -eq 0 ] && [ "$(line_runs "$work/nofont.png")" -ge 8 ]
check "no font: the pane without the text" $?
finish
