// The page in headless Chromium (SwiftShader), served on 127.0.0.1 by this script: the test
// mode against needlecast-sim, the live page, the hidden tab and the one-line messages.
// Usage: node page_test.js PAGE_DIR NEEDLECAST_SIM
'use strict';
const puppeteer = (() => { try { return require('puppeteer-core'); } catch (e) { console.error("page_test: puppeteer-core is missing: run 'make test-deps'"); process.exit(1); } })();
const {execFileSync} = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const [pageDir, sim] = process.argv.slice(2);
const FLAGS = ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist'];
const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png'};
let passes = 0, failures = 0;

// The tally, as the shell suites print it.
function check(name, ok, detail) {
  ok ? ++passes : ++failures;
  console.log((ok ? 'ok: ' : 'FAILED: ') + name + (detail === undefined ? '' : ' (' + detail + ')'));
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The page's folder and the test's pictures, on a port of its own.
function serve(dirs) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://x').pathname) || 'index.html';
    const file = dirs.map((dir) => path.join(dir, name)).find((f) => fs.existsSync(f));
    if (!file) return response.writeHead(404).end();
    response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream'});
    response.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// A page at the query, with every console error and every request it makes.
async function open(browser, origin, query, viewport) {
  const page = await browser.newPage();
  const seen = {errors: [], requests: []};
  page.on('console', (m) => m.type() === 'error' && seen.errors.push(m.text()));
  page.on('pageerror', (e) => seen.errors.push(e.message));
  page.on('request', (r) => seen.requests.push(r.url()));
  await page.setViewport(viewport || {width: 640, height: 480});
  await page.goto(origin + '/' + query);
  await page.waitForFunction(() => document.body.dataset.state, {timeout: 30000});
  return {page, seen, state: await page.evaluate(() => document.body.dataset.state)};
}

// Pixel statistics of PNG pictures (base64), worked out in the page.
async function measure(page, pictures) {
  return page.evaluate(async (pictures) => {
    const pixels = async (b64) => {
      const image = new Image();
      image.src = 'data:image/png;base64,' + b64;
      await image.decode();
      const canvas = new OffscreenCanvas(image.width, image.height);
      const c = canvas.getContext('2d');
      c.drawImage(image, 0, 0);
      return c.getImageData(0, 0, image.width, image.height);
    };
    const images = await Promise.all(pictures.map(pixels));
    const [w, h] = [images[0].width, images[0].height];
    const at = (img, x, y) => img.data.subarray((y * w + x) * 4, (y * w + x) * 4 + 3);
    const lit = (p) => Math.max(p[0], p[1], p[2]) > 12;
    // Pane lines: runs of rows that are lit across most of the width.
    const paneLines = (img) => {
      let runs = 0, inside = false;
      for (let y = 0; y < h; ++y) {
        let count = 0;
        for (let x = 0; x < w; ++x) count += lit(at(img, x, y)) ? 1 : 0;
        const line = count > 0.8 * w;
        runs += line && !inside ? 1 : 0;
        inside = line;
      }
      return runs;
    };
    // The estimate's text: grey pixels in the bottom tenth.
    const text = (p) => p[0] > 60 && Math.abs(p[0] - p[1]) < 16 && Math.abs(p[1] - p[2]) < 16;
    const textPixels = (img) => {
      let count = 0;
      for (let y = Math.floor(h * 0.9); y < h; ++y)
        for (let x = 0; x < w; ++x) count += text(at(img, x, y)) ? 1 : 0;
      return count;
    };
    // Lit pixels of either picture that match within 8 levels; text pixels of the bottom
    // tenth with one of the other picture's at most a pixel away; pixels that differ.
    let matching = 0, litEither = 0, textBoth = 0, textEither = 0, changed = 0;
    for (let y = 0; y < h && images.length > 1; ++y)
      for (let x = 0; x < w; ++x) {
        const [a, b] = [at(images[0], x, y), at(images[1], x, y)];
        const difference = Math.max(...[0, 1, 2].map((k) => Math.abs(a[k] - b[k])));
        if (lit(a) || lit(b)) { ++litEither; matching += difference <= 8 ? 1 : 0; }
        if (y >= Math.floor(h * 0.9))
          for (const [one, other] of [[images[0], images[1]], [images[1], images[0]]]) {
            if (!text(at(one, x, y))) continue;
            ++textEither;
            textBoth += [-1, 0, 1].some((dy) => y + dy < h &&
              [-1, 0, 1].some((dx) => x + dx >= 0 && x + dx < w && text(at(other, x + dx, y + dy)))) ? 1 : 0;
          }
        changed += difference > 24 ? 1 : 0;
      }
    return {paneLines: images.map(paneLines), textPixels: images.map(textPixels),
            litMatch: matching / Math.max(1, litEither), textOverlap: textBoth / Math.max(1, textEither), changed};
  }, pictures);
}

const screenshot = (page) => page.screenshot({encoding: 'base64'});

// The test mode's lines are needlecast-sim's, and its last frame is sim --png's picture.
async function testMode(browser, origin, work) {
  const args = ['--seed', '7', '--interval', '0.0123', '--frames', '3000'];
  const expected = execFileSync(sim, [...args, '--png', path.join(work, 'sim.png'), '--size', '640x480']).toString();
  const {page, state} = await open(browser, origin, '?seed=7&interval=0.0123&frames=3000');
  const lines = await page.$eval('#closing', (e) => e.textContent);
  check('test mode ends with needlecast-sim\'s lines', state === 'done' && lines === expected, lines);
  await page.$$eval('#closing, #stats-button', (es) => es.forEach((e) => { e.hidden = true; }));
  const shot = await screenshot(page);
  const m = await measure(page, [fs.readFileSync(path.join(work, 'sim.png')).toString('base64'), shot]);
  check('the pane has as many lines as in sim --png', m.paneLines[0] === m.paneLines[1] && m.paneLines[0] >= 8,
        m.paneLines.join(' vs '));
  const [simText, pageText] = m.textPixels;
  check('the estimate has about as many text pixels as in sim --png (25 %)',
        simText > 500 && Math.abs(pageText - simText) <= 0.25 * simText, simText + ' vs ' + pageText);
  check('the estimate\'s text pixels lie where sim --png has them', m.textOverlap >= 0.9,
        (100 * m.textOverlap).toFixed(1) + ' % within a pixel');
  check('at least 90 % of the lit pixels match sim --png within 8 levels', m.litMatch >= 0.9,
        (100 * m.litMatch).toFixed(1) + ' %');
}

// The live page moves, shows its estimate, follows the window at its pixel ratio, logs no
// error and asks nothing of another origin.
async function live(browser, origin) {
  const {page, seen, state} = await open(browser, origin, '?seed=3');
  check('the live page runs', state === 'running', state);
  await sleep(1500);
  const first = await screenshot(page);
  await sleep(700);
  const m = await measure(page, [first, await screenshot(page)]);
  check('needles move between two screenshots', m.changed > 200, m.changed + ' pixels changed');
  check('the estimate line is there', m.textPixels[1] > 300, m.textPixels[1] + ' text pixels');
  const backing = () => page.$eval('#scene', (c) => [c.width, c.height, c.clientWidth, c.clientHeight].join(' '));
  await page.setViewport({width: 800, height: 500});
  await sleep(500);
  check('the canvas follows a resize', (await backing()) === '800 500 800 500', await backing());
  await page.setViewport({width: 400, height: 300, deviceScaleFactor: 2});
  await sleep(500);
  check('the backing store doubles at device pixel ratio 2', (await backing()) === '800 600 400 300',
        await backing());
  // F enters full screen, where the pointer hides after two still seconds; Escape leaves.
  const screenState = () => page.evaluate(() => !!document.fullscreenElement + ' ' + document.body.style.cursor);
  await page.keyboard.press('f');
  await sleep(1500);
  const early = await screenState();
  await sleep(1000);
  const late = await screenState();
  await page.keyboard.press('Escape');
  await sleep(300);
  check('F: full screen, the pointer hidden after two still seconds, Escape leaves',
        early === 'true ' && late === 'true none' && (await screenState()).startsWith('false'), [early, late]);
  check('no console error', seen.errors.length === 0, seen.errors.join('; '));
  // data: URLs (the icon, the pictures measured here) fetch nothing.
  const foreign = seen.requests.filter((url) => !url.startsWith(origin + '/') && !url.startsWith('data:'));
  check('every request is to the page\'s own origin', foreign.length === 0 && seen.requests.length >= 3,
        seen.requests.length + ' requests, foreign: ' + foreign.join(' '));
}

// A hidden tab stops drawing, and its time is no frame: the frame rate holds on its return.
async function hiddenTab(browser, origin) {
  const {page} = await open(browser, origin, '?seed=3&fps');
  const fps = () => page.evaluate(() => parseFloat(UTF8ToString(Module._needlecast_overlay_text(1))));
  const hide = (hidden) => page.evaluate((hidden) => {
    Object.defineProperty(document, 'hidden', {configurable: true, get: () => hidden});
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await page.$eval('#stats-button', (e) => { e.hidden = true; }); // it fades on its own
  await sleep(2600);
  const before = await fps();
  await hide(true);
  const shot = await screenshot(page);
  await sleep(2500);
  const still = await measure(page, [shot, await screenshot(page)]);
  await hide(false);
  await sleep(400);
  const after = await fps();
  check('a hidden tab draws nothing', still.changed === 0, still.changed + ' pixels changed');
  check('the frame rate holds after the tab returns', before > 5 && after > 0.6 * before, before + ' then ' + after);
}

// One line on the page for a bad option (and nothing run), or where WebGL is missing.
async function messages(browser, origin) {
  const table = [
    ['?seed=abc', 'needlecast: seed: expected a whole number from 0 to 4294967295, got "abc"'],
    ['?seed=1&frames=0&interval=0.02', 'needlecast: frames: expected a whole number from 1 to 4294967295, got "0"'],
    ['?interval=-1&frames=5', 'needlecast: interval: expected a positive number of seconds, got "-1"'],
    ['?seed=4294967296', 'needlecast: seed: expected a whole number from 0 to 4294967295, got "4294967296"'],
    ['?seed=7%00x', 'needlecast: seed: expected a whole number from 0 to 4294967295, got "7%00x"'],
    ['?fps=2', 'needlecast: fps: expected nothing, 0 or 1, got "2"'],
    ['?colour=red%0A', 'needlecast: unknown option "colour"'],
    ['?size=10x10', 'needlecast: unknown option "size"'],
  ];
  for (const [query, expected] of table) {
    const {page, state} = await open(browser, origin, query);
    const text = await page.$eval('#message', (e) => e.textContent);
    const ran = await page.$eval('#closing', (e) => !e.hidden);
    check('message for ' + query, state === 'message' && text === expected && !ran, text);
    await page.close();
  }
}

async function webglOff(browser, origin) {
  const {page, state} = await open(browser, origin, '');
  const text = await page.$eval('#message', (e) => e.textContent);
  check('without WebGL the page says so', state === 'message' && /WebGL/.test(text), text);
}

// The statistics panel over a test-mode run on a phone: S opens it with needlecast-sim's
// figures; its chart has pi's line and, below it, the band pi - 2 sigma(n) where the chart's
// scale puts them; the button fades when the pointer rests, and works by click, tap and keys.
async function statsPanel(browser, origin) {
  const lines = execFileSync(sim, ['--seed', '7', '--interval', '0.0123', '--frames', '3000']).toString();
  const report = lines.match(/error=(\S+) z=(\S+)\n.*\npi = 2 \* n \/ c = 2 \* (\d+) \/ (\d+) = (\S+)/);
  const {page, seen} = await open(browser, origin, '?seed=7&interval=0.0123&frames=3000',
                                  {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
  const open_ = () => page.evaluate(() => document.getElementById('stats-button').getAttribute('aria-expanded') +
                                          (document.getElementById('panel').hidden ? ' hidden' : ' shown'));
  await page.keyboard.press('Tab');
  const focused = await page.evaluate(() => document.activeElement.id);
  await page.keyboard.press('Enter');
  const entered = await open_();
  await page.keyboard.press('Escape');
  const escaped = await open_();
  await page.keyboard.press('s');
  check('Tab reaches the button, Enter opens the panel, Escape closes it, S opens it',
        [focused, entered, escaped, await open_()].join() === 'stats-button,true shown,false hidden,true shown',
        [focused, entered, escaped, await open_()]);
  const figures = await page.$$eval('#figures dd', (dds) => dds.map((d) => d.textContent).join(' '));
  check('the panel\'s figures are needlecast-sim\'s', report && figures === [3, 4, 5, 1, 2].map((i) => report[i]).join(' '),
        figures);
  // Pixels 3 apart across each probe, most of which must match (the estimate's line may cross).
  const misses = await page.evaluate(() => {
    const chart = document.getElementById('chart');
    const g = JSON.parse(UTF8ToString(Module._needlecast_chart(chart.width, chart.height, +chart.dataset.minFont, 0)));
    const c = chart.getContext('2d');
    const Y = (v) => g.bottom - (v - g.y0) / (g.y1 - g.y0) * (g.bottom - g.top);
    const band = [248, 212, 162], paper = [255, 255, 255], pi = [192, 0, 0];
    const missed = [];
    for (const f of [0.1, 0.5, 0.9]) {
      const x = g.left + f * (g.right - g.left), n = Math.pow(10, g.x0 + f * (g.x1 - g.x0));
      const sigma = Math.PI * Math.sqrt((Math.PI - 2) / (2 * n));
      for (const [y, colour] of [[g.pi_y, pi], [Y(Math.PI - 1.75 * sigma), band], [Y(Math.PI - 2.25 * sigma), paper]]) {
        if (y > g.bottom - 2) continue;
        const hits = [-6, -3, 0, 3, 6].filter((dx) => {
          const p = c.getImageData(Math.round(x + dx), Math.floor(y), 1, 1).data;
          return [0, 1, 2].every((k) => Math.abs(p[k] - colour[k]) <= 12);
        }).length;
        if (hits < 4) missed.push(f + ': ' + colour + ' at ' + Math.floor(y));
      }
    }
    return missed;
  });
  check('the chart has pi\'s line and the band pi - 2 sigma(n) where its scale puts them', misses.length === 0,
        misses.join('; '));
  await page.click('#stats-button');
  const clicked = await open_();
  await page.tap('#stats-button');
  const tapped = await open_();
  await page.keyboard.press('Escape');
  check('the button closes it by click, opens it by tap; Escape closes', [clicked, tapped, await open_()].join() ===
        'false hidden,true shown,false hidden', [clicked, tapped, await open_()]);
  await page.evaluate(() => document.activeElement.blur());
  await sleep(4500);
  const faded = await page.$eval('#stats-button', (b) => getComputedStyle(b).opacity);
  await page.mouse.move(100, 100);
  check('the button fades when the pointer rests and comes back when it moves',
        faded === '0' && !(await page.evaluate(() => document.body.classList.contains('idle'))), faded);
  check('no console error with the panel', seen.errors.length === 0, seen.errors.join('; '));
}

const CASES = [
  [testMode, []], [statsPanel, []], [live, []], [hiddenTab, []], [messages, []], [webglOff, ['--disable-webgl', '--disable-3d-apis']],
];

(async () => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'needlecast-web-'));
  const server = await serve([pageDir, work]);
  const origin = 'http://127.0.0.1:' + server.address().port;
  try {
    for (const [run, flags] of CASES) {
      const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: 'new',
                                              args: [...FLAGS, ...flags]});
      try {
        await run(browser, origin, work);
      } catch (error) {
        check(run.name, false, error.message);
      } finally {
        await browser.close();
      }
    }
  } finally {
    server.close();
    fs.rmSync(work, {recursive: true, force: true});
  }
  console.log(passes + ' passed, ' + failures + ' failed');
  process.exit(failures === 0 && passes > 0 ? 0 : 1);
})();
