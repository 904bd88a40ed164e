#!/usr/bin/env bash
# What scripts/package.sh made: the zip's contents, and the installer and its uninstaller
# under Wine in fresh prefixes of their own, 64-bit and 32-bit, silently and (32-bit) by hand
# through its pages with xdotool.
# Usage: package_test.sh   (after scripts/package.sh, with both Windows builds' test programs)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
zip_file=$(ls "$root"/dist/needlecast-*-windows.zip)
setup=$(ls "$root"/dist/needlecast-*-setup.exe)
desktop='HKCU\Control Panel\Desktop'
previous='c:\windows\system32\previous.scr'
installed='c:\windows\system32\needlecast.scr'
other='c:\windows\system32\other.scr'
on_exit+=('WINEPREFIX=$prefix wineserver -k 2>/dev/null')

mkdir "$work/zip"
unzip -q "$zip_file" -d "$work/zip"
[ "$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')" = "./LICENSE ./README.txt ./x64/needlecast.scr ./x86/needlecast.scr " ] &&
  cmp -s "$work/zip/x64/needlecast.scr" "$root/build/win64/needlecast.scr" &&
  cmp -s "$work/zip/x86/needlecast.scr" "$root/build/win32/needlecast.scr"
check "the zip holds both savers as built, the read-me and the licence" $?

# Built again two seconds later, the zip and the installer are the same bytes.
cp "$zip_file" "$setup" "$work/" && sleep 2 && bash "$root/scripts/package.sh" >/dev/null
cmp "$work/${zip_file##*/}" "$zip_file" && cmp "$work/${setup##*/}" "$setup"
check "the zip and the installer built again are the same bytes" $?

# The installer is a 32-bit program, as NSIS makes them.
if ! "$root/scripts/runs-32bit"; then
  echo "skipped: the installer under Wine: this machine cannot run 32-bit x86 programs"
  finish
  exit
fi

wine_in() { WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' "$@"; }
setting() { # a desktop setting in lower case, or (none)
  wine_in wine reg query "$desktop" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v name="$1" '$1 == name { sub(/.*REG_SZ +/, ""); print tolower($0); found = 1 } END { if (!found) print "(none)" }'
}
set_setting() { # name value|(none)
  if [ "$2" = "(none)" ]; then wine_in wine reg delete "$desktop" /v "$1" /f; else wine_in wine reg add "$desktop" /v "$1" /d "$2" /f; fi >/dev/null 2>&1
}
settings() { echo "$(setting SCRNSAVE.EXE) active=$(setting ScreenSaveActive)"; }
# The display settings' Install is a stand-in that writes what it was given to $work/opened.txt;
# preview_host prints the texts of the setup's page.
export NEEDLECAST_TEST_RECORD="Z:$work/opened.txt" preview_host=$root/build/win32/tests/preview_host.exe
on_page() { # pattern: waits up to 30 s for a control's text on the page the setup window $id shows
  for _ in $(seq 1 60); do wine_in wine "$preview_host" texts "$(xdotool getwindowname "$id")" 2>/dev/null | grep -q "$1" && return; sleep 0.5; done
  return 1
}
icon() { wrestool -x --type=group_icon "$1" | convert ico:- rgba:- | sha256sum; }
uninstall() {
  wine_in wine 'C:\Program Files\Needlecast\uninstall.exe' /S >/dev/null 2>&1
  timeout 60 env WINEPREFIX="$prefix" wineserver -w
}

# One install and uninstall: the settings before (the saver, whether savers are on), the
# saver the user picks after installing (or none), and what the uninstall must leave.
round() { # what saver active picked-after left
  set_setting SCRNSAVE.EXE "$2"
  set_setting ScreenSaveActive "$3"
  rm -f "$work/opened.txt"
  wine_in wine "$setup" /S >/dev/null 2>&1 && timeout 60 env WINEPREFIX="$prefix" wineserver -w && [ ! -e "$work/opened.txt" ]
  check "$1: the silent setup exits with 0 and opens nothing" $?
  now=$(settings) && [ "$now" = "$installed active=1" ] && cmp -s "$prefix/drive_c/windows/system32/needlecast.scr" "$expected_scr"
  check "$1: the saver is installed as built, chosen and switched on ($now)" $?
  [ -n "$4" ] && set_setting SCRNSAVE.EXE "$4"
  uninstall
  now=$(settings) && [ "$now" = "$5" ] && [ ! -e "$prefix/drive_c/windows/system32/needlecast.scr" ] &&
    [ ! -e "$prefix/drive_c/Program Files/Needlecast" ]
  check "$1: the uninstaller removes it and leaves $5 ($now)" $?
}

# By hand: Next and I Agree reach the finish page, where Finish opens the screen saver settings
# with the saver chosen, as its box starts ticked, or nothing once the box (it has the focus) is
# unticked. Under Wine the 64-bit setup starts the 32-bit rundll32, so the stand-in is 32-bit.
# Both programs carry the saver's icon.
by_hand() {
  local row box expected opened saver_icon
  for row in "ticked|installscreensaver $installed" "unticked|"; do
    IFS='|' read -r box expected <<<"$row"
    rm -f "$work/opened.txt"
    wine_in wine "$setup" >/dev/null 2>&1 &
    id=$(wait_window "Needlecast $("$root/scripts/version") Setup" 30) && on_page "^1201: Welcome to Needlecast" &&
      xdotool key Return && on_page "I &Agree" && xdotool key Return && on_page "^1203: Open the screen saver settings"
    check "by hand: Next and I Agree lead to the finish page and its box" $?
    [ "$box" = unticked ] && xdotool key space
    xdotool key Return && timeout 60 env WINEPREFIX="$prefix" wineserver -w
    opened=$(cat "$work/opened.txt" 2>/dev/null | tr 'A-Z' 'a-z')
    [ "$opened" = "$expected" ]
    check "by hand, box $box: Finish opens ${expected:-nothing} (${opened:-nothing})" $?
  done
  saver_icon=$(convert "$root/src/needlecast.ico" rgba:- | sha256sum)
  [ "$(icon "$setup")" = "$saver_icon" ] && [ "$(icon "$prefix/drive_c/Program Files/Needlecast/uninstall.exe")" = "$saver_icon" ]
  check "the installer and the uninstaller carry the saver's icon" $?
}

for arch in win64 win32; do
  prefix=$root/build/wine-package-$arch
  rm -rf "$prefix" "$prefix.lock"
  WINEARCH=$arch NEEDLECAST_WINEPREFIX=$prefix "$root/scripts/wine-prefix" >/dev/null 2>&1
  expected_scr=$root/build/${arch}/needlecast.scr
  cp "$root/build/win32/tests/password/PASSWORD.CPL" "$prefix/drive_c/windows/$([ $arch = win64 ] && echo syswow64 || echo system32)/desk.cpl"
  round "$arch, over a saver the user chose, savers off" "$previous" 0 "" "$previous active=0"
  if [ $arch = win64 ]; then
    [ ! -e "$prefix/drive_c/windows/syswow64/needlecast.scr" ]
    check "$arch: nothing went into syswow64" $?
    round "$arch, where none was chosen" "(none)" "(none)" "" "(none) active=(none)"
    round "$arch, another chosen after installing" "$previous" 0 "$other" "$other active=1"
  else
    by_hand
  fi
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
done
finish
