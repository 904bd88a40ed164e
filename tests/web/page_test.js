// The page in headless Chromium (SwiftShader), served on 127.0.0.1 by this script: the test
// mode against needlecast-sim, the live page, the hidden tab, pause, the wake lock, the app's
// install, offline visits and updates, the web zip opened from a file, and the one-line messages.
// Usage: node page_test.js PAGE_DIR NEEDLECAST_SIM WEB_ZIP
'use strict';
const puppeteer = (() => { try { return require('puppeteer-core'); } catch (e) { console.error("page_test: puppeteer-core is missing: run 'make test-deps'"); process.exit(1); } })();
const {execFileSync} = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const [pageDir, sim, webZip] = process.argv.slice(2);
const FLAGS = ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist'];
const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png', '.webmanifest': 'application/manifest+json'};
// The pixel probes' thresholds, shared with the shell and C++ tests.
const PROBE = Object.fromEntries(fs.readFileSync(path.join(__dirname, '..', 'probe.env'), 'utf8').split('\n')
  .map((l) => /^PROBE_(\w+)=(\d+)$/.exec(l)).filter(Boolean).map((m) => [m[1], Number(m[2])]));
let passes = 0, failures = 0;

// The tally, as the shell suites print it.
function check(name, ok, detail) {
  ok ? ++passes : ++failures;
  console.log((ok ? 'ok: ' : 'FAILED: ') + name + (detail === undefined ? '' : ' (' + detail + ')'));
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The page's folder and the test's pictures, on a port of its own; server.dirs may change.
function serve(dirs) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://x').pathname) || 'index.html';
    const file = server.dirs.map((dir) => path.join(dir, name)).find((f) => fs.existsSync(f));
    if (!file) return response.writeHead(404).end();
    response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream'});
    response.end(fs.readFileSync(file));
  });
  server.dirs = dirs;
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// A page at the query, with every console error and every request it makes; before: a script
// that runs before the page's own.
async function open(browser, origin, query, viewport, before) {
  const page = await browser.newPage();
  if (before) await before(page);
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
  return page.evaluate(async (pictures, PROBE) => {
    const pixels = async (b64) => {
      const image = await createImageBitmap(await (await fetch('data:image/png;base64,' + b64)).blob());
      const c = new OffscreenCanvas(image.width, image.height).getContext('2d');
      c.drawImage(image, 0, 0);
      return c.getImageData(0, 0, image.width, image.height);
    };
    const images = await Promise.all(pictures.map(pixels));
    const [w, h] = [images[0].width, images[0].height];
    const at = (img, x, y) => img.data.subarray((y * w + x) * 4, (y * w + x) * 4 + 3);
    const lit = (p) => Math.max(p[0], p[1], p[2]) > PROBE.LIT;
    // Pane lines: runs of rows that are lit across most of the width.
    const paneLines = (img) => {
      let runs = 0, inside = false;
      for (let y = 0; y < h; ++y) {
        let count = 0;
        for (let x = 0; x < w; ++x) count += lit(at(img, x, y)) ? 1 : 0;
        runs += count > 0.8 * w && !inside ? 1 : 0;
        inside = count > 0.8 * w;
      }
      return runs;
    };
    // The estimate's text: grey pixels in the bottom tenth; their count and box (left, right,
    // top, bottom).
    const text = (p) => Math.min(...p) >= PROBE.GREY_LOW && Math.max(...p) <= PROBE.GREY_HIGH &&
                        Math.max(...p) - Math.min(...p) <= PROBE.GREY_SPREAD;
    const textBox = (img) => {
      let [count, left, right, top, bottom] = [0, w, -1, h, -1];
      for (let y = Math.floor(h * 0.9); y < h; ++y)
        for (let x = 0; x < w; ++x)
          if (text(at(img, x, y))) [count, left, right, top, bottom] = [count + 1, Math.min(left, x), Math.max(right, x), Math.min(top, y), y];
      return [count, left, right, top, bottom];
    };
    // Lit pixels of either picture that match within 8 levels; pixels that differ.
    let matching = 0, litEither = 0, changed = 0;
    for (let y = 0; y < h && images.length > 1; ++y)
      for (let x = 0; x < w; ++x) {
        const [a, b] = [at(images[0], x, y), at(images[1], x, y)];
        const difference = Math.max(...[0, 1, 2].map((k) => Math.abs(a[k] - b[k])));
        if (lit(a) || lit(b)) { ++litEither; matching += difference <= 8 ? 1 : 0; }
        changed += difference > 24 ? 1 : 0;
      }
    return {paneLines: images.map(paneLines), text: images.map(textBox),
            litMatch: matching / Math.max(1, litEither), changed};
  }, pictures, PROBE);
}

const screenshot = (page) => page.screenshot({encoding: 'base64'});

// The test mode's lines are needlecast-sim's, and its last frame is sim --png's picture.
async function testMode(browser, origin, work) {
  const args = ['--seed', '7', '--interval', '0.0123', '--frames', '3000'];
  const expected = execFileSync(sim, [...args, '--png', path.join(work, 'sim.png'), '--size', '640x480']).toString();
  const {page, state} = await open(browser, origin, '?seed=7&interval=0.0123&frames=3000');
  const lines = await page.$eval('#closing', (e) => e.textContent);
  check('test mode ends with needlecast-sim\'s lines', state === 'done' && lines === expected, lines);
  // Most of the pane lies outside the view: every needle and all 41 lines are in the one draw.
  const drawn = await page.evaluate(() => {
    const gl = document.getElementById('scene').getContext('webgl2'), draw = gl.drawArraysInstanced.bind(gl);
    let boxes = 0;
    gl.drawArraysInstanced = (...call) => { boxes += call[3]; draw(...call); };
    Module._needlecast_frame(640, 480);
    return boxes;
  });
  check('the page draws needlecast-sim\'s needles and the 41 pane lines',
        drawn === Number(/needles=(\d+)/.exec(expected)[1]) + 41, drawn + ' boxes');
  await page.$$eval('#closing, #stats-button', (es) => es.forEach((e) => { e.hidden = true; }));
  const shot = await screenshot(page);
  const m = await measure(page, [fs.readFileSync(path.join(work, 'sim.png')).toString('base64'), shot]);
  check('the pane has as many lines as in sim --png', m.paneLines[0] === m.paneLines[1] && m.paneLines[0] >= PROBE.PANE_LINES,
        m.paneLines.join(' vs '));
  // The page centres the line: its rows and width are sim --png's.
  const [[n0, l0, r0, t0, b0], [n1, l1, r1, t1, b1]] = m.text;
  check('the estimate has as many text pixels (25 %), as wide and on the same rows as in sim --png, centred',
        n0 > PROBE.TEXT_PIXELS && Math.abs(n1 - n0) <= 0.25 * n0 && Math.abs(r1 - l1 - (r0 - l0)) <= 4 && Math.abs(t1 - t0) <= 1 &&
        Math.abs(b1 - b0) <= 1 && Math.abs(l1 + r1 - 640) <= 4, m.text.join(' vs '));
  check('at least 90 % of the lit pixels match sim --png within 8 levels', m.litMatch >= 0.9,
        (100 * m.litMatch).toFixed(1) + ' %');
}

// The live page moves and shows its estimate; through the viewport table, a full screen, a
// hidden tab and a lost context it logs no error and asks nothing of another origin.
async function live(browser, origin) {
  const {page, seen, state} = await open(browser, origin, '?seed=3&fps');
  check('the live page runs', state === 'running', state);
  await sleep(1500);
  const first = await screenshot(page);
  await sleep(700);
  const m = await measure(page, [first, await screenshot(page)]);
  check('needles move between two screenshots', m.changed > 200, m.changed + ' pixels changed');
  check('the estimate line is there', m.text[1][0] > PROBE.TEXT_PIXELS, m.text[1][0] + ' text pixels');
  await viewports(page);
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
  await hiddenTab(page);
  await lostContext(page);
  check('no console error', seen.errors.length === 0, seen.errors.join('; '));
  // data: URLs (the icon, the pictures measured here) fetch nothing.
  const foreign = seen.requests.filter((url) => !url.startsWith(origin + '/') && !url.startsWith('data:'));
  check('every request is to the page\'s own origin', foreign.length === 0 && seen.requests.length >= 3,
        seen.requests.length + ' requests, foreign: ' + foreign.join(' '));
}

// The overlay's painted pixels: their box in device pixels, and the canvas's size.
const ink = (page) => page.evaluate(() => {
  const canvas = document.getElementById('overlay'), [w, h] = [canvas.width, canvas.height];
  const alpha = canvas.getContext('2d').getImageData(0, 0, w, h).data;
  let [left, right, top, bottom] = [w, -1, h, -1];
  for (let i = 0, x = 0, y = 0; i < w * h; ++i, x = i % w, y = Math.floor(i / w))
    if (alpha[4 * i + 3] > 0) [left, right, top, bottom] = [Math.min(left, x), Math.max(right, x), Math.min(top, y), y];
  return {left, right, top, bottom, w, h};
});

// Over 2.6 s, every frame: once a second and two frames have passed, the live region's n lies
// between the n drawn that long ago and the n drawn now; it is written at most once a second.
const listen = (page) => page.evaluate(() => new Promise((resolve) => {
  const n = (line) => Number((/= 2 \* (\d+) \//.exec(line) || [0, -1])[1]);
  const region = document.getElementById('estimate'), drawn = [], writes = [], start = performance.now();
  new MutationObserver(() => writes.push(performance.now())).observe(region, {childList: true});
  let late = 0, last = start, slack = 0;
  (function poll(now) {
    // A write comes with the first frame a second after the last: its line can be frames old.
    [slack, last] = [Math.max(slack, now - last), now];
    drawn.push([now, n(UTF8ToString(Module._needlecast_overlay_text(0)))]);
    const said = n(region.textContent), window = 1000 + 2 * slack, recent = drawn.filter(([t]) => t >= now - window).map(([, v]) => v);
    late += now - start > window && (said < Math.min(...recent) || said > Math.max(...recent)) ? 1 : 0;
    if (now - start < 2600) return requestAnimationFrame(poll);
    const gaps = writes.slice(1).map((t, k) => t - writes[k]);
    resolve({ok: late === 0 && writes.length >= 2 && gaps.every((gap) => gap > 990),
             detail: late + ' late, n=' + said + ', written at ' + writes.map((t) => Math.round(t - start)).join(' ') + ' ms'});
  })(start);
}));

// n and c as the drawn line has them.
const counts = (page) => page.evaluate(() => /= 2 \* (\d+) \/ (\d+) =/.exec(UTF8ToString(Module._needlecast_overlay_text(0))).slice(1).map(Number));
// The experiment's clock and the page's, in seconds; and how long the first stood still
// between two readings.
const clocks = (page) => page.evaluate(() => [Module._needlecast_run_seconds(), performance.now() / 1000]);
const stood = (a, b) => b[1] - a[1] - (b[0] - a[0]);
// Needles land in waves: n awaited past a count (15 s at most); the least n seen, and the last.
async function grown(page, from) {
  let now = await counts(page), least = now[0];
  for (const end = Date.now() + 15000; now[0] <= from[0] && Date.now() < end; least = Math.min(least, now[0]))
    now = await sleep(50).then(() => counts(page));
  return [least, now];
}

// The table on one page, so that each row is a resize and the second a phone's turn: the
// canvas at the pixel ratio, the overlay's lines inside it with a margin and centred, and the
// live region.
const VIEWPORTS = [[390, 844, 3], [844, 390, 3], [768, 1024, 2], [1920, 1080, 1], [320, 480, 1]];
async function viewports(page) {
  for (const [width, height, ratio] of VIEWPORTS) {
    await page.setViewport({width, height, deviceScaleFactor: ratio});
    await page.waitForFunction((w) => document.getElementById('overlay').width === w, {}, width * ratio);
    const box = await ink(page), name = width + 'x' + height + ' @' + ratio;
    check(name + ': the overlay over 10 px high, inside the canvas 8 px from its sides, centred within 3 px',
          box.w === width * ratio && box.h === height * ratio && box.bottom - box.top > 10 * ratio &&
          box.left >= 8 * ratio && box.right < box.w - 8 * ratio &&
          box.top >= 0 && box.bottom < box.h && Math.abs(box.left + box.right + 1 - box.w) <= 6 * ratio, JSON.stringify(box));
    const heard = await listen(page);
    check(name + ': the live region has the drawn line\'s n within a second', heard.ok, heard.detail);
  }
}

const hide = (page, hidden) => page.evaluate((hidden) => {
  Object.defineProperty(document, 'hidden', {configurable: true, get: () => hidden});
  document.dispatchEvent(new Event('visibilitychange'));
}, hidden);

// A hidden tab stops drawing, and its time is no frame: the frame rate holds on its return.
async function hiddenTab(page) {
  const fps = () => page.evaluate(() => parseFloat(UTF8ToString(Module._needlecast_overlay_text(1))));
  await page.$$eval('#controls button', (es) => es.forEach((e) => { e.hidden = true; })); // they fade on their own
  await sleep(2600);
  const before = await fps();
  await hide(page, true);
  const shot = await screenshot(page);
  await sleep(2500);
  const still = await measure(page, [shot, await screenshot(page)]);
  await hide(page, false);
  await sleep(400);
  const after = await fps();
  check('a hidden tab draws nothing, and the frame rate holds after it returns',
        still.changed === 0 && before > 5 && after > 0.6 * before, still.changed + ' pixels changed; ' + before + ' then ' + after + ' fps');
}

// Lost for a second (WEBGL_lose_context): the frames and the clock stop with n and c; given
// back, the same experiment is drawn on, its clock not counting the loss.
async function lostContext(page) {
  // (A lost context gives no extension: the one got before is kept.)
  const before = await clocks(page);
  const loss = await page.evaluate(() => ((window.loser = document.getElementById('scene').getContext('webgl2')
    .getExtension('WEBGL_lose_context')).loseContext(), performance.now()));
  const lost = await sleep(200).then(() => counts(page));
  const held = await sleep(800).then(() => counts(page));
  const gone = await page.evaluate((t) => (loser.restoreContext(), (performance.now() - t) / 1000), loss);
  await sleep(700);
  const m = await measure(page, [await screenshot(page)]);
  const [least, after] = await grown(page, lost), still = stood(before, await clocks(page));
  check('a lost context holds n, c and the clock; given back, the scene is drawn and the run goes on from them',
        lost.join() === held.join() && least >= lost[0] && after[0] > lost[0] && after[1] >= lost[1] &&
        m.paneLines[0] >= 3 && Math.abs(still - gone) < 0.3, [lost, held, least, after, m.paneLines[0] +
        ' pane lines', 'clock still ' + still.toFixed(2) + ' s of ' + gone.toFixed(2)].join(' / '));
}

// Space and the button each stop the scene where it is, n, c and clock, and start it again;
// the live region says "paused". Tab reaches the button, which fades with the other.
async function pause(browser, origin) {
  const {page, seen} = await open(browser, origin, '?seed=3');
  await grown(page, [0, 0]);
  for (const [how, press] of [['Space', () => page.keyboard.press('Space')], ['button', () => page.click('#pause-button')]]) {
    await press();
    const [a, start] = [await counts(page), await clocks(page)];
    await sleep(2000);
    const [b, said, label] = [await counts(page), await page.$eval('#estimate', (e) => e.textContent),
                              await page.$eval('#pause-button', (e) => e.textContent)];
    await press();
    const [least, after] = await grown(page, b), still = stood(start, await clocks(page));
    check('pause by ' + how + ': n and c hold for two seconds, the clock stands still, ' +
          'the live region says "paused"; pressed again, the run goes on', a.join() === b.join() && said === 'paused' &&
          label === 'Play (Space)' && least >= b[0] && after[0] > b[0] && still > 1.9 && still < 2.6,
          [a, b, after, said, label, 'clock still ' + still.toFixed(2) + ' s'].join(' / '));
  }
  await page.focus('#stats-button');
  await page.keyboard.press('Tab');
  const focused = await page.evaluate(() => document.activeElement.id);
  await page.evaluate(() => document.activeElement.blur());
  await sleep(4500);
  const faded = await page.$$eval('#controls button', (bs) => bs.map((b) => getComputedStyle(b).opacity).join());
  check('Tab reaches the pause button; both buttons fade when nothing moves', focused === 'pause-button' &&
        faded === '0,0' && seen.errors.length === 0, [focused, faded, ...seen.errors]);
}

// Asked for less motion, the page opens paused on its first frame, its button in view.
async function reducedMotion(browser, origin) {
  const {page, state} = await open(browser, origin, '?seed=3', undefined,
                                   (p) => p.emulateMediaFeatures([{name: 'prefers-reduced-motion', value: 'reduce'}]));
  const first = [await counts(page), await clocks(page)];
  await sleep(3500);
  const [n, clock] = [await counts(page), await clocks(page)];
  const [shown, m] = [await page.$eval('#pause-button', (b) => getComputedStyle(b).opacity + ' ' + b.textContent),
                      await measure(page, [await screenshot(page)])];
  check('reduced motion: paused on its first frame, the clock still, the Play button in view',
        state === 'running' && n.join() === first[0].join() && clock[0] === first[1][0] && shown === '1 Play (Space)' &&
        m.paneLines[0] >= 3, [first[0], n, clock[0], shown, m.paneLines[0] + ' pane lines']);
}

// In full screen the page holds a wake lock (a stand-in records the calls); hidden, it lets go
// and asks again on its return; leaving full screen lets go. A refusal shows nothing.
async function wakeLock(browser, origin) {
  const standIn = (refuse) => {
    window.wakeLog = [];
    Object.defineProperty(navigator, 'wakeLock', {configurable: true, value: {request(type) {
      wakeLog.push(type);
      if (refuse) return Promise.reject(new DOMException('refused', 'NotAllowedError'));
      const lock = Object.assign(new EventTarget(), {release: () => (wakeLog.push('release'), Promise.resolve())});
      return Promise.resolve(lock);
    }}});
  };
  for (const refuse of [false, true]) {
    const {page, seen} = await open(browser, origin, '?seed=3', undefined, (p) => p.evaluateOnNewDocument(standIn, refuse));
    const steps = [() => page.keyboard.press('f'), () => hide(page, true), () => hide(page, false),
                   () => page.keyboard.press('Escape')];
    for (const step of [async () => 0, ...steps]) await step().then(() => sleep(400));
    const [log, message] = [await page.evaluate(() => wakeLog.join()), await page.$eval('#message', (e) => !e.hidden)];
    check(refuse ? 'a refused wake lock shows and logs nothing' :
          'the wake lock: asked for in full screen, let go when hidden, asked again, let go on leaving',
          (refuse ? /^screen(,screen)*$/.test(log) : log === 'screen,release,screen,release') && !message && seen.errors.length === 0,
          [log, message, ...seen.errors]);
    await page.close();
  }
}

// One line on the page for a bad option (and nothing run), for a shader stage that fails (the
// test mode's fault option; its log on the console, the only console error), or where WebGL
// is missing.
async function messages(browser, origin) {
  const table = [
    ['?seed=1+2', 'needlecast: seed: expected a whole number from 0 to 4294967295, got "1 2"'],
    ['?frames=5&fault=vertex', 'needlecast: vertex shader failed to compile', true],
    ['?frames=5&fault=fragment', 'needlecast: fragment shader failed to compile', true],
    ['?frames=5&fault=link', 'needlecast: shader program failed to link', true],
    ['?seed=1&fault=link', 'needlecast: fault: only in the test mode (with frames or interval)'],
    ['?frames=5&fault=pixel', 'needlecast: fault: expected vertex, fragment or link, got "pixel"'],
    ['?seed=abc', 'needlecast: seed: expected a whole number from 0 to 4294967295, got "abc"'],
    ['?seed=1&frames=0&interval=0.02', 'needlecast: frames: expected a whole number from 1 to 4294967295, got "0"'],
    ['?interval=-1&frames=5', 'needlecast: interval: expected a positive number of seconds, got "-1"'],
    ['?seed=4294967296', 'needlecast: seed: expected a whole number from 0 to 4294967295, got "4294967296"'],
    ['?seed=7%00x', 'needlecast: seed: expected a whole number from 0 to 4294967295, got "7%00x"'],
    ['?fps=2', 'needlecast: fps: expected nothing, 0 or 1, got "2"'],
    ['?colour=red%0A', 'needlecast: unknown option "colour"'],
    ['?size=10x10', 'needlecast: unknown option "size"'],
  ];
  for (const [query, expected, logged] of table) {
    const {page, seen, state} = await open(browser, origin, query);
    const text = await page.$eval('#message', (e) => e.textContent);
    const ran = await page.$eval('#closing', (e) => !e.hidden);
    const log = logged ? seen.errors.length === 1 && seen.errors[0].startsWith(expected + '\n') &&
                         seen.errors[0].length > expected.length + 8 : seen.errors.length === 0;
    check('message for ' + query, state === 'message' && text === expected && !ran && log,
          text + (seen.errors.length ? ' / console: ' + seen.errors.join('; ') : ''));
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
  // The estimate's line passes through needlecast-sim's tallies after each frame (those on the
  // log n axis from a tenth to seven tenths of its width, where every frame is kept).
  const tallies = execFileSync(sim, ['--seed', '7', '--interval', '0.0123', '--frames', '3000', '--every', '1']).toString()
    .split('\n').map((l) => /= 2 \* (\d+) \/ (\d+) =/.exec(l)).filter((m) => m && m[2] !== '0').map((m) => [+m[1], +m[2]]);
  const astray = await page.evaluate((tallies) => {
    const chart = document.getElementById('chart');
    const g = JSON.parse(UTF8ToString(Module._needlecast_chart(chart.width, chart.height, +chart.dataset.minFont, 0)));
    const c = chart.getContext('2d'), astray = [];
    for (let f = 0.1; f < 0.75; f += 0.05) {
      const [n, crossed] = tallies.find(([n]) => Math.log10(n) >= g.x0 + f * (g.x1 - g.x0));
      const x = Math.round(g.left + (Math.log10(n) - g.x0) / (g.x1 - g.x0) * (g.right - g.left));
      const y = Math.round(g.bottom - (2 * n / crossed - g.y0) / (g.y1 - g.y0) * (g.bottom - g.top));
      const [lx, ly, lw, lh] = g.legend_box;
      if (y < g.top || y > g.bottom || (x > lx - 2 && x < lx + lw + 2 && y > ly - 5 && y < ly + lh + 5)) continue;
      const p = c.getImageData(x - 1, y - 4, 3, 9).data;
      let blue = 0;
      for (let i = 0; i < p.length; i += 4) blue += p[i + 2] - p[i] > 60 && p[i + 2] - p[i + 1] > 40 ? 1 : 0;
      if (!blue) astray.push(n + '/' + crossed + ' at ' + x + ',' + y);
    }
    return astray;
  }, tallies);
  check('the estimate\'s line passes through needlecast-sim\'s tallies', tallies.length > 2000 && astray.length === 0,
        tallies.length + ' frames; astray: ' + astray.join('; '));
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

const ready = (page) => page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
const reload = (page) => page.reload().then(() => page.waitForFunction(() => document.body.dataset.state, {timeout: 30000}));

// Served, the page installs (Chromium's check finds no error, the icons are the sizes they
// claim) and, once visited, runs offline.
async function app(browser, origin) {
  const {page, seen} = await open(browser, origin, '?seed=3');
  await ready(page);
  const {installabilityErrors} = await (await page.target().createCDPSession()).send('Page.getInstallabilityErrors');
  check('Chromium finds the page installable', installabilityErrors.length === 0, JSON.stringify(installabilityErrors));
  const icons = await page.evaluate(async () => Promise.all((await (await fetch('manifest.webmanifest')).json()).icons.map(
    (icon) => new Promise((resolve) => Object.assign(new Image(), {src: icon.src, onerror: () => resolve(icon.sizes + ' none'),
      onload: (e) => resolve(icon.sizes + ' ' + e.target.naturalWidth + 'x' + e.target.naturalHeight + ' ' + icon.purpose)})))));
  check('the manifest\'s icons load at the sizes they claim: 192, 512 and a maskable one',
        icons.every((i) => i.split(' ')[0] === i.split(' ')[1]) && icons.some((i) => i.startsWith('192x192')) &&
        icons.some((i) => i.startsWith('512x512')) && icons.some((i) => i.endsWith('maskable')), icons.join(', '));
  await page.setOfflineMode(true);
  await reload(page);
  const [state, [least, after]] = [await page.evaluate(() => document.body.dataset.state), await grown(page, [0, 0])];
  check('offline, a reload runs the experiment with no console error', state === 'running' && after[0] > 0 &&
        seen.errors.length === 0, [state, least, after, ...seen.errors]);
}

// A changed version served after a visit takes over within a few reloads, whole: its page, its
// script and its cache's files, the old cache gone; no load mixes the two.
async function update(browser, origin, work, server) {
  const [v1, v2] = ['v1', 'v2'].map((v) => path.join(work, v));
  for (const dir of [v1, v2]) fs.cpSync(pageDir, dir, {recursive: true});
  const edit = (name, change) => fs.writeFileSync(path.join(v2, name), change(fs.readFileSync(path.join(v2, name), 'utf8')));
  edit('sw.js', (t) => t.replace(/const CACHE = '([^']+)'/, 'const CACHE = \'$1-next\''));
  edit('index.html', (t) => t.replace('<head>', '<head><meta name="build" content="next">'));
  edit('needlecast.js', (t) => t + '\nself.build = "next";\n');
  server.dirs = [v1];
  const {page, seen} = await open(browser, origin, '?seed=3');
  await ready(page);
  server.dirs = [v2];
  // Which version the page and its script are, and each cache with its files' sizes.
  const seenNow = () => page.evaluate(async () => [!!document.querySelector('meta[name=build]'), self.build === 'next',
    ...await Promise.all((await caches.keys()).map(async (name) => name + ':' + (await Promise.all((await (await caches.open(name))
      .keys()).map(async (r) => r.url.split('/').pop() + '=' + (await (await caches.match(r)).arrayBuffer()).byteLength))).join()))]);
  const cacheOf = (dir) => JSON.parse(/const FILES = (\[.*\]);/.exec(fs.readFileSync(path.join(dir, 'sw.js'), 'utf8'))[1])
    .map((f) => f + '=' + fs.statSync(path.join(dir, f)).size).join();
  const name = /const CACHE = '([^']+)'/.exec(fs.readFileSync(path.join(v2, 'sw.js'), 'utf8'))[1];
  // Each load is looked at; then the browser is given time to find and take in the new version.
  let now = [], mixed = 0, reloads = 0;
  while (reloads++ < 5 && now.slice(0, 3).join() !== 'true,true,' + name + ':' + cacheOf(v2)) {
    await reload(page);
    now = await seenNow();
    mixed += now[0] !== now[1] ? 1 : 0;
    await page.waitForFunction(async (name) => (await caches.keys()).join() === name, {timeout: 10000, polling: 200}, name)
      .catch(() => {});
  }
  check('a new version takes over whole within a few reloads, its cache alone left, no load a mix',
        now.length === 3 && now[0] && now[2] === name + ':' + cacheOf(v2) && mixed === 0 && seen.errors.length === 0,
        reloads + ' reloads; ' + now.join(' ; ') + ' ' + seen.errors.join('; '));
}

// The web zip's page opened from a file runs with no console error; without its script it says so.
async function fromFile(browser, origin, work) {
  const dir = path.join(work, 'zip');
  execFileSync('unzip', ['-q', webZip, '-d', dir]);
  const {page, seen, state} = await open(browser, 'file://' + dir, 'index.html?seed=3');
  const [, after] = await grown(page, [0, 0]);
  check('the web zip\'s page runs from a file with no console error', state === 'running' && after[0] > 0 &&
        seen.errors.length === 0, [state, after, ...seen.errors]);
  fs.rmSync(path.join(dir, 'needlecast.js'));
  const broken = await open(browser, 'file://' + dir, 'index.html');
  const text = await broken.page.$eval('#message', (e) => e.textContent);
  check('without its script the page says so', broken.state === 'message' &&
        text === 'needlecast: needlecast.js could not be loaded', text);
}

const CASES = [
  [testMode, []], [statsPanel, []], [live, []], [pause, []], [reducedMotion, []], [wakeLock, []], [app, []], [update, []],
  [fromFile, []], [messages, []], [webglOff, ['--disable-webgl', '--disable-3d-apis']],
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
        await run(browser, origin, work, server);
      } catch (error) {
        check(run.name, false, error.message);
      } finally {
        await browser.close();
        server.dirs = [pageDir, work];
      }
    }
  } finally {
    server.close();
    fs.rmSync(work, {recursive: true, force: true});
  }
  console.log(passes + ' passed, ' + failures + ' failed');
  process.exit(failures === 0 && passes > 0 ? 0 : 1);
})();
