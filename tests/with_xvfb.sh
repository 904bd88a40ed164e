#!/usr/bin/env bash
# Runs a command with DISPLAY set to a fresh Xvfb of its own, then stops the server.
# Usage: with_xvfb.sh [--size WxH] [--no-glx] command...
set -u
size=1024x768
glx=(+extension GLX)
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size=$2; shift 2 ;;
    --no-glx) glx=(-extension GLX); shift ;;
    *) break ;;
  esac
done

# Windows programs on this display run in a prefix of their own: Wine binds a prefix's
# desktop to the display its first program saw, so one shared with display-less tests
# would have no windows.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export NEEDLECAST_WINEPREFIX=${NEEDLECAST_WINEPREFIX:-$root/build/wine-x}
stop_wine() { [ -d "$NEEDLECAST_WINEPREFIX" ] && WINEPREFIX=$NEEDLECAST_WINEPREFIX wineserver -k 2>/dev/null; }
stop_wine

# A display number nobody uses.
display=
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "with_xvfb: no free display" >&2; exit 1; }

Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp "${glx[@]}" >/dev/null 2>&1 &
server=$!
for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
export DISPLAY=":$display"
"$@"
status=$?
stop_wine
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
