#!/usr/bin/env bash
# The page's time per frame at 2000 needles in headless Chromium, beside the native renderer's
# (bench_draw, the same size and count). The last line is web_frame_ms=<median>.
# Usage: bench/web_frame.sh   (after make build-web and the native bench_draw; make bench-web)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
echo "== native: bench_draw (CRender::Draw through Mesa, off screen)"
"$root/build/linux/bench/bench_draw" | grep -E '^bench_draw|frame time'
echo "== browser: the page's WebGL renderer"
NODE_PATH=$root/build/npm/node_modules node "$root/bench/web_frame.js" "$root/build/web/page"
