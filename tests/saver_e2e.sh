#!/usr/bin/env bash
# needlecast.scr end to end under Wine on the Xvfb that scripts/with-xvfb started: full screen,
# preview, about box and set-up failure, with real X input from xdotool.
# Usage: saver_e2e.sh wine-run needlecast.scr preview_host.exe [cases...]
set -u
wine_run=$1
scr=$2
preview_host=$3
shift 3
cases=("$@")
# The windows98 and setup_failure cases take the test PASSWORD.CPL as their last argument.
password_cpl=
if [ ${#cases[@]} -eq 2 ] && [[ ${cases[0]} == @(windows98|setup_failure) ]]; then
  password_cpl=${cases[1]}
  cases=("${cases[0]}")
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The prefix scripts/with-xvfb chose: the test ends every Wine process in it between cases.
export NEEDLECAST_WINEPREFIX=${NEEDLECAST_WINEPREFIX:-$root/build/wine-x}
[ ${#cases[@]} -gt 0 ] || cases=(fullscreen second preview preview_refusals about)

work=$(mktemp -d)
# shellcheck source=x_test_lib.sh
source "$root/tests/x_test_lib.sh"
cleanup() {
  # Everything this test started in its prefix.
  WINEPREFIX=$NEEDLECAST_WINEPREFIX wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Starts the saver in the background with the given arguments; sets pid.
start() {
  "$wine_run" "$scr" "$@" >"$work/out.txt" 2>&1 &
  pid=$!
}

# Starts the stand-in for the display settings for $1 seconds; sets host (its pid) and
# hwnd (its preview window's handle, empty if none came).
start_preview_host() {
  "$wine_run" "$preview_host" "$1" >"$work/host.txt" 2>/dev/null &
  host=$!
  hwnd=
  for _ in $(seq 1 100); do
    hwnd=$(head -n 1 "$work/host.txt" 2>/dev/null | tr -dc '0-9')
    [ -n "$hwnd" ] && break
    sleep 0.2
  done
}

# Wine draws a GL child into an X window of its own parked under a 1x1 window at -1,-1.
gl_window() { # WxH
  timeout 10 xwininfo -root -tree | awk -v size=" $1+0+0 " 'index($0, size) && / \+-1\+-1$/ { print $1; exit }'
}

case_fullscreen() {
  xdotool mousemove 500 400
  start /s
  local id
  id=$(wait_window "Screen Saver" 20)
  check "/s opens the saver window" $?
  sleep 2
  local geometry
  geometry=$(window_geometry "$id")
  [ "$geometry" = "0 0 1024 768" ]
  check "the window covers the 1024x768 screen (got $geometry)" $?

  local gl
  gl=$(gl_window 1024x768)
  [ -n "$gl" ]
  check "the GL child draws at 1024x768" $?
  if [ -n "$gl" ]; then
    shot "$gl" "$work/one.png"
    sleep 1
    shot "$gl" "$work/two.png"
    local runs
    runs=$(line_runs "$work/one.png" 1024 768)
    [ "$runs" -ge 8 ]
    check "the screenshot shows the pane lines ($runs runs down the centre)" $?
    [ "$(text_pixels "$work/one.png" 1024 768)" -gt 50 ]
    check "the screenshot shows the estimate line" $?
    [ "$(compare -metric AE "$work/one.png" "$work/two.png" null: 2>&1 | cut -d' ' -f1)" != "0" ]
    check "a second screenshot a second later differs" $?
    [ -n "${NEEDLECAST_SHOT:-}" ] && cp "$work/one.png" "$NEEDLECAST_SHOT"
  fi

  # From wherever the pointer is now that the saver is up.
  local x y
  eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
  x=$X
  y=$Y
  xdotool mousemove $((x + 3)) $((y + 1))
  sleep 1.5
  kill -0 "$pid" 2>/dev/null
  check "a move of 3 right and 1 down leaves it running" $?
  xdotool mousemove $((x + 4)) $((y + 1))
  wait_exit 10 && [ "$code" -eq 0 ]
  check "one pixel more ends it with exit code 0 (code ${code:-running})" $?

  start /s
  wait_window "Screen Saver" 20 >/dev/null && sleep 2
  xdotool key a
  wait_exit 10 && [ "$code" -eq 0 ]
  check "a key press ends it with 0 (code ${code:-running})" $?

  start -S
  wait_window "Screen Saver" 20 >/dev/null && sleep 2
  xdotool click 1
  wait_exit 10 && [ "$code" -eq 0 ]
  check "a click ends it with 0 (code ${code:-running})" $?
}

case_second() {
  start /s
  local first=$pid
  wait_window "Screen Saver" 20 >/dev/null && sleep 2
  start /s
  wait_exit 15 && [ "$code" -eq 0 ]
  check "a second /s exits with 0 (code ${code:-running})" $?
  kill -0 "$first" 2>/dev/null
  check "the first saver runs on" $?
  [ "$(xdotool search --name '^Screen Saver$' | wc -l)" -eq 1 ]
  check "only one saver window" $?
  pid=$first
  xdotool key Escape
  wait_exit 10
}

case_preview() {
  start_preview_host 10
  [ -n "$hwnd" ]
  check "the preview host gives its window handle" $?
  xdotool mousemove 10 10
  start /p "$hwnd"
  sleep 4
  local gl
  gl=$(gl_window 152x112)
  [ -n "$gl" ]
  check "/p draws into the 152x112 preview" $?
  if [ -n "$gl" ]; then
    shot "$gl" "$work/preview.png"
    [ "$(convert "$work/preview.png" -format '%[fx:maxima.r > 0.05 || maxima.g > 0.05 || maxima.b > 0.05]' info:)" = "1" ]
    check "the preview shows the scene" $?
  fi
  local host_window
  host_window=$(xdotool search --name "^Preview host$" | head -n 1)
  xdotool mousemove 200 200 mousemove 260 250
  [ -n "$host_window" ] && xdotool windowactivate --sync "$host_window" 2>/dev/null
  xdotool key a key Return
  sleep 1.5
  kill -0 "$pid" 2>/dev/null
  check "the preview ignores pointer moves and keys" $?
  wait_exit 15 && [ "$code" -eq 0 ]
  check "the preview ends when the host destroys its window (code ${code:-running})" $?
  wait "$host" 2>/dev/null
}

case_preview_refusals() {
  local args
  for args in "/p" "/p 0" "/p:1234" "/x" "/ 7"; do
    start $args
    wait_exit 10 && [ "$code" -eq 255 ]
    check "'$args' exits with -1 at once (code ${code:-running})" $?
  done
}

case_about() {
  # A window of the test's own to own the box in "/c:<hwnd>".
  start_preview_host 60
  local args
  for args in "/c" "" "/c:$hwnd" "/c:1"; do
    start $args
    local id
    id=$(wait_window "Needlecast" 20)
    check "'$args' opens the about box" $?
    sleep 1
    if [ -n "$id" ]; then
      "$wine_run" "$preview_host" texts Needlecast >"$work/texts.txt" 2>/dev/null
      grep -q '^title: Needlecast' "$work/texts.txt" && grep -q 'Version 1.0' "$work/texts.txt" &&
        grep -q '^1: OK' "$work/texts.txt" && grep -q '^1011: ' "$work/texts.txt" && grep -q '^1012: ' "$work/texts.txt"
      check "the about box has its title, version, links and OK ($(tr '\n' '|' <"$work/texts.txt"))" $?
      shot "$id" "$work/about.png"
      [ -n "${NEEDLECAST_ABOUT_SHOT:-}" ] && cp "$work/about.png" "$NEEDLECAST_ABOUT_SHOT"
      local dark blue
      dark=$(convert "$work/about.png" -fx '(r<0.3 && g<0.3 && b<0.3) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:)
      blue=$(convert "$work/about.png" -fx '(b>0.6 && r<0.3 && g<0.3) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:)
      [ "$dark" -gt 300 ] && [ "$blue" -gt 50 ]
      check "the screenshot shows its texts and the blue links ($dark dark, $blue blue pixels)" $?
    fi
    # The key goes to the focused window: make sure that is the dialog.
    for _ in 1 2 3; do
      [ -n "$id" ] && xdotool windowactivate --sync "$id" 2>/dev/null
      xdotool key Return
      wait_exit 4 && break
    done
    [ -n "$code" ] && [ "$code" -eq 1 ]
    check "Return ends the about box with 1 (code ${code:-running})" $?
  done
}

# On a display without GLX the GL set-up fails: a message box, then exit code 1. As Windows
# 98 with a password, whose module has told the system a saver runs: the failure tells it
# that none runs any more.
case_setup_failure() {
  local dir=$work/saver
  mkdir -p "$dir"
  cp "$scr" "$dir/needlecast.scr"
  cp "$password_cpl" "$dir/PASSWORD.CPL"
  "$wine_run" reg add 'HKCU\Software\Wine\AppDefaults\needlecast.scr' /v Version /d win98 /f >/dev/null 2>&1
  "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null 2>&1
  "$wine_run" "$dir/needlecast.scr" /s >"$work/out.txt" 2>&1 &
  pid=$!
  local id
  id=$(wait_window "Needlecast" 30)
  check "a failed set-up shows a message box captioned Needlecast" $?
  "$wine_run" "$preview_host" texts Needlecast >"$work/texts.txt" 2>/dev/null
  grep -qE ' failed\.$' "$work/texts.txt"
  check "its text ends in ' failed.' ($(tr '\n' '|' <"$work/texts.txt"))" $?
  [ "$("$wine_run" "$preview_host" running | tr -d '\r')" = 1 ]
  check "while it shows, the system believes a saver runs" $?
  [ -n "$id" ] && xdotool windowactivate --sync "$id" 2>/dev/null
  xdotool key Return
  wait_exit 15 && [ "$code" -eq 1 ]
  check "the saver exits with 1 after it is dismissed (code ${code:-running})" $?
  [ "$("$wine_run" "$preview_host" running | tr -d '\r')" = 0 ]
  check "after it, the system knows no saver runs" $?
  "$wine_run" reg delete 'HKCU\Software\Wine\AppDefaults\needlecast.scr' /f >/dev/null 2>&1
  "$wine_run" reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f >/dev/null 2>&1
}

# The text's height in rows: rows of the bottom 120 with grey pixels (white at 45 % over
# black, or over the dark underside of a pane line) across the middle and none at the
# edges, so that a stray grey needle or a grey pane line is not taken for text.
# A screen wider than usual is covered whole (scripts/with-xvfb --size 3200x900).
case_wide() {
  start /s
  local id geometry
  id=$(wait_window "Screen Saver" 20)
  sleep 1
  geometry=$(window_geometry "$id")
  [ "$geometry" = "0 0 3200 900" ]
  check "the saver covers the whole 3200x900 screen (got $geometry)" $?
  [ -n "$(gl_window 3200x900)" ]
  check "the GL child draws at 3200x900" $?
  xdotool key a
  wait_exit 10
}

# At 144 DPI the frame still fills the screen, and the 18-point line is taller.
case_dpi() {
  local rows96 rows144 dpi
  for dpi in 96 144; do
    "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    start /s
    wait_window "Screen Saver" 20 >/dev/null
    sleep 3
    local gl
    gl=$(gl_window 1024x768)
    [ -n "$gl" ]
    check "at $dpi DPI the GL child draws the full 1024x768 frame" $?
    [ -n "$gl" ] && shot "$gl" "$work/dpi$dpi.png"
    [ -n "${NEEDLECAST_DPI_SHOT:-}" ] && [ -n "$gl" ] && cp "$work/dpi$dpi.png" "${NEEDLECAST_DPI_SHOT%.png}-$dpi.png"
    xdotool key a
    wait_exit 10
    WINEPREFIX=$NEEDLECAST_WINEPREFIX wineserver -k 2>/dev/null
    if [ "$dpi" = 96 ]; then rows96=$(text_rows "$work/dpi96.png" 1024 768); else rows144=$(text_rows "$work/dpi144.png" 1024 768); fi
  done
  "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  [ "${rows96:-0}" -gt 5 ] && [ $((rows144 * 10)) -ge $((rows96 * 13)) ]
  check "the estimate line is taller at 144 DPI ($rows144 rows) than at 96 ($rows96 rows)" $?
}

# Windows 98 as Wine poses it for this one program, with a password that the test
# verifier answers: refused keeps the saver running, accepted ends it; /a changes it.
case_windows98() {
  local dir=$work/saver
  mkdir -p "$dir"
  cp "$scr" "$dir/needlecast.scr"
  cp "$password_cpl" "$dir/PASSWORD.CPL"
  reg() { "$wine_run" reg "$@" >/dev/null 2>&1; }
  asked() {
    local hex
    hex=$("$wine_run" reg query 'HKCU\Software\Needlecast\Test' /v PasswordAsked 2>/dev/null |
      tr -d '\r' | awk '/PasswordAsked/ { print $3 }')
    echo $((${hex:-0}))
  }
  reg add 'HKCU\Software\Wine\AppDefaults\needlecast.scr' /v Version /d win98 /f
  reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f
  reg add 'HKCU\Software\Needlecast\Test' /v PasswordAnswer /t REG_DWORD /d 0 /f
  reg add 'HKCU\Software\Needlecast\Test' /v PasswordAsked /t REG_DWORD /d 0 /f

  "$wine_run" "$dir/needlecast.scr" /s >"$work/out.txt" 2>&1 &
  pid=$!
  local id
  id=$(wait_window "Screen Saver" 20)
  check "the Windows 98 saver starts" $?
  sleep 2
  xdotool key a
  sleep 2
  kill -0 "$pid" 2>/dev/null
  check "a refused password keeps the saver running" $?
  [ "$(asked)" -ge 1 ]
  check "the verifier was asked ($(asked) times)" $?

  reg add 'HKCU\Software\Needlecast\Test' /v PasswordAnswer /t REG_DWORD /d 1 /f
  sleep 0.5
  [ -n "$id" ] && xdotool windowactivate --sync "$id" 2>/dev/null
  xdotool key a
  wait_exit 10 && [ "$code" -eq 0 ]
  check "an accepted password ends it with 0 (code ${code:-running})" $?

  "$wine_run" "$dir/needlecast.scr" /a >/dev/null 2>&1 &
  pid=$!
  wait_exit 20 && [ "$code" -eq 0 ]
  check "/a reaches the password change and exits with 0 (code ${code:-running})" $?

  reg delete 'HKCU\Software\Wine\AppDefaults\needlecast.scr' /f
  reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f
  "$wine_run" "$dir/needlecast.scr" /a >/dev/null 2>&1 &
  pid=$!
  wait_exit 20 && [ "$code" -eq 255 ]
  check "on the NT family /a exits with -1 (code ${code:-running})" $?
  reg delete 'HKCU\Software\Needlecast\Test' /f
}

for c in "${cases[@]}"; do
  "case_$c"
  # A clean slate for the next case: nothing of this one left in the prefix.
  WINEPREFIX=$NEEDLECAST_WINEPREFIX wineserver -k 2>/dev/null
  sleep 1
done
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
