#!/usr/bin/env bash
# Makes the Windows release artefacts in dist/: the zip of both savers and the NSIS installer,
# the same bytes from the same savers whenever and wherever it runs: every time stamp is the
# commit's (SOURCE_DATE_EPOCH), the zip's members have fixed order, times and modes.
# Needs build/win32/needlecast.scr, build/win64/needlecast.scr and build/linux/needlecast-sim
# (make build-win32 build-win64 build-linux), which draws the installer's picture.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=$("$root/scripts/version")
export SOURCE_DATE_EPOCH=$("$root/scripts/source-date-epoch")
export TZ=UTC
scr32=$root/build/win32/needlecast.scr
scr64=$root/build/win64/needlecast.scr
dist=$root/dist
zip_out=$dist/needlecast-$version-windows.zip
setup_out=$dist/needlecast-$version-setup.exe

sim=$root/build/linux/needlecast-sim
for file in "$scr32" "$scr64" "$sim"; do
  [ -f "$file" ] || { echo "package.sh: ${file#"$root"/} is missing; build it first: make build-win32 build-win64 build-linux" >&2; exit 1; }
done
for tool in zip makensis convert; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is not installed" >&2; exit 1; }
done

mkdir -p "$dist"
stage=$(mktemp -d "$dist/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The zip: both savers in folders named for their Windows, the read-me and the licence.
mkdir "$stage/x64" "$stage/x86"
cp "$scr64" "$stage/x64/needlecast.scr"
cp "$scr32" "$stage/x86/needlecast.scr"
sed "s/@VERSION@/$version/g" "$root/packaging/README.txt" >"$stage/README.txt"
cp "$root/LICENSE" "$stage/"
members=(x64/needlecast.scr x86/needlecast.scr README.txt LICENSE)
(cd "$stage" && chmod 644 "${members[@]}" && touch -d "@$SOURCE_DATE_EPOCH" "${members[@]}")
rm -f "$zip_out"
(cd "$stage" && zip -q -X -D "$zip_out" "${members[@]}")

# The installer, with a frame of the saver beside its welcome and finish pages: always the same
# run, drawn at the pages' 164x314, as a plain 24-bit BMP with no dates or other chunks in it.
"$sim" --seed 5 --frames 1800 --size 164x314 --png "$stage/picture.png" --quiet >/dev/null
convert "$stage/picture.png" -strip "BMP3:$stage/picture.bmp"
rm -f "$setup_out"
quad=$(printf %s.0.0.0 "$version" | cut -d. -f1-4)
makensis -V2 -NOCD "-DVERSION=$version" "-DVERSION_QUAD=$quad" "-DSCR32=$scr32" "-DSCR64=$scr64" \
  "-DLICENSE=$root/LICENSE" "-DICON=$root/src/needlecast.ico" "-DPICTURE=$stage/picture.bmp" \
  "-DOUTFILE=$setup_out" "$root/packaging/needlecast.nsi"

for file in "$zip_out" "$setup_out"; do
  echo "${file#"$root"/}: $(stat -c %s "$file") bytes"
done
