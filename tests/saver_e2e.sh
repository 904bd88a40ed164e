#!/usr/bin/env bash
# needlecast.scr under Wine on the Xvfb that scripts/with-xvfb started, with real X input from
# xdotool: full screen, a second start, the preview, the about box, Windows 98 with a password,
# a failed GL set-up, and the font at 144 DPI.
# Usage: saver_e2e.sh wine-run needlecast.scr preview_host.exe PASSWORD.CPL case...
set -u
wine_run=$1
scr=$2
preview_host=$3
password_cpl=$4
shift 4
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
export NEEDLECAST_WINEPREFIX=${NEEDLECAST_WINEPREFIX:-$root/build/wine-x}
on_exit+=('WINEPREFIX=$NEEDLECAST_WINEPREFIX wineserver -k 2>/dev/null')
read -r screen_w screen_h <<<"$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')"

start() { "$wine_run" "$scr" "$@" >/dev/null 2>&1 & pid=$!; }
reg() { "$wine_run" reg "$@" >/dev/null 2>&1; }
host() { "$wine_run" "$preview_host" "$@" 2>/dev/null | tr -d '\r'; }

# The stand-in for the display settings, for $1 seconds; sets hwnd, its preview's handle.
start_host() {
  "$wine_run" "$preview_host" "$1" >"$work/host.txt" 2>/dev/null &
  for _ in $(seq 1 100); do hwnd=$(head -n 1 "$work/host.txt" | tr -dc '0-9') && [ -n "$hwnd" ] && return; sleep 0.2; done
}

# Wine draws a GL child into an X window of its own, parked under a 1x1 window at -1,-1.
gl_window() { # WxH
  timeout 10 xwininfo -root -tree | awk -v size=" $1+0+0 " 'index($0, size) && / \+-1\+-1$/ { print $1; exit }'
}

# The saver run as Windows 98 runs it, with the test PASSWORD.CPL beside it.
as_windows98() {
  mkdir -p "$work/98"
  cp "$scr" "$work/98/needlecast.scr"
  cp "$password_cpl" "$work/98/PASSWORD.CPL"
  scr=$work/98/needlecast.scr
  reg add 'HKCU\Software\Wine\AppDefaults\needlecast.scr' /v Version /d win98 /f
  reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f
  on_exit+=("$wine_run reg delete 'HKCU\\Control Panel\\Desktop' /v ScreenSaveUsePassword /f >/dev/null 2>&1")
}
answer() { reg add 'HKCU\Software\Needlecast\Test' /v PasswordAnswer /t REG_DWORD /d "$1" /f; }

case_fullscreen() {
  start /s
  id=$(wait_window "Screen Saver" 20)
  sleep 2
  [ "$(geometry "$id")" = "0 0 $screen_w $screen_h" ]
  check "/s covers the whole ${screen_w}x$screen_h screen" $?
  gl=$(gl_window "${screen_w}x$screen_h")
  shot "$gl" "$work/one.png"
  check_picture "$work/one.png" "the GL child"
  sleep 1
  shot "$gl" "$work/two.png"
  [ "$(compare -metric AE "$work/one.png" "$work/two.png" null: 2>&1 | cut -d' ' -f1)" != 0 ]
  check "a second later the picture has moved" $?
  first=$pid && start /s
  wait_exit 15 && [ "$code" -eq 0 ] && [ "$(xdotool search --name '^Screen Saver$' | wc -l)" -eq 1 ]
  check "a second /s exits with 0 and leaves one saver window (code ${code:-running})" $?
  pid=$first
  for input in "key a" "click 1"; do
    [ "$input" = "click 1" ] && { start -S; wait_window "Screen Saver" 20 >/dev/null && sleep 2; }
    xdotool $input
    wait_exit 10 && [ "$code" -eq 0 ]
    check "'$input' ends it with 0 (code ${code:-running})" $?
  done
}

case_preview() {
  start_host 10
  start /p "$hwnd"
  sleep 4
  gl=$(gl_window 152x112)
  shot "${gl:-none}" "$work/preview.png"
  [ "$(convert "$work/preview.png" -format '%[fx:maxima > 0.05]' info:)" = 1 ]
  check "/p draws into the 152x112 preview" $?
  xdotool mousemove 200 200 mousemove 260 250 click 1 key a key Return
  sleep 1.5
  kill -0 "$pid"
  check "the preview ignores pointer, clicks and keys" $?
  wait_exit 15 && [ "$code" -eq 0 ]
  check "it ends with 0 when the settings destroy its window (code ${code:-running})" $?
}

case_about() {
  start_host 60
  for args in "" "/c:$hwnd"; do
    start $args
    id=$(wait_window Needlecast 20)
    sleep 1
    host texts Needlecast >"$work/texts.txt"
    [ "$(grep -cE "^title: Needlecast|^Version $("$root/scripts/version")\$|^1: OK|^101[12]: " "$work/texts.txt")" = 5 ]
    check "'$args' opens the about box" $?
    for _ in 1 2 3; do xdotool windowactivate --sync "$id" 2>/dev/null; xdotool key Return; wait_exit 4 && break; done
    [ "${code:-}" = 1 ]
    check "Return presses OK: exit code 1 (code ${code:-running})" $?
  done
}

# Windows 98 with a password: the test verifier refuses, then accepts; /a changes it.
case_windows98() {
  as_windows98
  answer 0
  start /s
  id=$(wait_window "Screen Saver" 20)
  sleep 2
  xdotool key a
  sleep 2
  kill -0 "$pid" && [ "$(host running)" = 1 ]
  check "a refused password keeps the saver, and the system believes it runs" $?
  answer 1
  xdotool windowactivate --sync "$id" 2>/dev/null
  xdotool key a
  wait_exit 10 && [ "$code" -eq 0 ] && [ "$(host running)" = 0 ]
  check "an accepted one ends it with 0, and the system hears so (code ${code:-running})" $?
  start /a
  wait_exit 20 && [ "$code" -eq 0 ]
  check "/a reaches the password change and exits with 0 (code ${code:-running})" $?
}

# No GLX on this display: the GL set-up fails with a message box, then exit code 1, and as
# Windows 98 with a password the system no longer believes a saver runs.
case_setup_failure() {
  as_windows98
  start /s
  id=$(wait_window Needlecast 30)
  host texts Needlecast >"$work/texts.txt"
  grep -qE ': [A-Za-z]+ failed\.$' "$work/texts.txt" && [ "$(host running)" = 1 ]
  check "a failed set-up says so in a message box" $?
  xdotool windowactivate --sync "$id" 2>/dev/null
  xdotool key Return
  wait_exit 15 && [ "$code" -eq 1 ] && [ "$(host running)" = 0 ]
  check "dismissed, it exits with 1 and the saver state is off (code ${code:-running})" $?
}

# The 18-point line is taller at 144 DPI than at 96.
case_dpi() {
  local rows=()
  for dpi in 96 144; do
    reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f
    start /s
    wait_window "Screen Saver" 20 >/dev/null
    sleep 3
    shot "$(gl_window "${screen_w}x$screen_h")" "$work/dpi.png"
    rows+=("$(text_rows "$work/dpi.png")")
    xdotool key a
    wait_exit 10
    WINEPREFIX=$NEEDLECAST_WINEPREFIX wineserver -k 2>/dev/null
  done
  reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f
  [ "${rows[0]:-0}" -gt 5 ] && [ $((${rows[1]:-0} * 10)) -ge $((rows[0] * 13)) ]
  check "the estimate line is taller at 144 DPI (${rows[1]:-?} rows) than at 96 (${rows[0]:-?})" $?
}

for c in "$@"; do
  "case_$c"
  WINEPREFIX=$NEEDLECAST_WINEPREFIX wineserver -k 2>/dev/null
  sleep 1
done
finish
