#!/usr/bin/env bash
# The native Linux saver on the Xvfb that scripts/with-xvfb started: its errors, every mode
# with real X input from xdotool, signals, a window destroyed under it, and a run under
# Debian's XScreenSaver daemon. Usage: linux_saver.sh needlecast x11_window case...
set -u
saver=$1
x11_window=$2
shift 2
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
on_exit+=('kill -9 ${pid:-} ${maker:-} 2>/dev/null')

start() { "$saver" "$@" >/dev/null 2>"$work/err.txt" & pid=$!; }

# Someone else's window, WxH, for --window-id and --root; sets window and maker.
make_window() {
  "$x11_window" "$1" Host >"$work/window.txt" &
  maker=$!
  for _ in $(seq 1 50); do window=$(head -n 1 "$work/window.txt") && [ -n "$window" ] && return; sleep 0.1; done
}

# SIGTERM (or the signal given), then how long the saver took to end with 0.
check_stop() { # what [signal]
  local t0 ms
  t0=$(date +%s%N)
  kill "-${2:-TERM}" "$pid"
  wait "$pid"
  code=$?
  ms=$((($(date +%s%N) - t0) / 1000000))
  [ "$code" -eq 0 ] && [ "$ms" -le 100 ] && ! grep -q "X Error" "$work/err.txt"
  check "SIG${2:-TERM} ends $1 in $ms ms with 0 (code $code)" $?
}

case_errors() {
  local line
  while IFS='|' read -r env args expected; do
    # shellcheck disable=SC2086
    out=$(env $env "$saver" $args 2>&1)
    code=$?
    [ "$code" -eq 1 ] && [ "$out" = "needlecast: $expected" ]
    check "'$env $args': exit 1 and one line (code $code: $out)" $?
  done <<'EOF_CASES'
N=0|--bogus|unknown option "--bogus" (try --help)
N=0|--window-id 0x1fffff0|bad window id 0x1fffff0: no such window
XSCREENSAVER_WINDOW=junk|--root|bad window id "junk" in XSCREENSAVER_WINDOW
DISPLAY=:1999|--window|cannot open display ":1999"
EOF_CASES
}

case_window() {
  start
  local id
  id=$(wait_window Needlecast 20)
  sleep 2
  [ "$(geometry "$id")" = "0 0 1024 768" ]
  check "the default mode opens a 1024x768 window titled Needlecast" $?
  shot "$id" "$work/one.png"
  check_picture "$work/one.png" "the window"
  sleep 0.5
  shot "$id" "$work/two.png"
  [ "$(compare -metric AE "$work/one.png" "$work/two.png" null: 2>&1 | cut -d' ' -f1)" != 0 ]
  check "half a second later the picture has moved" $?
  xdotool windowsize "$id" 640 400
  sleep 1.5
  shot "$id" "$work/small.png"
  check_picture "$work/small.png" "the window resized to 640x400"
  xdotool mousemove 100 100 click 1 key space # keys go to the window under the pointer
  sleep 0.5
  kill -0 "$pid"
  check "a click and other keys leave it open" $?
  xdotool key q
  wait_exit 5 && [ "$code" -eq 0 ]
  check "q ends it with 0 (code ${code:-running})" $?
  for how in Escape delete INT; do
    start -window
    id=$(wait_window Needlecast 20)
    sleep 0.5
    case $how in
      Escape) xdotool mousemove 100 100 key Escape; wait_exit 5 && [ "$code" -eq 0 ]
        check "Escape ends it with 0 (code ${code:-running})" $? ;;
      delete) "$x11_window" --delete "$id"; wait_exit 5 && [ "$code" -eq 0 ]
        check "closing it as a window manager does ends it with 0 (code ${code:-running})" $? ;;
      INT) check_stop "the window mode" INT ;;
    esac
  done
}

case_window_id() {
  make_window 800x600
  start --window-id "$window"
  sleep 3
  shot "$window" "$work/id.png"
  check_picture "$work/id.png" "--window-id's window"
  xdotool mousemove 400 300 sleep 0.2 mousemove 600 500 click 1 key a key Escape key q
  sleep 1
  kill -0 "$pid"
  check "--window-id leaves pointer, clicks and keys to the window's owner" $?
  xdotool windowsize "$window" 500 300
  sleep 1.5
  shot "$window" "$work/id-small.png"
  check_picture "$work/id-small.png" "that window resized to 500x300"
  check_stop "--window-id"
  kill "$maker"
}

case_root() {
  make_window 700x500
  for named in $((window)) "$window"; do
    XSCREENSAVER_WINDOW=$named start -root
    sleep 3
    shot "$window" "$work/root.png"
    check_picture "$work/root.png" "the window XSCREENSAVER_WINDOW=$named names"
    check_stop "--root"
  done
  kill "$maker"
  env -u XSCREENSAVER_WINDOW "$saver" --root 2>"$work/err.txt" &
  pid=$!
  sleep 3
  shot root "$work/screen.png"
  check_picture "$work/screen.png" "the root window, with XSCREENSAVER_WINDOW unset,"
  check_stop "--root on the root window"
}

# The window destroyed under the saver at different moments of a frame: it ends with 0.
case_lost_window() {
  local codes=""
  for round in 1 2 3 4 5 6; do
    make_window 640x480
    start --window-id "$window"
    sleep "1.$((round * 15))"
    kill "$maker"
    wait_exit 10
    codes="$codes ${code:-running}"
  done
  [ "$codes" = " 0 0 0 0 0 0" ]
  check "--window-id ends with 0 when its window is destroyed (codes$codes)" $?
  start
  id=$(wait_window Needlecast 20)
  sleep 1
  xdotool windowclose "$id"
  wait_exit 10 && [ "$code" -eq 0 ]
  check "its own window destroyed by another client, it ends with 0 (code ${code:-running})" $?
}

case_fullscreen() {
  eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
  start --fullscreen
  id=$(wait_window Needlecast 20)
  sleep 2
  [ "$(geometry "$id")" = "0 0 1024 768" ]
  check "--fullscreen covers the screen" $?
  shot "$id" "$work/full.png"
  check_picture "$work/full.png" "the full screen"
  # This Xvfb puts the pointer back when the xdotool that moved it exits: hold it there.
  xdotool mousemove $((X + 3)) $((Y + 1)) sleep 1 click 4 click 5 sleep 0.5
  kill -0 "$pid"
  check "a move of 3 right and 1 down, and the wheel, leave it running" $?
  xdotool mousemove $((X + 4)) $((Y + 1)) sleep 0.5
  wait_exit 5 && [ "$code" -eq 0 ]
  check "one pixel more ends it with 0 (code ${code:-running})" $?
  for how in key click focus TERM; do
    [ $how = focus ] && make_window 200x200
    start -fullscreen
    wait_window Needlecast 20 >/dev/null && sleep 1
    case $how in
      key) xdotool key a ;;
      click) xdotool click 1 ;;
      focus) xdotool windowfocus "$window" ;;
      TERM) check_stop "--fullscreen"; continue ;;
    esac
    wait_exit 5 && [ "$code" -eq 0 ]
    check "a $how ends it with 0 (code ${code:-running})" $?
  done
  kill "$maker"
}

# Debian's XScreenSaver daemon on the user's ~/.xscreensaver, with the built saver first on
# its PATH: told to show the saver, it runs it on the root and the screen shows the pane;
# deactivated, the saver is gone.
run_daemon() { # xscreensaver-command arguments that show the saver
  mkdir -p "$work/bin"
  cp "$saver" "$work/bin/needlecast"
  chmod -R a+rX "$work/bin"
  as_user env PATH="$work/bin:$PATH" xscreensaver -no-splash -verbose >"$work/daemon.txt" 2>&1 &
  daemon=$!
  on_exit+=('kill $daemon 2>/dev/null')
  for _ in $(seq 1 50); do as_user xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.2; done
  as_user xscreensaver-command "$@" >/dev/null 2>&1
  for _ in $(seq 1 75); do hack=$(pgrep -f "needlecast --root" | head -n 1) && [ -n "$hack" ] && break; sleep 0.2; done
  check "xscreensaver-command $* starts needlecast --root" $?
  sleep 3
  shot root "$work/daemon.png"
  check_picture "$work/daemon.png" "the screen under the daemon"
  as_user xscreensaver-command -deactivate >/dev/null 2>&1
  for _ in $(seq 1 50); do case $(ps -o stat= -p "$hack") in "" | Z*) break ;; esac; sleep 0.2; done
  ! ps -o stat= -p "$hack" | grep -qv Z
  check "deactivated, the saver is gone" $?
  as_user xscreensaver-command -exit >/dev/null 2>&1
  wait "$daemon"
}

case_xscreensaver() {
  printf '%s\n' 'mode: one' 'selected: 0' 'lock: False' 'fade: False' 'unfade: False' 'splash: False' \
    'programs: GL: needlecast --root \n' >"$work/xscreensaver"
  as_user cp "$work/xscreensaver" "$work/home/.xscreensaver"
  run_daemon -activate
}

for c in "$@"; do
  echo "== $c"
  "case_$c"
done
finish
