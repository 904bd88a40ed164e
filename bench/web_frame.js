// The page's own time per frame in headless Chromium, on Mesa's llvmpipe (through ANGLE on EGL)
// or on SwiftShader: the drawing of a scene of 2000 needles at 1920x1080, timed in the page
// around needlecast_frame with a one-pixel read that waits for the drawing to finish. Prints the
// WebGL renderer, the median and, last, web_frame_ms=<median>; fails where the renderer is not
// the one asked for.
// Usage: node web_frame.js PAGE_DIR llvmpipe|swiftshader [FRAMES]
'use strict';
const puppeteer = require('puppeteer-core');
const fs = require('fs');
const http = require('http');
const path = require('path');

const [pageDir, rasterizer, frames = '120'] = process.argv.slice(2);
const RASTERIZERS = {
  llvmpipe: ['--use-angle=gl-egl', '--ignore-gpu-blocklist'],
  swiftshader: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist'],
};
if (!RASTERIZERS[rasterizer]) {
  console.error('usage: node web_frame.js PAGE_DIR llvmpipe|swiftshader [FRAMES]');
  process.exit(2);
}
const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

(async () => {
  const server = http.createServer((request, response) => {
    const file = path.join(pageDir, path.basename(new URL(request.url, 'http://x').pathname) || 'index.html');
    if (!fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream'});
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: 'new',
    args: ['--no-sandbox', ...RASTERIZERS[rasterizer]]});
  try {
    const page = await browser.newPage();
    await page.setViewport({width: 1920, height: 1080});
    // The test mode's run fills the table (the target reaches 2000 at frame 1800).
    await page.goto('http://127.0.0.1:' + server.address().port + '/?seed=20261206&frames=3000');
    await page.waitForFunction(() => document.body.dataset.state, {timeout: 60000});
    const summary = await page.$eval('#closing', (e) => e.textContent.split('\n')[2]);
    const renderer = await page.evaluate(() => {
      const gl = document.getElementById('scene').getContext('webgl2');
      const info = gl.getExtension('WEBGL_debug_renderer_info');
      return info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : gl.getParameter(gl.RENDERER);
    });
    console.log('WebGL renderer: ' + renderer);
    if (!renderer.toLowerCase().includes(rasterizer)) throw new Error('the renderer is not ' + rasterizer);
    const times = await page.evaluate((frames) => {
      const canvas = document.getElementById('scene');
      const gl = canvas.getContext('webgl2');
      const pixel = new Uint8Array(4);
      const times = [];
      for (let k = 0; k < frames; ++k) {
        const start = performance.now();
        Module._needlecast_frame(canvas.width, canvas.height);
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
        times.push(performance.now() - start);
      }
      return times.sort((a, b) => a - b);
    }, Number(frames));
    const median = times[Math.floor(times.length / 2)];
    console.log(`page on ${rasterizer}, 1920x1080, ${summary}: median ${median.toFixed(2)} ms a frame ` +
                `(${(1000 / median).toFixed(1)} fps) over ${times.length} frames, ` +
                `fastest ${times[0].toFixed(2)} ms, slowest ${times[times.length - 1].toFixed(2)} ms`);
    console.log('web_frame_ms=' + median.toFixed(3));
  } finally {
    await browser.close();
    server.close();
  }
})().catch((error) => {
  console.error('web_frame: ' + error.message);
  process.exit(1);
});
