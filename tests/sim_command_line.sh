#!/usr/bin/env bash
# needlecast-sim as a user runs it: refusals, help, the lines of a run pinned to the last
# digit, and on Linux the picture. Usage: sim_command_line.sh [emulator...] needlecast-sim
set -u
run=("$@")
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
sim() { # stdout without carriage returns; the status of the run
  "${run[@]}" "$@" 2>"$work/err" >"$work/stdout"
  local status=$?
  tr -d '\r' <"$work/stdout"
  return $status
}
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
"--bogus" --bogus
--seed --seed 4294967296
--frames --frames 0
--interval --interval 0
--interval --interval nan
--interval --interval 1e-10
--every --every x
--csv --csv=
--size --png $out_dir/bad.png --size 8193x100
--size --png $out_dir/bad.png --size 0x10
--size --png $out_dir/bad.png --size 10x10x10
EOF_CASES

[[ $(sim --help) == usage:* ]] && [ "$(sim --version)" = "needlecast-sim $("$root/scripts/version")" ]
check "--help prints the usage, --version the program and its version" $?

# A fixed run, pinned: the experiment's draws, rules and constants all meet in these lines,
# and every needle's last state in the digest.
out=$(sim --seed 20261206 --frames 20000 --interval 0.016 --every 5000 --digest)
expected='seed=20261206
pi = 2 * n / c = 2 * 10022 / 6378 = 3.1426779555 
pi = 2 * n / c = 2 * 22854 / 14546 = 3.1423071635 
pi = 2 * n / c = 2 * 35737 / 22707 = 3.1476637160 
pi = 2 * n / c = 2 * 48603 / 31013 = 3.1343630091 
digest=d82ec88f74b864d2
standard_error=0.0107072708 z=-0.67
frames=20000 needles=1999 target=2000 n=48603 c=31013
pi = 2 * n / c = 2 * 48603 / 31013 = 3.1343630091 '
[ "$out" = "$expected" ] &&
  [ "$(sim --seed 20261206 --frames 20000 --interval 0.016 --every 5000)" = "$(grep -v ^digest= <<<"$expected")" ]
check "the fixed run prints its pinned lines, the same but the digest without --digest" $?

# The table: a row every 100 frames and one for the last, its last row the closing tallies.
sim --seed 20261206 --frames 20050 --interval 0.016 --every 100 --csv "$work/run.csv" >/dev/null
[ "$(head -n 1 "$work/run.csv")" = frame,n,c,estimate,standard_error ] && [ "$(wc -l <"$work/run.csv")" = 202 ] &&
  [ "$(sed -n 101p "$work/run.csv" | cut -d, -f1)" = 10000 ] && [ "$(sed -n 2p "$work/run.csv")" = "100,0,0,," ]
check "--csv writes a header, a row every 100 frames, then the last frame's" $?
IFS=, read -r frame n c estimate error < <(tail -n 1 "$work/run.csv" | tr -d '\r')
[ "$frame" = 20050 ] && grep -qF "n=$n c=$c" "$work/stdout" && grep -qF "= $estimate " "$work/stdout" &&
  grep -qF "standard_error=$error " "$work/stdout"
check "its last row ($n, $c, $estimate, $error) is the run's closing tallies" $?

sim --frames 130 --csv "$work/default.csv" >/dev/null && [ "$(cut -d, -f1 "$work/default.csv" | tr -d '\r' | tr '\n' ' ')" = "frame 60 120 130 " ]
check "--csv without --every: a row every 60 frames and the last" $?

# Without a seed, the seed is the time in seconds.
seed=$(sim --frames 1 | sed -n 's/^seed=//p')
[ -n "$seed" ] && [ $(($(date +%s) - seed)) -ge 0 ] && [ $(($(date +%s) - seed)) -lt 60 ]
check "the default seed is the time ($seed)" $?

if [ "$(head -c 2 "${run[-1]}")" = MZ ]; then # a Windows build
  for picture in --png --plot; do
    sim $picture "$out_dir/x.png" >/dev/null
    [ $? -eq 2 ] && [ -z "$(ls -A "$out_dir")" ] && grep -q 'Linux build only' "$work/err"
    check "the Windows build draws no $picture picture and says so" $?
  done
  finish
  exit
fi

# A progress line on a terminal, for runs that take more than a few seconds; none without
# one, or with --quiet. (script gives the run a terminal.)
for how in terminal pipe --quiet; do
  case $how in
    terminal) timeout 3 script -qec "${run[*]} --frames 100000000" /dev/null >"$work/progress" ;;
    pipe) timeout 3 "${run[@]}" --frames 100000000 >/dev/null 2>"$work/progress" ;;
    --quiet) timeout 3 script -qec "${run[*]} --frames 100000000 --quiet" /dev/null >"$work/progress" ;;
  esac
  grep -q $'\r[0-9]* of 100000000 frames ([0-9.]* %), [0-9]* frames/s, [0-9]* s left' "$work/progress"
  [ $? -eq "$([ $how = terminal ] && echo 0 || echo 1)" ]
  check "$how: a progress line on a terminal only" $?
done

refusals <<EOF_CASES
cannot --png $out_dir/no/such/folder/x.png
regular --png $out_dir
cannot --plot $out_dir/no/such/folder/x.png --csv $out_dir/x.csv
cannot --csv $out_dir/no/such/folder/x.csv --plot $out_dir/x.png
--size --plot $out_dir/x.png --size 9000x9000
EOF_CASES

args=(--seed 20261206 --frames 3000 --interval 0.016 --digest)
[ "$(sim "${args[@]}" --png "$work/shot.png" --plot "$work/plot.png" --csv "$work/a.csv" | tail -n 4)" = \
  "$(sim "${args[@]}" | tail -n 4)" ]
check "the same digest and closing lines with and without --png, --plot and --csv" $?
[ "$(identify -format '%m %wx%h' "$work/shot.png")" = "PNG 1024x768" ]
check "--png writes a 1024x768 PNG by default" $?
check_picture "$work/shot.png" "the picture"

# The chart: pi across the middle of the plot's frame (its range is symmetric about pi).
[ "$(identify -format '%wx%h' "$work/plot.png")" = 1024x768 ]
check "--plot draws a 1024x768 chart" $?
rows=$(convert "$work/plot.png" -depth 8 rgb:- | od -An -v -tu1 -w3072 | awk '{
    red = 0; black = 0
    for (i = 1; i < NF; i += 3) { red += $i > 170 && $(i + 1) < 40 && $(i + 2) < 40; black += $i + $(i + 1) + $(i + 2) < 60 }
    if (black > 700) { if (top == "") top = NR; bottom = NR }
    if (red > 600) pi = NR
  } END { print top, bottom, pi }')
read -r top bottom pi_row <<<"$rows"
[ -n "$pi_row" ] && [ $((2 * pi_row - top - bottom)) -ge -3 ] && [ $((2 * pi_row - top - bottom)) -le 3 ]
check "the pi line lies across the middle of the frame (rows $rows)" $?
sim --frames 10 --png "$work/frame.png" --plot "$work/chart.png" --size 320x200 >/dev/null
[ "$(identify -format '%wx%h ' "$work/frame.png" "$work/chart.png")" = "320x200 320x200 " ]
check "--size 320x200 for both pictures" $?

# With no font to be found the text is left out, and the rest is drawn.
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$work/nofonts.conf"
FONTCONFIG_FILE=$work/nofonts.conf "${run[@]}" --seed 20261206 --frames 1 --png "$work/nofont.png" >/dev/null
[ "$(text_pixels "$work/nofont.png")" -eq 0 ] && [ "$(line_runs "$work/nofont.png")" -ge 8 ]
check "no font: the pane without the text" $?
finish
