#!/usr/bin/env bash
# What scripts/package.sh made: the zip's contents, and the installer and its uninstaller
# under Wine in fresh prefixes of their own, 64-bit and 32-bit.
# Usage: package_test.sh   (after scripts/package.sh)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
zip_file=$(ls "$root"/dist/needlecast-*-windows.zip)
setup=$(ls "$root"/dist/needlecast-*-setup.exe)
desktop='HKCU\Control Panel\Desktop'
previous='c:\windows\system32\previous.scr'
installed='c:\windows\system32\needlecast.scr'
on_exit+=('WINEPREFIX=$prefix wineserver -k 2>/dev/null')

mkdir "$work/zip"
unzip -q "$zip_file" -d "$work/zip"
[ "$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')" = "./LICENSE ./README.txt ./x64/needlecast.scr ./x86/needlecast.scr " ] &&
  cmp -s "$work/zip/x64/needlecast.scr" "$root/build/win64/needlecast.scr" &&
  cmp -s "$work/zip/x86/needlecast.scr" "$root/build/win32/needlecast.scr"
check "the zip holds both savers as built, the read-me and the licence" $?

wine_in() { WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' "$@"; }
saver() { # SCRNSAVE.EXE in lower case, or (none)
  wine_in wine reg query "$desktop" /v SCRNSAVE.EXE 2>/dev/null | tr -d '\r' |
    awk '/SCRNSAVE.EXE/ { sub(/.*REG_SZ +/, ""); print tolower($0); found = 1 } END { if (!found) print "(none)" }'
}
set_saver() {
  if [ "$1" = "(none)" ]; then wine_in wine reg delete "$desktop" /v SCRNSAVE.EXE /f; else
    wine_in wine reg add "$desktop" /v SCRNSAVE.EXE /d "$1" /f; fi >/dev/null 2>&1
}
uninstall() {
  wine_in wine 'C:\Program Files\Needlecast\uninstall.exe' /S >/dev/null 2>&1
  timeout 60 env WINEPREFIX="$prefix" wineserver -w
}

# One install and uninstall: the setting before, one the user picks after installing (or
# none), and what the uninstall must leave.
round() { # what before after-install left
  set_saver "$2"
  wine_in wine "$setup" /S >/dev/null 2>&1
  check "$1: the silent setup exits with 0" $?
  [ "$(saver)" = "$installed" ] && cmp -s "$prefix/drive_c/windows/system32/needlecast.scr" "$expected_scr"
  check "$1: the saver is installed as built and is the screen saver ($(saver))" $?
  [ -n "$3" ] && set_saver "$3"
  uninstall
  [ "$(saver)" = "$4" ] && [ ! -e "$prefix/drive_c/windows/system32/needlecast.scr" ] &&
    [ ! -e "$prefix/drive_c/Program Files/Needlecast" ]
  check "$1: the uninstaller removes it and leaves the screen saver $4 ($(saver))" $?
}

for arch in win64 win32; do
  prefix=$root/build/wine-package-$arch
  rm -rf "$prefix" "$prefix.lock"
  WINEARCH=$arch NEEDLECAST_WINEPREFIX=$prefix "$root/scripts/wine-prefix" >/dev/null 2>&1
  expected_scr=$root/build/${arch}/needlecast.scr
  round "$arch, over a saver the user chose" "$previous" "" "$previous"
  if [ $arch = win64 ]; then
    [ ! -e "$prefix/drive_c/windows/syswow64/needlecast.scr" ]
    check "$arch: nothing went into syswow64" $?
    round "$arch, where none was chosen" "(none)" "" "(none)"
    round "$arch, another chosen after installing" "$previous" 'c:\windows\system32\other.scr' 'c:\windows\system32\other.scr'
  fi
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
done
finish
