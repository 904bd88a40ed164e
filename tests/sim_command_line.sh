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
--runs --runs 0
--runs --runs 7 --seed 4294967290 --frames 1
--jobs --jobs 0 --runs 2
--jobs --jobs 257 --runs 2
--jobs --jobs 2
--every --runs 2 --every 5
--png --runs 2 --png $out_dir/x.png
--digest --runs 2 --digest
EOF_CASES
[ "$(sim --runs 6 --seed 4294967290 --frames 1 | head -n 1)" = seeds=4294967290-4294967295 ]
check "--runs reaches the last seed, 4294967295" $?

# Many runs: each row is the single run of its seed, the same for one job or two (on
# Windows the runs go one after another either way), the summary's mean that of the rows.
count=$([ ${#run[@]} -eq 1 ] && echo 24 || echo 5)
for jobs in 1 2; do sim --seed 500 --runs "$count" --frames 2000 --jobs $jobs --csv "$work/runs$jobs.csv" --digest >"$work/runs$jobs"; done
cmp -s "$work/runs1" "$work/runs2" && cmp -s "$work/runs1.csv" "$work/runs2.csv" &&
  [ "$(head -n 1 "$work/runs1.csv")" = seed,n,c,estimate,z,digest ] &&
  [ "$(tail -n +2 "$work/runs1.csv" | cut -d, -f1 | tr '\n' ' ')" = "$(seq -s ' ' 500 $((499 + count))) " ]
check "--runs $count: the same rows, seeds 500 on, and summary for --jobs 1 and 2" $?
rows_ok=0
while IFS=, read -r seed n c estimate z digest; do
  single=$(sim --seed "$seed" --frames 2000 --digest)
  grep -qx "digest=$digest" <<<"$single" && grep -qF "n=$n c=$c" <<<"$single" && grep -qF "= $estimate " <<<"$single" &&
    awk -v a="$z" -v b="$(sed -n 's/^standard_error=.* z=//p' <<<"$single")" 'BEGIN { exit !((a - b) ^ 2 < 0.0051 ^ 2) }' ||
    rows_ok=1
done < <(tail -n +2 "$work/runs1.csv" | tr -d '\r')
[ $rows_ok -eq 0 ]
check "each row is its seed's single run" $?
# Every figure of the closing line from the rows, by the figures' definitions: the sample
# standard deviations divide by count - 1; D is the largest gap between the z values'
# distribution and the normal law's, p Kolmogorov's law at Stephens' corrected D.
wrong=$(python3 - "$work/runs1.csv" "$(tail -n 1 "$work/runs1")" <<'EOF'
import csv, math, sys
rows = list(csv.DictReader(open(sys.argv[1], newline="")))
line = dict(item.split("=") for item in sys.argv[2].split())
count = len(rows)
estimates = [2 * int(r["n"]) / int(r["c"]) for r in rows]
zs = sorted(float(r["z"]) for r in rows)
def mean_sd(values):
    m = sum(values) / len(values)
    return m, math.sqrt(sum((v - m) ** 2 for v in values) / (len(values) - 1))
mean, sd = mean_sd(estimates)
z_mean, z_sd = mean_sd(zs)
mean_n = round(sum(int(r["n"]) for r in rows) / count)
law = lambda x: 0.5 * math.erfc(-x / math.sqrt(2))
d = max(max((i + 1) / count - law(z), law(z) - i / count) for i, z in enumerate(zs))
lam = (math.sqrt(count) + 0.12 + 0.11 / math.sqrt(count)) * d
p = min(1, 2 * sum((-1) ** (j - 1) * math.exp(-2 * j * j * lam * lam) for j in range(1, 10000)))
expected = {  # figure: (value, tolerance), the z values being rounded to 4 places in the rows
    "runs": (count, 0), "mean": (mean, 2e-10), "sd": (sd, 2e-10),
    "sigma": (math.pi * math.sqrt((math.pi - 2) / (2 * mean_n)), 2e-10),
    "z_mean": (z_mean, 2e-4), "z_sd": (z_sd, 2e-4),
    "within_2sigma": (sum(abs(z) <= 2 for z in zs) / count, 1e-4), "ks_d": (d, 2e-4), "ks_p": (p, 1e-3)}
print(" ".join(f"{k}={line.get(k)}~{v:.10g}" for k, (v, tol) in expected.items()
               if k not in line or abs(float(line[k]) - v) > tol))
EOF
) || wrong="(the check failed to run)"
[ -z "$wrong" ]
check "every figure of the closing line is the rows' (${wrong:-all})" $?

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
timeout 3 script -qec "${run[*]} --runs 100000 --frames 600" /dev/null >"$work/progress"
grep -q $'\r[0-9]* of 100000 runs ([0-9.]* %), [0-9.]* runs/s, [0-9]* s left' "$work/progress"
check "--runs: a progress line of runs" $?
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

# The runs against the theory (natively: the emulators take minutes): 200 runs of 3,000
# frames, their z values tested against the standard normal law, and their histogram.
if [ ${#run[@]} -eq 1 ]; then
  ks_p=$(sim --seed 1 --runs 200 --frames 3000 --plot "$work/runs.png" | sed -n 's/^runs=200 .* ks_p=//p')
  awk -v p="$ks_p" 'BEGIN { exit !(p != "" && p >= 0.001) }'
  check "200 runs: the z values pass the Kolmogorov-Smirnov test (p = $ks_p)" $?

  # Its histogram: the band of +-2 sigma across the middle half of the z axis, -4 to 4.
  band=$(convert "$work/runs.png" -depth 8 rgb:- | od -An -v -tu1 -w3072 | awk '{
      black = 0
      for (i = 1; i < NF; i += 3) black += $i + $(i + 1) + $(i + 2) < 60
      if (black > 700 && top == "") top = NR
      if (top != "" && NR == top + 3) {
        for (i = 1; i < NF; i += 3) {
          x = (i - 1) / 3
          if ($i + $(i + 1) + $(i + 2) < 60) { if (left == "") left = x; right = x }
          if ($i > 240 && $(i + 1) > 195 && $(i + 1) < 230 && $(i + 2) > 145 && $(i + 2) < 180) { if (from == "") from = x; to = x }
        }
        print left, right, from, to
      }
    }')
  read -r left right from to <<<"$band"
  [ -n "$to" ] && [ $(((from + to - left - right) ** 2)) -le 9 ] && [ $(((2 * (to - from) - right + left) ** 2)) -le 36 ]
  check "--runs --plot: the histogram's band spans z from -2 to 2 (frame, band: $band)" $?
fi

# Stopped by a signal, a run or many leave no file behind, not even a temporary one, and no
# worker.
for args in "--frames 100000000" "--runs 40 --frames 1000000 --jobs 2"; do
  # shellcheck disable=SC2086
  "${run[@]}" $args --quiet --csv "$out_dir/stopped.csv" >/dev/null 2>&1 &
  pid=$!
  sleep 1
  kill -TERM $pid
  wait $pid
  code=$?
  sleep 0.2
  [ $code -eq 143 ] && [ -z "$(ls -A "$out_dir")" ] && ! pgrep -f "runs 40 --frames 1000000" >/dev/null
  passed=$?
  check "$args stopped by SIGTERM: status $code, no file and no worker left ($(ls "$out_dir"))" $passed
  rm -f "$out_dir"/*
done

# A worker that dies is an error naming its seed, and no table is left behind.
"${run[@]}" --seed 9 --runs 40 --frames 1000000 --jobs 2 --csv "$out_dir/dead.csv" >/dev/null 2>"$work/err" &
pid=$!
for _ in $(seq 100); do
  workers=($(pgrep -P $pid))
  [ ${#workers[@]} -eq 2 ] && break
  sleep 0.1
done
kill -KILL "${workers[0]}"
wait $pid
code=$?
[ $code -eq 1 ] && [ "$(cat "$work/err")" = "needlecast-sim: the worker for seed 9 was killed by signal 9 (Killed)" ] &&
  [ -z "$(ls -A "$out_dir")" ] && ! pgrep -P $pid >/dev/null
passed=$?
check "a killed worker: exit 1 and its seed named ($(cat "$work/err")), no table, no worker left" $passed

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
