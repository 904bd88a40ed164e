# Helpers the X end-to-end tests share: the check tally, waiting for windows and exits,
# screenshots and the pixel probes on them. Sourced; the caller sets pid before wait_exit.
failures=0
passes=0

check() { # name, status
  if [ "$2" -eq 0 ]; then passes=$((passes + 1)); echo "ok: $1"; else failures=$((failures + 1)); echo "FAILED: $1"; fi
}

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

# Waits up to $1 seconds for process $pid to end; sets code. Fails if it is still running.
wait_exit() {
  for _ in $(seq 1 $(($1 * 5))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      code=$?
      return 0
    fi
    sleep 0.2
  done
  code=
  return 1
}

# "x y width height" of an X window.
window_geometry() {
  [ -n "$1" ] || { echo "no window"; return 1; }
  xwininfo -id "$1" 2>/dev/null |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width/ {w=$NF} /Height/ {h=$NF} END {print x, y, w, h}'
}

shot() { # window-id file
  if [ "$1" = root ]; then timeout 10 xwd -root -silent; else timeout 10 xwd -id "$1" -silent; fi | convert xwd:- "png:$2"
}

# Runs of lit pixels down the centre column, above the text band.
line_runs() { # file width height
  convert "$1" -crop "1x$(($3 - 80))+$(($2 / 2))+0" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk '{ lit = ($1 > 10 || $2 > 10 || $3 > 10); if (lit && !was) runs++; was = lit } END { print runs + 0 }'
}

# Grey text pixels (white at 45 % over black) in the bottom 50 rows.
text_pixels() { # file width height
  convert "$1" -crop "${2}x50+0+$(($3 - 50))" +repage \
    -fx '(abs(r-g)<0.02 && abs(g-b)<0.02 && r>0.39 && r<0.51) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

# Rows from the first to the last row of grey text in the bottom 120 rows, counting rows
# with text across the middle and none at the edges (where only pane lines reach).
text_rows() { # file width height
  convert "$1" -crop "${2}x120+0+$(($3 - 120))" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk -v width="$2" '{ grey = ($1 > 105 && $1 < 150 && $2 > 105 && $2 < 150 && $3 > 105 && $3 < 150 &&
                                 $1 - $2 < 14 && $2 - $1 < 14 && $2 - $3 < 14 && $3 - $2 < 14)
                         row = int((NR - 1) / width); x = (NR - 1) % width
                         if (grey && x >= width * 0.15 && x < width * 0.85) middle[row]++
                         if (grey && (x < width * 0.1 || x >= width * 0.9)) edge[row]++ }
                         END { for (r = 0; r < 120; r++) if (middle[r] >= 6 && !edge[r]) { if (first == "") first = r; last = r }
                               print (first == "" ? 0 : last - first + 1) }'
}

# Holds the pointer at x y for a while. This Xvfb puts the pointer back where it was when
# the xdotool that moved it exits, so a move lasts only as long as that one xdotool.
hold_pointer() { # x y seconds
  xdotool mousemove "$1" "$2" sleep "$3"
}

# Where the pointer is now: sets X and Y.
pointer_position() {
  eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
}
