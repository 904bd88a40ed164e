#!/usr/bin/env bash
# The native Linux saver end to end on the Xvfb that scripts/with-xvfb started: every mode,
# real X input from xdotool, signals, windows destroyed under it, and the XScreenSaver
# daemon running it as a hack.
# Usage: linux_saver.sh needlecast x11_window case...
set -u
saver=$1
x11_window=$2
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
# shellcheck source=x_test_lib.sh
source "$root/tests/x_test_lib.sh"

helpers=()
cleanup() {
  [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
  for helper in "${helpers[@]}"; do kill "$helper" 2>/dev/null; done
  [ -n "${daemon:-}" ] && kill "$daemon" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Starts the saver in the background; sets pid.
start() {
  "$saver" "$@" >"$work/out.txt" 2>"$work/err.txt" &
  pid=$!
}

# A plain window of someone else's, WxH; sets window (its id) and keeps its maker running.
make_window() {
  : >"$work/window.txt"
  "$x11_window" "$1" "${2:-x11_window}" >"$work/window.txt" &
  helpers+=($!)
  window_maker=$!
  window=
  for _ in $(seq 1 100); do
    window=$(head -n 1 "$work/window.txt" 2>/dev/null)
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  echo "no test window came"
  return 1
}

# Sends SIGTERM to the saver and waits for it; sets code and ms (signal to exit).
terminate() {
  local t0 t1
  t0=$(date +%s%N)
  kill -TERM "$pid"
  wait "$pid"
  code=$?
  t1=$(date +%s%N)
  ms=$(((t1 - t0) / 1000000))
}

# The picture in a screenshot: pane lines down the centre, the estimate at the bottom.
check_picture() { # file width height what
  local runs
  runs=$(line_runs "$1" "$2" "$3")
  [ "$runs" -ge 8 ]
  check "$4 shows the pane lines ($runs runs down the centre)" $?
  [ "$(text_pixels "$1" "$2" "$3")" -gt 50 ]
  check "$4 shows the estimate line" $?
}

no_x_errors() { # what
  ! grep -q "X Error" "$work/err.txt"
  check "$1 without X errors" $?
}

case_errors() {
  local out
  out=$("$saver" --bogus 2>&1)
  [ $? -eq 1 ] && [ "$out" = 'needlecast: unknown option "--bogus" (try --help)' ]
  check "an unknown option: exit 1 and one line ($out)" $?
  out=$("$saver" --window-id 2>&1)
  [ $? -eq 1 ] && [ "$(echo "$out" | wc -l)" -eq 1 ]
  check "--window-id without an id: exit 1 and one line" $?
  out=$("$saver" -window-id 12zz 2>&1)
  [ $? -eq 1 ] && [ "$out" = 'needlecast: bad window id "12zz"' ]
  check "a malformed window id: exit 1 and one line ($out)" $?
  out=$("$saver" --window-id 0x1fffff0 2>&1)
  [ $? -eq 1 ] && [ "$out" = 'needlecast: bad window id 0x1fffff0: no such window' ]
  check "a window id that names no window: exit 1 and one line ($out)" $?
  out=$(XSCREENSAVER_WINDOW=junk "$saver" --root 2>&1)
  [ $? -eq 1 ] && [ "$out" = 'needlecast: bad window id "junk" in XSCREENSAVER_WINDOW' ]
  check "a bad XSCREENSAVER_WINDOW: exit 1 and one line ($out)" $?
  out=$(DISPLAY=:1999 "$saver" 2>&1)
  [ $? -eq 1 ] && [ "$out" = 'needlecast: cannot open display ":1999"' ]
  check "no display: exit 1 and one line ($out)" $?
  out=$(env -u DISPLAY "$saver" --root 2>&1)
  [ $? -eq 1 ] && [ "$out" = 'needlecast: cannot open display ""' ]
  check "DISPLAY unset: exit 1 and one line ($out)" $?
  out=$("$saver" -help)
  [ $? -eq 0 ] && echo "$out" | grep -q -- "--window-id ID" && echo "$out" | grep -q -- "--fps"
  check "-help prints the usage with exit 0" $?
}

case_window() {
  start
  local id
  id=$(wait_window Needlecast 20)
  check "the default mode opens a window titled Needlecast" $?
  sleep 2
  local geometry
  geometry=$(window_geometry "$id")
  [ "${geometry#* * }" = "1024 768" ]
  check "it is 1024x768 (got $geometry)" $?
  shot "$id" "$work/one.png"
  check_picture "$work/one.png" 1024 768 "the window"
  sleep 0.5
  shot "$id" "$work/two.png"
  [ "$(compare -metric AE "$work/one.png" "$work/two.png" null: 2>&1 | cut -d' ' -f1)" != "0" ]
  check "a second screenshot later differs: it animates" $?
  [ -n "${NEEDLECAST_SHOT:-}" ] && cp "$work/one.png" "$NEEDLECAST_SHOT"

  xdotool windowsize "$id" 640 400
  sleep 1.5
  shot "$id" "$work/small.png"
  [ "$(identify -format '%wx%h' "$work/small.png")" = 640x400 ]
  check "it follows a resize to 640x400" $?
  check_picture "$work/small.png" 640 400 "the resized window"

  # Keys go to the window under the pointer on a display without a window manager.
  xdotool mousemove 100 100 key space
  sleep 0.5
  kill -0 "$pid" 2>/dev/null
  check "other keys leave the window open" $?
  xdotool key q
  wait_exit 5 && [ "$code" -eq 0 ]
  check "q ends it with 0 (code ${code:-running})" $?
  no_x_errors "it ended"

  start -window
  id=$(wait_window Needlecast 20)
  sleep 0.5
  xdotool mousemove 100 100 key Escape
  wait_exit 5 && [ "$code" -eq 0 ]
  check "Escape ends it with 0 (code ${code:-running})" $?

  start
  id=$(wait_window Needlecast 20)
  sleep 0.5
  "$x11_window" --delete "$id"
  wait_exit 5 && [ "$code" -eq 0 ]
  check "closing it as a window manager does ends it with 0 (code ${code:-running})" $?

  start
  wait_window Needlecast 20 >/dev/null
  sleep 1
  terminate
  [ "$code" -eq 0 ] && [ "$ms" -le 100 ]
  check "SIGTERM ends the window mode in $ms ms with 0 (code $code)" $?
  start
  wait_window Needlecast 20 >/dev/null
  sleep 1
  local t0 t1
  t0=$(date +%s%N)
  kill -INT "$pid"
  wait "$pid"
  code=$?
  t1=$(date +%s%N)
  ms=$(((t1 - t0) / 1000000))
  [ "$code" -eq 0 ] && [ "$ms" -le 100 ]
  check "SIGINT ends it in $ms ms with 0 (code $code)" $?
}

# --fps adds a second line above the estimate: the text band grows to two lines.
case_fps() {
  local rows=()
  local options
  for options in "" "--fps"; do
    # shellcheck disable=SC2086
    start $options
    local id
    id=$(wait_window Needlecast 20)
    sleep 3
    shot "$id" "$work/fps.png"
    rows+=("$(text_rows "$work/fps.png" 1024 768)")
    terminate
  done
  [ "${rows[0]}" -gt 5 ] && [ $((rows[1] * 10)) -ge $((rows[0] * 16)) ]
  check "--fps adds a second line (text spans ${rows[1]} rows against ${rows[0]})" $?
}

case_window_id() {
  make_window 800x600 Host
  check "a test window to draw into ($window)" $?
  start --window-id "$window"
  sleep 3
  kill -0 "$pid" 2>/dev/null
  check "--window-id runs" $?
  shot "$window" "$work/id.png"
  check_picture "$work/id.png" 800 600 "the test window"

  # The daemon owns the input: none of it ends the saver.
  xdotool mousemove 400 300 sleep 0.2 mousemove 600 500 click 1 click 3 key a key Escape key q
  sleep 1
  kill -0 "$pid" 2>/dev/null
  check "pointer moves, clicks and keys leave it running" $?

  xdotool windowsize "$window" 500 300
  sleep 1.5
  shot "$window" "$work/id-small.png"
  check_picture "$work/id-small.png" 500 300 "the test window resized to 500x300"

  terminate
  [ "$code" -eq 0 ] && [ "$ms" -le 100 ]
  check "SIGTERM ends --window-id in $ms ms with 0 (code $code)" $?
  no_x_errors "it ended"
  kill "$window_maker"
}

case_root() {
  make_window 700x500 Daemon
  local decimal
  decimal=$((window))
  XSCREENSAVER_WINDOW=$decimal start -root
  sleep 3
  shot "$window" "$work/root.png"
  check_picture "$work/root.png" 700 500 "the window XSCREENSAVER_WINDOW names in decimal"
  xdotool mousemove 100 100 click 1 key a
  sleep 0.5
  kill -0 "$pid" 2>/dev/null
  check "--root ignores input" $?
  terminate
  [ "$code" -eq 0 ] && [ "$ms" -le 100 ]
  check "SIGTERM ends --root in $ms ms with 0 (code $code)" $?

  XSCREENSAVER_WINDOW=$window start --root
  sleep 3
  shot "$window" "$work/root-hex.png"
  check_picture "$work/root-hex.png" 700 500 "the window XSCREENSAVER_WINDOW names in hex"
  terminate
  kill "$window_maker"

  # Without the variable: the root window itself.
  env -u XSCREENSAVER_WINDOW "$saver" --root >/dev/null 2>"$work/err.txt" &
  pid=$!
  sleep 3
  shot root "$work/screen.png"
  check_picture "$work/screen.png" 1024 768 "the root window"
  terminate
  [ "$code" -eq 0 ] && [ "$ms" -le 100 ]
  check "SIGTERM ends it on the root window in $ms ms with 0 (code $code)" $?
}

# The window destroyed under the saver: it ends cleanly, with 0.
case_lost_window() {
  # The window can go at any point of a frame: a few rounds, at different moments.
  local round ended=0 codes=""
  for round in 1 2 3 4 5 6; do
    make_window 640x480 Host
    start --window-id "$window"
    sleep "1.$((round * 15))"
    kill "$window_maker"
    wait_exit 10 && [ "$code" -eq 0 ] && ended=$((ended + 1))
    codes="$codes ${code:-running}"
    [ -z "$code" ] && kill -9 "$pid"
  done
  [ "$ended" -eq 6 ]
  check "its window destroyed with its maker, --window-id ends with 0, 6 rounds out of 6 (codes$codes)" $?

  start
  local id
  id=$(wait_window Needlecast 20)
  sleep 1
  xdotool windowclose "$id"
  wait_exit 10 && [ "$code" -eq 0 ]
  check "its own window destroyed by another client, it ends with 0 (code ${code:-running})" $?
}

case_fullscreen() {
  pointer_position
  local x=$X y=$Y
  start --fullscreen
  local id
  id=$(wait_window Needlecast 20)
  check "--fullscreen opens its window" $?
  sleep 2
  local geometry
  geometry=$(window_geometry "$id")
  [ "$geometry" = "0 0 1024 768" ]
  check "it covers the 1024x768 screen (got $geometry)" $?
  shot "$id" "$work/full.png"
  check_picture "$work/full.png" 1024 768 "the full screen"

  hold_pointer $((x + 3)) $((y + 1)) 1
  kill -0 "$pid" 2>/dev/null
  check "a move of 3 right and 1 down leaves it running" $?
  xdotool click 4 click 5
  sleep 0.5
  kill -0 "$pid" 2>/dev/null
  check "the wheel leaves it running" $?
  hold_pointer $((x + 4)) $((y + 1)) 0.5
  wait_exit 5 && [ "$code" -eq 0 ]
  check "one pixel more ends it with 0 (code ${code:-running})" $?

  start -fullscreen
  wait_window Needlecast 20 >/dev/null && sleep 1
  xdotool key a
  wait_exit 5 && [ "$code" -eq 0 ]
  check "a key ends it with 0 (code ${code:-running})" $?

  start --fullscreen
  wait_window Needlecast 20 >/dev/null && sleep 1
  xdotool click 1
  wait_exit 5 && [ "$code" -eq 0 ]
  check "a click ends it with 0 (code ${code:-running})" $?

  make_window 200x200 Other
  start --fullscreen
  wait_window Needlecast 20 >/dev/null && sleep 1
  kill -0 "$pid" 2>/dev/null
  check "it runs with another window on the screen" $?
  xdotool windowfocus "$window"
  wait_exit 5 && [ "$code" -eq 0 ]
  check "losing the focus ends it with 0 (code ${code:-running})" $?
  kill "$window_maker"

  start --fullscreen
  wait_window Needlecast 20 >/dev/null && sleep 1
  terminate
  [ "$code" -eq 0 ] && [ "$ms" -le 100 ]
  check "SIGTERM ends --fullscreen in $ms ms with 0 (code $code)" $?
  no_x_errors "it ended"
}

# Debian's XScreenSaver daemon runs the saver as its only hack. The daemon runs no hacks
# as root, so as root it runs as nobody, with a home of its own.
case_xscreensaver() {
  local home=$work/home bin=$work/bin
  mkdir -p "$home" "$bin"
  cp "$saver" "$bin/needlecast"
  chmod 755 "$work" "$bin" "$bin/needlecast"
  cat >"$home/.xscreensaver" <<EOF
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
mode: one
selected: 0
programs: GL: $bin/needlecast --root \\n
EOF
  local as=()
  if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$home"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  command=("${as[@]}" env HOME="$home" USER=nobody)
  "${command[@]}" xscreensaver -no-splash -verbose >"$work/daemon.txt" 2>&1 &
  daemon=$!
  local up=1
  for _ in $(seq 1 50); do
    "${command[@]}" xscreensaver-command -version >/dev/null 2>&1 && { up=0; break; }
    sleep 0.2
  done
  check "the daemon starts" $up

  "${command[@]}" xscreensaver-command -activate >/dev/null 2>&1
  local hack=
  for _ in $(seq 1 75); do
    hack=$(pgrep -f "^$bin/needlecast --root" | head -n 1)
    [ -n "$hack" ] && break
    sleep 0.2
  done
  [ -n "$hack" ]
  check "activating it starts needlecast --root" $?
  sleep 3
  shot root "$work/daemon.png"
  check_picture "$work/daemon.png" 1024 768 "the screen under the daemon"

  "${command[@]}" xscreensaver-command -deactivate >/dev/null 2>&1
  local gone=1 state
  for _ in $(seq 1 50); do
    state=$(ps -o stat= -p "$hack" 2>/dev/null)
    case "$state" in "" | Z*) gone=0; break ;; esac
    sleep 0.2
  done
  check "after deactivation the needlecast process is gone" $gone
  if [ "$gone" -ne 0 ] || [ $failures -ne 0 ]; then
    tail -n 30 "$work/daemon.txt"
  fi
  "${command[@]}" xscreensaver-command -exit >/dev/null 2>&1
  wait "$daemon" 2>/dev/null
  daemon=
}

for name in "$@"; do
  echo "== $name"
  "case_$name"
  pid=
done

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
