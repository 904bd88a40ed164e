#!/usr/bin/env bash
# The native Linux saver on the Xvfb that scripts/with-xvfb started: its errors, every mode
# with real X input from xdotool, signals, its frame rate, a window destroyed under it, and
# runs under Debian's XScreenSaver daemon and settings and MATE's screen saver, with
# needlecast-xscreensaver's edits. Usage: linux_saver.sh needlecast x11_window case...
# An emulated build's programs run through EMULATOR (qemu for arm64), which may take up to a
# second to stop.
set -u
saver=$1
x11_window=$2
shift 2
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
on_exit+=('kill -9 ${pid:-} ${maker:-} 2>/dev/null')
read -ra emulator <<<"${EMULATOR:-}"
stop_limit_ms=$([ -n "${EMULATOR:-}" ] && echo 1000 || echo 100)

start() { "${emulator[@]}" "$saver" "$@" >/dev/null 2>"$work/err.txt" & pid=$!; }

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
  kill "-${2:-TERM}" "$pid" && wait "$pid"
  code=$? ms=$((($(date +%s%N) - t0) / 1000000))
  [ "$code" -eq 0 ] && [ "$ms" -le "$stop_limit_ms" ] && ! grep -q "X Error" "$work/err.txt"
  check "SIG${2:-TERM} ends $1 in $ms ms with 0 (code $code)" $?
}

case_errors() {
  [ "$("$saver" --version)" = "needlecast $("$root/scripts/version")" ]
  check "--version names the program and its version" $?
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
  # Stopped while it still waits for the X server (a listener that never answers X): exit 0.
  python3 -m http.server -b 127.0.0.1 $((6100 + $$ % 800)) >/dev/null 2>&1 & maker=$!
  for _ in $(seq 1 50); do (exec 3<>/dev/tcp/127.0.0.1/$((6100 + $$ % 800))) 2>/dev/null && break; sleep 0.2; done
  DISPLAY=127.0.0.1:$((100 + $$ % 800)) "$saver" 2>"$work/err.txt" & pid=$!
  sleep 2 && check_stop "the saver while it waits for the X server"
  kill "$maker"
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

# The window until SIGTERM: what an emulated build is shown to do.
case_window_term() {
  start
  id=$(wait_window Needlecast 60)
  for _ in $(seq 1 30); do # the first frames may take seconds under an emulator
    sleep 1 && shot "$id" "$work/term.png" && picture_ok "$work/term.png" && break
  done
  check_picture "$work/term.png" "the window"
  check_stop "the window mode"
}

case_window_id() {
  make_window 800x600
  start --window-id "$window" --fps
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
  # A small window draws fast, but the frames come at 60 a second at most.
  rate=$(sed -n 's/^needlecast: \([0-9.]*\) fps, [0-9]* needles in flight$/\1/p' "$work/err.txt")
  awk -v r="${rate:-0}" 'BEGIN { exit !(r > 0 && r <= 62) }'
  check "--fps ends with the rate it held: 60 at most ($rate fps)" $?
  kill "$maker"
}

case_root() {
  # (The window XSCREENSAVER_WINDOW names: under the XScreenSaver daemon, below.)
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
  if id=$(wait_window Needlecast 20); then
    sleep 1
    xdotool windowclose "$id"
  fi
  wait_exit 10 && [ -n "$id" ] && [ "$code" -eq 0 ]
  check "its own window destroyed by another client, it ends with 0 (window ${id:-never shown}, code ${code:-running})" $?
  [ -n "$id" ] || sed 's/^/  stderr: /' "$work/err.txt"
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
  for how in key click focus; do
    [ $how = focus ] && make_window 200x200
    start -fullscreen
    wait_window Needlecast 20 >/dev/null && sleep 1
    case $how in
      key) xdotool key a ;;
      click) xdotool click 1 ;;
      focus) xdotool windowfocus "$window" ;;
    esac
    wait_exit 5 && [ "$code" -eq 0 ]
    check "a $how ends it with 0 (code ${code:-running})" $?
  done
  kill "$maker"
}

# The built saver where the daemons run it from, for an ordinary user.
install_saver() {
  mkdir -p "$work/bin"
  cp "$saver" "$work/bin/needlecast"
  chmod -R a+rX "$work/bin"
}

# A daemon told to show the saver ($2) runs it with --root and the screen shows the pane;
# told to stop ($3), the saver is gone. A daemon that answers may not act on commands yet:
# it is told again every 3 s, for 30 s at most; one that has ignored five is started again
# ($5, where given). Where it never runs the saver, the end of its log ($4) is shown.
shows_saver() { # daemon show-command stop-command log [restart-command]
  local hack= tries=0
  while [ -z "$hack" ] && [ $tries -lt 10 ]; do
    tries=$((tries + 1))
    [ $tries -eq 6 ] && [ -n "${5:-}" ] && eval "$5"
    eval "$2" >/dev/null 2>&1
    for _ in $(seq 1 15); do hack=$(savers "needlecast[-a-z0-9]* --root" | head -n 1) && [ -n "$hack" ] && break; sleep 0.2; done
  done
  [ -n "$hack" ]
  check "$1 runs the saver with --root (told $tries times)" $?
  [ -n "$hack" ] || { tail -n 20 "$4" | sed 's/^/  log: /'; return; }
  for _ in $(seq 1 15); do sleep 1; shot root "$work/daemon.png" && picture_ok "$work/daemon.png" && break; done
  check_picture "$work/daemon.png" "the screen under $1"
  eval "$3" >/dev/null 2>&1
  for _ in $(seq 1 50); do [ -z "$(savers "needlecast[-a-z0-9]* --root")" ] && break; sleep 0.2; done
  [ -z "$(savers "needlecast[-a-z0-9]* --root")" ]
  check "stopped by $1, the saver is gone" $?
}

# The savers running on this display (XScreenSaver names its screen too, :N.0) whose command
# line matches $1: other tests may run theirs on other displays beside this one. One that
# ended but was not reaped is gone.
savers() { # pattern
  local p
  for p in $(pgrep -f "$1"); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxE "DISPLAY=$DISPLAY(\.[0-9]+)?" &&
      ps -o stat= -p "$p" | grep -qv Z && echo "$p"
  done
}

# Debian's XScreenSaver daemon and settings on the ~/.xscreensaver that needlecast-xscreensaver
# writes for a user who had none (a link to a dot-file not made yet), with the built saver
# first on the daemon's PATH; then that file edited through the link, and files it refuses.
case_xscreensaver() {
  install_saver
  local tool file=$work/home/.xscreensaver
  tool=$(dirname "$saver")/needlecast-xscreensaver
  # Kept in a dot-file folder and linked, before the file is there: add makes it.
  as_user sh -c 'mkdir ~/dotfiles && ln -s dotfiles/xs ~/.xscreensaver'
  as_user "$tool" add >"$work/add.txt"
  local place
  place=$(sed -n 's/.*as hack \([0-9]*\) .*/\1/p' "$work/add.txt")
  start_xscreensaver() {
    as_user env PATH="$work/bin:$PATH" xscreensaver -no-splash -verbose >>"$work/daemon.txt" 2>&1 &
    daemon=$!
    for _ in $(seq 1 50); do as_user xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.2; done
  }
  start_xscreensaver
  on_exit+=('kill $daemon 2>/dev/null')
  shows_saver "XScreenSaver (-select $place)" "as_user xscreensaver-command -select $place" \
    "as_user xscreensaver-command -deactivate" "$work/daemon.txt" \
    'echo "  (the daemon ignored five, started again)"; kill $daemon; wait $daemon; start_xscreensaver'


  # Needlecast selected in the settings: their preview runs it with --window-id appended.
  printf 'selected:\t%d\n' $((place - 1)) >>"$file"
  as_user env PATH="$work/bin:$PATH" xscreensaver-settings >/dev/null 2>&1 &
  on_exit+=("kill $! 2>/dev/null")
  # The settings may start the preview again in another window: the window is looked up for
  # every shot, until one shows the picture (20 s at most).
  for _ in $(seq 1 20); do
    sleep 1
    preview=$(ps -o args= -p "$(savers "needlecast --root --window-id" | tail -n 1)" 2>/dev/null | grep -o '0x[0-9a-fA-F]*$') &&
      shot "$preview" "$work/preview.png" && picture_ok "$work/preview.png" && break
  done
  check_picture "$work/preview.png" "the settings' preview pane (window ${preview:-none})"
  as_user xscreensaver-command -exit >/dev/null 2>&1

  # The file the link leads to is edited, and the link stays.
  cp "$work/home/dotfiles/xs" "$work/linked"
  as_user "$tool" remove >/dev/null && [ "$(readlink "$file")" = dotfiles/xs ] &&
    ! grep -q needlecast "$work/home/dotfiles/xs" && cmp -s "$file.bak" "$work/linked"
  check "remove through a link edits the file it leads to, the link stays, the copy is the file before" $?

  # Refused with exit 1 and one line, the file left as it was: one that is not a regular file,
  # and one the editor cannot make sense of.
  printf 'programs: maze --root \\n\\\n' >"$work/home/dotfiles/xs"
  for kind in malformed fifo dir; do
    [ $kind = malformed ] || as_user sh -c "rm -r ~/dotfiles/xs && mk$kind ~/dotfiles/xs"
    before=$(stat -c '%F %i %s %Y' "$work/home/dotfiles/xs")
    as_user timeout 5 "$tool" add 2>"$work/err.txt" >/dev/null; code=$?
    [ $code -eq 1 ] && [ -L "$file" ] && [ "$(wc -l <"$work/err.txt")" -eq 1 ] &&
      [ "$(stat -c '%F %i %s %Y' "$work/home/dotfiles/xs")" = "$before" ]
    check "a $kind ~/.xscreensaver is refused with one line, left as it was (code $code)" $?
  done
}

# MATE's screen saver offers the package's desktop entry as the theme screensavers-needlecast.
# It runs only hacks from the folders it knows, so the built saver goes there for the run
# (which needs root).
case_mate() {
  local hack_path=/usr/libexec/xscreensaver/needlecast-test-$$ bus
  cp "$saver" "$hack_path" || { check "root, to put the saver where MATE's screen saver runs hacks from" 1; return; }
  on_exit+=("rm -f $hack_path")
  mkdir -p "$work/share/applications/screensavers" "$work/run"
  sed "s|/usr/libexec/xscreensaver/needlecast|$hack_path|" "$root/packaging/linux/needlecast.desktop" \
    >"$work/share/applications/screensavers/needlecast.desktop"
  as_user chmod -R a+rX "$work/share" && chown nobody "$work/run" && chmod 700 "$work/run"
  bus=$(as_user dbus-daemon --session --fork --print-address=1 | head -n 1)
  on_exit+=('pkill -u nobody dbus-daemon 2>/dev/null')
  mate() { as_user env DBUS_SESSION_BUS_ADDRESS="$bus" XDG_RUNTIME_DIR="$work/run" XDG_DATA_DIRS="$work/share:/usr/share" "$@"; }
  mate gsettings set org.mate.screensaver mode single
  mate gsettings set org.mate.screensaver themes "['screensavers-needlecast']"
  mate gsettings set org.mate.screensaver lock-enabled false
  mate mate-screensaver --no-daemon >"$work/mate.txt" 2>&1 &
  on_exit+=("kill $! 2>/dev/null")
  for _ in $(seq 1 50); do mate mate-screensaver-command --query >/dev/null 2>&1 && break; sleep 0.2; done
  shows_saver "MATE's screen saver" "mate mate-screensaver-command --activate" "mate mate-screensaver-command --deactivate" \
    "$work/mate.txt"
}

for c in "$@"; do
  echo "== $c"
  "case_$c"
done
finish
