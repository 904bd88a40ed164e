# Helpers the shell suites share: the tally of checks, waiting for windows and processes,
# screenshots and their pixel probes, and running a command as an ordinary user. Sourced.
passes=0
failures=0
work=$(mktemp -d)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
on_exit=() # commands a suite adds, run before the work folder goes
trap 'for c in "${on_exit[@]}"; do eval "$c"; done; rm -rf "$work"' EXIT

# check NAME STATUS: counts the outcome and prints it.
check() { if [ "$2" -eq 0 ]; then passes=$((passes + 1)); echo "ok: $1"; else failures=$((failures + 1)); echo "FAILED: $1"; fi; }
finish() { echo "$passes passed, $failures failed" && [ "$failures" -eq 0 ]; }

# Waits up to $2 seconds for a visible window named $1; prints its id.
wait_window() {
  local id
  for _ in $(seq 1 $(($2 * 5))); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Waits up to $1 seconds for process $pid to end; sets code (empty while it runs).
wait_exit() {
  code=
  for _ in $(seq 1 $(($1 * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      code=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# "x y width height" of a window.
geometry() {
  xwininfo -id "$1" 2>/dev/null |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width/ {w=$NF} /Height/ {h=$NF} END {print x, y, w, h}'
}

shot() { # window-id|root file
  if [ "$1" = root ]; then timeout 10 xwd -root -silent; else timeout 10 xwd -id "$1" -silent; fi | convert xwd:- "png:$2"
}

# The probes: every picture is read as "r g b" lines through awk, whose lit() and grey() take
# their thresholds from probe.env.
# shellcheck source=tests/probe.env
. "$root/tests/probe.env"
probe() { # file crop-geometry awk-program [awk options]
  local file=$1 crop=$2 program=$3
  shift 3
  convert "$file" -crop "$crop" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk -v lit_above="$PROBE_LIT" -v low="$PROBE_GREY_LOW" -v high="$PROBE_GREY_HIGH" -v spread="$PROBE_GREY_SPREAD" "$@" '
      function lit(r, g, b) { return r > lit_above || g > lit_above || b > lit_above }
      function apart(a, b) { return a > b ? a - b : b - a }
      function grey(r, g, b) { return r >= low && r <= high && g >= low && g <= high && b >= low && b <= high &&
                                      apart(r, g) <= spread && apart(g, b) <= spread && apart(r, b) <= spread }
      '"$program"
}
size() { identify -format '%w %h' "$1"; }

# Runs of lit pixels down the centre column, above the text band: the pane's lines.
line_runs() { # file
  local w h
  read -r w h <<<"$(size "$1")"
  probe "$1" "1x$((h - 80))+$((w / 2))+0" '{ l = lit($1, $2, $3); runs += l && !was; was = l } END { print runs + 0 }'
}

# Grey pixels of the estimate line in the bottom 50 rows.
text_pixels() { # file
  local w h
  read -r w h <<<"$(size "$1")"
  probe "$1" "${w}x50+0+$((h - 50))" '{ n += grey($1, $2, $3) } END { print n + 0 }'
}

# Rows from the first to the last row of the estimate's grey in the bottom 120, counting rows
# with it across the middle and none at the edges, where only pane lines reach.
text_rows() { # file
  local w h
  read -r w h <<<"$(size "$1")"
  probe "$1" "${w}x120+0+$((h - 120))" '{ g = grey($1, $2, $3); row = int((NR - 1) / width); x = (NR - 1) % width
      if (g && x >= width * 0.15 && x < width * 0.85) middle[row]++
      if (g && (x < width * 0.1 || x >= width * 0.9)) edge[row]++ }
    END { for (r = 0; r < 120; r++) if (middle[r] >= 6 && !edge[r]) { if (first == "") first = r; last = r }
          print (first == "" ? 0 : last - first + 1) }' -v width="$w"
}

# The picture shows the pane down the centre and the estimate line; sets picture_lines and
# picture_text to what it found.
picture_ok() { # file
  picture_lines=$(line_runs "$1")
  picture_text=$(text_pixels "$1")
  [ "$picture_lines" -ge "$PROBE_PANE_LINES" ] && [ "$picture_text" -gt "$PROBE_TEXT_PIXELS" ]
}
check_picture() { # file what
  picture_ok "$1"
  check "$2 shows the pane ($picture_lines lines) and the estimate ($picture_text text pixels)" $?
}

# Runs a command as nobody with a home of its own ($work/home), as the savers' daemons
# want: they run no hacks as root.
as_user() {
  mkdir -p "$work/home"
  chmod 755 "$work"
  if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$work/home"
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$work/home" USER=nobody "$@"
  else
    env HOME="$work/home" "$@"
  fi
}
