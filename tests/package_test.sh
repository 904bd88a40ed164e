#!/usr/bin/env bash
# Checks what scripts/package.sh made: the zip, and the installer and uninstaller under Wine.
# Usage: bash tests/package_test.sh   (after bash scripts/package.sh)
# Runs on an Xvfb of its own (through scripts/with-xvfb) and in Wine prefixes of its own,
# build/wine-package (64-bit Windows) and build/wine-package32 (32-bit Windows), which it
# makes afresh each run.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix64=$root/build/wine-package
prefix32=$root/build/wine-package32
export NEEDLECAST_WINEPREFIX=$prefix64

# The installed saver is run full screen once; that wants a display nobody is using.
if [ -z "${NEEDLECAST_PACKAGE_TEST_ON_XVFB:-}" ]; then
  NEEDLECAST_PACKAGE_TEST_ON_XVFB=1 exec bash "$root/scripts/with-xvfb" bash "$root/tests/package_test.sh" "$@"
fi

wine_run=$root/scripts/wine-run
zip_file=$root/dist/needlecast-1.0-windows.zip
setup=$root/dist/needlecast-1.0-setup.exe
scr32=$root/build/win32/needlecast.scr
scr64=$root/build/win64/needlecast.scr
desktop='HKCU\Control Panel\Desktop'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Needlecast'
previous='C:\windows\system32\previous.scr'
installed='C:\windows\System32\needlecast.scr'

# The prefix the Wine commands below work in; sets the paths inside it.
use_prefix() { # path
  prefix=$1
  export NEEDLECAST_WINEPREFIX=$prefix
  installed_file=$prefix/drive_c/windows/system32/needlecast.scr
  install_dir=$prefix/drive_c/Program\ Files/Needlecast
}
use_prefix "$prefix64"

work=$(mktemp -d)
passes=0
failures=0
check() { # name, status
  if [ "$2" -eq 0 ]; then passes=$((passes + 1)); echo "ok: $1"; else failures=$((failures + 1)); echo "FAILED: $1"; fi
}
finish() {
  for p in "$prefix64" "$prefix32"; do
    [ -d "$p" ] && WINEPREFIX=$p wineserver -k 2>/dev/null
  done
  rm -rf "$work"
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
  exit
}

for file in "$zip_file" "$setup" "$scr32" "$scr64"; do
  [ -f "$file" ]
  check "${file#"$root"/} is there" $?
done
if [ "$failures" -ne 0 ]; then
  echo "Build the savers and the package first: make build-win32 build-win64 && bash scripts/package.sh"
  finish
fi

# --- The zip --------------------------------------------------------------------------

echo "== the zip"
unzip -tq "$zip_file" >/dev/null
check "the zip reads back without errors" $?

# Folders may come as entries of their own; files other than these four may not.
entries=$(unzip -Z1 "$zip_file" | grep -v '/$' | sort | tr '\n' ' ')
[ "$entries" = "LICENSE README.txt x64/needlecast.scr x86/needlecast.scr " ]
check "the zip holds exactly x64/needlecast.scr, x86/needlecast.scr, README.txt, LICENSE (got: $entries)" $?

unzip -p "$zip_file" x64/needlecast.scr | cmp -s - "$scr64"
check "x64/needlecast.scr is build/win64/needlecast.scr byte for byte" $?
unzip -p "$zip_file" x86/needlecast.scr | cmp -s - "$scr32"
check "x86/needlecast.scr is build/win32/needlecast.scr byte for byte" $?

unzip -p "$zip_file" x64/needlecast.scr >"$work/x64.scr"
unzip -p "$zip_file" x86/needlecast.scr >"$work/x86.scr"
kind=$(file -b "$work/x64.scr")
[[ $kind == "PE32+ executable (GUI) x86-64"* ]]
check "x64/needlecast.scr is a 64-bit Windows GUI program (file: $kind)" $?
kind=$(file -b "$work/x86.scr")
[[ $kind == "PE32 executable (GUI) Intel 80386"* ]]
check "x86/needlecast.scr is a 32-bit Windows GUI program (file: $kind)" $?

unzip -p "$zip_file" README.txt >"$work/README.txt"
[ -s "$work/README.txt" ] && ! grep -qv $'\r$' "$work/README.txt"
check "README.txt has Windows (CRLF) line ends throughout" $?
grep -q 'System32' "$work/README.txt" && grep -q 'SysWOW64' "$work/README.txt"
check "README.txt names the System32 and SysWOW64 folders" $?
unzip -p "$zip_file" LICENSE >"$work/LICENSE"
cmp -s "$work/LICENSE" "$root/LICENSE" && grep -q '^MIT License$' "$work/LICENSE" &&
  grep -q '^Copyright (c) 2026 The Needlecast developers$' "$work/LICENSE"
check "LICENSE is the repository's MIT licence for The Needlecast developers" $?

# --- Installer and uninstaller under Wine ---------------------------------------------

# Prints a registry value's data (64-bit view); fails if the value is not there.
reg_get() { # key name
  local out
  out=$("$wine_run" reg query "$1" /v "$2" /reg:64 2>/dev/null) || return 1
  printf '%s\n' "$out" | tr -d '\r' | awk -v name="$2" '
    { line = $0; sub(/^ +/, "", line) }
    index(line, name " ") == 1 {
      rest = substr(line, length(name) + 1); sub(/^ +REG_[A-Z_]+ +/, "", rest)
      if (rest ~ /^ +REG_[A-Z_]+$/) rest = ""
      print rest; found = 1
    }
    END { exit !found }'
}
key_exists() { # key view(32|64)
  "$wine_run" reg query "$1" "/reg:$2" >/dev/null 2>&1
}
lower() { tr '[:upper:]' '[:lower:]'; }
# SCRNSAVE.EXE in lower case, or "(none)".
current_saver() {
  local value
  if value=$(reg_get "$desktop" SCRNSAVE.EXE); then lower <<<"$value"; else echo "(none)"; fi
}

set_saver() { # path
  "$wine_run" reg add "$desktop" /v SCRNSAVE.EXE /d "$1" /f >/dev/null 2>&1
}
clear_saver() {
  "$wine_run" reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1
  ! reg_get "$desktop" SCRNSAVE.EXE >/dev/null
}

# Runs the installer silently; logs its output.
run_setup() {
  "$wine_run" "$setup" /S >"$work/setup.log" 2>&1
}

# Runs the uninstaller the way the installed-programs list does for a quiet uninstall:
# the QuietUninstallString. The uninstaller copies itself to the temp folder and returns
# at once, so this waits for every program in the prefix to end.
uninstall() {
  local line exe args
  line=$(reg_get "$uninstall_key" QuietUninstallString) || return 1
  [[ $line =~ ^\"([^\"]+)\"\ (.*)$ ]] || return 1
  exe=${BASH_REMATCH[1]}
  read -r -a args <<<"${BASH_REMATCH[2]}"
  "$wine_run" "$exe" "${args[@]}" >"$work/uninstall.log" 2>&1 || return 1
  timeout 60 env WINEPREFIX="$prefix" wineserver -w
}

# What a finished uninstall leaves: no saver, no entry, no folder.
check_removed() { # round
  [ ! -e "$installed_file" ] && [ ! -e "$prefix/drive_c/windows/syswow64/needlecast.scr" ]
  check "$1: the uninstaller removed needlecast.scr" $?
  ! key_exists "$uninstall_key" 64 && ! key_exists "$uninstall_key" 32
  check "$1: the uninstaller removed its installed-programs entry" $?
  [ ! -e "$install_dir" ]
  check "$1: the uninstaller removed C:\\Program Files\\Needlecast" $?
}

# A quiet uninstall, what it removes, and the screen-saver setting it leaves behind.
uninstall_leaves() { # round expected-setting description
  local got
  uninstall
  check "$1: the quiet uninstall runs and ends" $?
  check_removed "$1"
  got=$(current_saver)
  [ "$got" = "$(lower <<<"$2")" ]
  check "$1: $3 (got $got)" $?
}

# Makes the current prefix afresh, for the given Windows architecture.
fresh_prefix() { # win32|win64
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  rm -rf "$prefix" "$prefix.lock"
  WINEARCH=$1 "$root/scripts/wine-prefix" >/dev/null 2>&1
}

echo "== a fresh 64-bit Wine prefix ($prefix)"
fresh_prefix win64 && [ -d "$prefix/drive_c/windows/syswow64" ]
made=$?
check "made a 64-bit Wine prefix" $made
[ $made -eq 0 ] || finish

echo "== install over a screen saver the user had chosen"
round="round 1"
set_saver "$previous" && [ "$(current_saver)" = "$(lower <<<"$previous")" ]
check "$round: SCRNSAVE.EXE set to $previous before installing" $?
run_setup
code=$?
check "$round: needlecast-1.0-setup.exe /S exits with 0 (got $code)" $code
[ -f "$installed_file" ] && cmp -s "$installed_file" "$scr64"
check "$round: system32\\needlecast.scr is the 64-bit saver byte for byte" $?
[ ! -e "$prefix/drive_c/windows/syswow64/needlecast.scr" ]
check "$round: nothing went into syswow64 (file-system redirection was off)" $?
got=$(current_saver)
[ "$got" = "$(lower <<<"$installed")" ]
check "$round: SCRNSAVE.EXE names the installed saver (got $got)" $?

[ "$(reg_get "$uninstall_key" DisplayName)" = Needlecast ] &&
  [ "$(reg_get "$uninstall_key" DisplayVersion)" = 1.0 ] &&
  [ "$(reg_get "$uninstall_key" Publisher)" = "The Needlecast developers" ]
check "$round: the installed-programs entry says Needlecast 1.0 by The Needlecast developers" $?
[ "$(reg_get "$uninstall_key" NoModify)" = 0x1 ] && [ "$(reg_get "$uninstall_key" NoRepair)" = 0x1 ]
check "$round: the entry offers no modify and no repair" $?
uninstall_string=$(reg_get "$uninstall_key" UninstallString)
[ "$uninstall_string" = '"C:\Program Files\Needlecast\uninstall.exe"' ] && [ -f "$install_dir/uninstall.exe" ]
check "$round: UninstallString is the quoted uninstaller, and it is there (got $uninstall_string)" $?
[ "$(reg_get "$uninstall_key" QuietUninstallString)" = "$uninstall_string /S" ]
check "$round: QuietUninstallString is the same with /S" $?
key_exists "$uninstall_key" 64 && ! key_exists "$uninstall_key" 32
check "$round: the entry is in the 64-bit registry view only" $?

echo "== the installed saver, full screen"
# Started the way Windows starts it, by a 64-bit program with its System32 path. The
# plain wine command starts Windows paths through a 32-bit program, which sees syswow64
# in place of system32 and so would not find it; the 64-bit loader sees the real folder.
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
xdotool mousemove 500 400
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' \
  "$wine64" 'C:\windows\system32\needlecast.scr' /s >"$work/saver.log" 2>&1 &
saver=$!
window=
for _ in $(seq 1 150); do
  window=$(xdotool search --onlyvisible --name '^Screen Saver$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$saver" 2>/dev/null || break
  sleep 0.2
done
[ -n "$window" ]
check "$round: C:\\windows\\system32\\needlecast.scr /s opens the Screen Saver window" $?
sleep 2
xdotool key a
code=
for _ in $(seq 1 50); do
  if ! kill -0 "$saver" 2>/dev/null; then wait "$saver"; code=$?; break; fi
  sleep 0.2
done
[ "$code" = 0 ]
check "$round: a key press ends it with exit code 0 within 10 s (got ${code:-still running})" $?
if [ -z "$code" ]; then
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  wait "$saver" 2>/dev/null
fi

uninstall_leaves "$round" "$previous" "SCRNSAVE.EXE is back to $previous"

echo "== install where no screen saver was chosen"
round="round 2"
clear_saver
check "$round: no SCRNSAVE.EXE before installing" $?
run_setup
check "$round: needlecast-1.0-setup.exe /S exits with 0" $?
got=$(current_saver)
[ "$got" = "$(lower <<<"$installed")" ]
check "$round: SCRNSAVE.EXE names the installed saver (got $got)" $?
uninstall_leaves "$round" "(none)" "SCRNSAVE.EXE is gone again"

echo "== another screen saver chosen after installing"
round="round 3"
set_saver "$previous"
run_setup
check "$round: needlecast-1.0-setup.exe /S exits with 0" $?
set_saver 'C:\windows\system32\other.scr'
uninstall_leaves "$round" 'c:\windows\system32\other.scr' "the user's later choice stays"

echo "== installing twice"
round="round 4"
set_saver "$previous"
run_setup && run_setup
check "$round: the installer runs twice with exit code 0" $?
[ -f "$installed_file" ] && cmp -s "$installed_file" "$scr64"
check "$round: the second install leaves the 64-bit saver in place" $?
uninstall_leaves "$round" "$previous" "SCRNSAVE.EXE is back to the saver from before the first install"

echo "== 32-bit Windows"
round="32-bit"
WINEPREFIX=$prefix wineserver -k 2>/dev/null
use_prefix "$prefix32"
fresh_prefix win32 && [ -d "$prefix/drive_c/windows/system32" ] && [ ! -e "$prefix/drive_c/windows/syswow64" ]
check "$round: made a 32-bit Wine prefix ($prefix)" $?
set_saver "$previous"
run_setup
check "$round: needlecast-1.0-setup.exe /S exits with 0" $?
[ -f "$installed_file" ] && cmp -s "$installed_file" "$scr32"
check "$round: system32\\needlecast.scr is the 32-bit saver byte for byte" $?
got=$(current_saver)
[ "$got" = 'c:\windows\system32\needlecast.scr' ]
check "$round: SCRNSAVE.EXE names the installed saver (got $got)" $?
[ "$(reg_get "$uninstall_key" DisplayName)" = Needlecast ] && [ -f "$install_dir/uninstall.exe" ]
check "$round: the installed-programs entry and the uninstaller are there" $?
uninstall_leaves "$round" "$previous" "SCRNSAVE.EXE is back to $previous"

finish
