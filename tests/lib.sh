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

# Runs of lit pixels down the centre column, above the text band: the pane's lines.
line_runs() { # file
  local w h
  read -r w h <<<"$(identify -format '%w %h' "$1")"
  convert "$1" -crop "1x$((h - 80))+$((w / 2))+0" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk '{ lit = ($1 > 10 || $2 > 10 || $3 > 10); if (lit && !was) runs++; was = lit } END { print runs + 0 }'
}

# Grey pixels of the estimate line (white at 45 % over black) in the bottom 50 rows.
text_pixels() { # file
  convert "$1" -gravity south -crop "x50+0+0" +repage \
    -fx '(abs(r-g)<0.02 && abs(g-b)<0.02 && r>0.39 && r<0.51) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

# Rows from the first to the last row of the estimate's grey in the bottom 120, counting rows
# with it across the middle and none at the edges, where only pane lines reach.
text_rows() { # file
  local w h
  read -r w h <<<"$(identify -format '%w %h' "$1")"
  convert "$1" -crop "${w}x120+0+$((h - 120))" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk -v width="$w" '{ grey = ($1 > 105 && $1 < 150 && $2 > 105 && $2 < 150 && $3 > 105 && $3 < 150 &&
                                 $1 - $2 < 14 && $2 - $1 < 14 && $2 - $3 < 14 && $3 - $2 < 14)
                         row = int((NR - 1) / width); x = (NR - 1) % width
                         if (grey && x >= width * 0.15 && x < width * 0.85) middle[row]++
                         if (grey && (x < width * 0.1 || x >= width * 0.9)) edge[row]++ }
                         END { for (r = 0; r < 120; r++) if (middle[r] >= 6 && !edge[r]) { if (first == "") first = r; last = r }
                               print (first == "" ? 0 : last - first + 1) }'
}

# The picture: more than 8 pane lines down the centre and the estimate line; sets
# picture_lines and picture_text to what it found.
picture_ok() { # file
  picture_lines=$(line_runs "$1")
  picture_text=$(text_pixels "$1")
  [ "$picture_lines" -ge 8 ] && [ "$picture_text" -gt 50 ]
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
