#!/usr/bin/env bash
# Makes dist/needlecast-VERSION-web.zip: the page (index.html, needlecast.js with the wasm in it,
# the app's manifest, icons and service worker) and the licence, to unpack on any static host or
# to open from disk. The same bytes from the same build: the
# members' order, times (the commit's, SOURCE_DATE_EPOCH) and modes are fixed.
# Needs build/web/page (make build-web).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=$("$root/scripts/version")
export SOURCE_DATE_EPOCH=$("$root/scripts/source-date-epoch")
export TZ=UTC
page=$root/build/web/page
zip_out=$root/dist/needlecast-$version-web.zip
page_files=(index.html needlecast.js manifest.webmanifest icon-192.png icon-512.png icon-maskable-512.png sw.js)
members=("${page_files[@]}" LICENSE)

for file in "${page_files[@]}"; do
  [ -f "$page/$file" ] || { echo "package-web.sh: build/web/page/$file is missing; build it first: make build-web" >&2; exit 1; }
done
command -v zip >/dev/null || { echo "package-web.sh: zip is not installed" >&2; exit 1; }

mkdir -p "$root/dist"
stage=$(mktemp -d "$root/dist/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
for file in "${page_files[@]}"; do cp "$page/$file" "$stage/"; done
cp "$root/LICENSE" "$stage/"
(cd "$stage" && chmod 644 "${members[@]}" && touch -d "@$SOURCE_DATE_EPOCH" "${members[@]}")
rm -f "$zip_out"
(cd "$stage" && zip -q -X -D "$zip_out" "${members[@]}")
gzipped=0
for file in "${page_files[@]}"; do
  gzipped=$((gzipped + $(gzip -9n <"$stage/$file" | wc -c)))
done
echo "${zip_out#"$root"/}: $(stat -c %s "$zip_out") bytes (the page gzipped: $gzipped bytes)"
