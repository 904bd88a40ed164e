#!/usr/bin/env bash
# The page's time per frame at 2000 needles in headless Chromium on Mesa's llvmpipe, beside the
# native renderer's on the same rasterizer (bench_draw, the same size and count), with their
# ratio; then the page on SwiftShader, the rasterizer of the page's tests. The last line is
# native_ms= web_llvmpipe_ms= web_ratio= web_swiftshader_ms= (a figure that could not be
# measured is left out).
# Usage: bench/web_frame.sh   (after make build-web and the native bench_draw; make bench-web)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export NODE_PATH=$root/build/npm/node_modules
# The two sides run one after the other: on a busy machine their ratio moves with the load.
echo "load average: $(cut -d ' ' -f 1-3 /proc/loadavg)"
# The median of bench_draw's frame time of CRender::Draw, and the page's web_frame_ms.
echo "== native: bench_draw (CRender::Draw through Mesa's llvmpipe, off screen)"
"$root/build/linux/bench/bench_draw" | tee "$work/native" | grep -E '^bench_draw|frame time'
native=$(sed -n 's/^ *frame time *CRender::Draw *\([0-9.]*\) ms.*/\1/p' "$work/native")
for rasterizer in llvmpipe swiftshader; do
  echo "== browser: the page's WebGL renderer on $rasterizer"
  node "$root/bench/web_frame.js" "$root/build/web/page" "$rasterizer" | tee "$work/$rasterizer"
done
page=$(sed -n 's/^web_frame_ms=//p' "$work/llvmpipe")
swift=$(sed -n 's/^web_frame_ms=//p' "$work/swiftshader")
ratio=$([ -n "$native" ] && [ -n "$page" ] && awk -v p="$page" -v n="$native" 'BEGIN { printf "%.3f", p / n }')
[ -n "$ratio" ] && echo "page / native on llvmpipe: $page ms / $native ms = $ratio"
line=
[ -n "$native" ] && line+=" native_ms=$native"
[ -n "$page" ] && line+=" web_llvmpipe_ms=$page"
[ -n "$ratio" ] && line+=" web_ratio=$ratio"
[ -n "$swift" ] && line+=" web_swiftshader_ms=$swift"
echo "${line# }"
[ -n "$ratio" ] && [ -n "$swift" ]
