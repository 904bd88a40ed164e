#!/usr/bin/env bash
# Makes the release artefacts in dist/: the zip of both savers and the NSIS installer.
# Needs build/win32/needlecast.scr and build/win64/needlecast.scr (make build-win32 build-win64).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=1.0
scr32=$root/build/win32/needlecast.scr
scr64=$root/build/win64/needlecast.scr
dist=$root/dist
zip_out=$dist/needlecast-$version-windows.zip
setup_out=$dist/needlecast-$version-setup.exe

missing=0
for scr in "$scr32" "$scr64"; do
  if [ ! -f "$scr" ]; then
    echo "package.sh: ${scr#"$root"/} is missing; build it first with: make build-win32 build-win64" >&2
    missing=1
  fi
done
[ "$missing" -eq 0 ] || exit 1
for tool in zip makensis; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is not installed" >&2; exit 1; }
done

mkdir -p "$dist"
stage=$(mktemp -d "$dist/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The zip: both savers in folders named for their Windows, the read-me and the licence.
mkdir "$stage/x64" "$stage/x86"
cp "$scr64" "$stage/x64/needlecast.scr"
cp "$scr32" "$stage/x86/needlecast.scr"
cp "$root/packaging/README.txt" "$root/LICENSE" "$stage/"
# zip adds to an archive that is already there; start from nothing.
rm -f "$zip_out"
(cd "$stage" && zip -q -X -D "$zip_out" x64/needlecast.scr x86/needlecast.scr README.txt LICENSE)

# The installer.
rm -f "$setup_out"
makensis -V2 -NOCD \
  "-DSCR32=$scr32" "-DSCR64=$scr64" "-DLICENSE=$root/LICENSE" "-DOUTFILE=$setup_out" \
  "$root/packaging/needlecast.nsi"

for file in "$zip_out" "$setup_out"; do
  echo "${file#"$root"/}: $(stat -c %s "$file") bytes"
done
