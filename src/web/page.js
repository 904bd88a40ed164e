// The page's side of the browser host (appended to needlecast.js): the canvases' sizes, the
// animation frames, the overlay text and its live region, full screen and the screen's wake
// lock, pause, the hidden tab, a lost GL context, the offline cache and the one-line messages.
(function () {
  'use strict';
  const scene = document.getElementById('scene');
  const overlay = document.getElementById('overlay');
  const pauseButton = document.getElementById('pause-button');
  const context = overlay.getContext('2d');
  let testMode = false;
  let pointerTimer = 0;
  // The one animation frame asked for, so that a tab's return never starts a second loop.
  let pending = 0;
  // Paused by the visitor, or the GL context lost: the frames and the experiment's clock stop.
  let paused = false;
  let lost = false;

  function say(text) {
    const message = document.getElementById('message');
    message.textContent = text;
    message.hidden = false;
    document.body.dataset.state = 'message';
  }

  // Both canvases' backing stores follow the window at the device pixel ratio.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(scene.clientWidth * ratio));
    const height = Math.max(1, Math.round(scene.clientHeight * ratio));
    for (const canvas of [scene, overlay]) {
      if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
      }
    }
    return ratio;
  }

  const font = (pixels) => pixels + 'px Times, "Liberation Serif", serif';
  Module.measureOverlay = function (text, pixels) {
    context.font = font(pixels);
    return context.measureText(text).width;
  };

  // The estimate line at the desktop renderer's height, and the frame-rate line one text line
  // above it, in its font and translucency, fitted to the width by the wasm.
  function drawOverlay(ratio) {
    context.clearRect(0, 0, overlay.width, overlay.height);
    context.font = font(Module._needlecast_overlay_fit(overlay.width, ratio));
    context.fillStyle = 'rgba(255, 255, 255, ' + Module._needlecast_text_alpha() + ')';
    const lines = [];
    for (let text; (text = UTF8ToString(Module._needlecast_overlay_line(lines.length))) !== '';) lines.push(text);
    let baseline = Module._needlecast_text_baseline();
    for (let k = lines.length - 1; k >= 0; --k) {
      const metrics = context.measureText(lines[k]);
      context.fillText(lines[k], Math.round(Module._needlecast_overlay_left(k)), Math.round(baseline));
      baseline -= metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
    }
  }

  // The estimate for screen readers, in a polite live region: at most once a second.
  let spokenAt = -Infinity;
  function speak() {
    const now = performance.now();
    if (now - spokenAt < 1000) return;
    spokenAt = now;
    document.getElementById('estimate').textContent = UTF8ToString(Module._needlecast_overlay_text(0));
  }

  const stopped = () => document.hidden || lost || paused;

  // The experiment's clock runs only while the frames do; stopped, no frame is waiting.
  function follow() {
    Module._needlecast_hidden(stopped() ? 1 : 0);
    if (stopped()) {
      cancelAnimationFrame(pending);
      pending = 0;
    } else if (!testMode) {
      schedule();
    }
  }

  // A lost GL context (a phone's browser takes it from a tab in the background) stops the
  // frames and the experiment's clock; given back, the GL objects are made again and the
  // experiment goes on where it was.
  function watchContext() {
    scene.addEventListener('webglcontextlost', function (event) {
      event.preventDefault();
      lost = true;
      follow();
    });
    scene.addEventListener('webglcontextrestored', function () {
      const error = UTF8ToString(Module._needlecast_restore());
      if (error !== '') return say('needlecast: ' + error);
      lost = false;
      follow();
      if (testMode || paused) redraw();
    });
  }

  function schedule() {
    if (!pending && !stopped()) pending = requestAnimationFrame(frame);
  }

  function frame() {
    pending = 0;
    if (stopped()) return;
    const ratio = fit();
    Module._needlecast_frame(scene.width, scene.height);
    drawOverlay(ratio);
    speak();
    if (!testMode) schedule();
  }

  // The last frame drawn again at the window's size, nothing stepped (the test mode's picture,
  // a paused scene).
  function redraw() {
    if (document.hidden || lost) return;
    const ratio = fit();
    Module._needlecast_draw(scene.width, scene.height);
    drawOverlay(ratio);
    if (!paused) speak();
  }

  // Space or the button: the scene stops where it is, with n and c, and goes on from there.
  function setPaused(on) {
    paused = on;
    document.body.classList.toggle('paused', on);
    pauseButton.textContent = on ? 'Play (Space)' : 'Pause (Space)';
    if (on) document.getElementById('estimate').textContent = 'paused';
    else spokenAt = -Infinity;
    follow();
  }

  // The saver keeps the screen on in full screen or as the installed app. The browser lets go
  // of the lock while the page is hidden; it is asked for again on the page's return. A
  // refusal leaves the screen to its own time-out.
  const installedApp = matchMedia('(display-mode: fullscreen), (display-mode: standalone)');
  let wakeLock = null;
  let asking = false;
  function keepAwake() {
    const wanted = !document.hidden && (!!document.fullscreenElement || installedApp.matches);
    if (wanted && !wakeLock && !asking && navigator.wakeLock) {
      asking = true;
      navigator.wakeLock.request('screen').then(function (lock) {
        asking = false;
        wakeLock = lock;
        lock.addEventListener('release', function () {
          if (wakeLock === lock) wakeLock = null;
        });
        keepAwake(); // full screen may have ended meanwhile
      }, function () {
        asking = false;
      });
    } else if (!wanted && wakeLock) {
      const lock = wakeLock;
      wakeLock = null;
      lock.release().catch(function () {});
    }
  }

  function fullScreen() {
    if (!document.fullscreenElement && document.documentElement.requestFullscreen)
      document.documentElement.requestFullscreen().catch(function () {});
  }

  // In full screen the pointer hides after two still seconds.
  function pointerMoved() {
    document.body.style.cursor = '';
    clearTimeout(pointerTimer);
    pointerTimer = setTimeout(function () {
      if (document.fullscreenElement) document.body.style.cursor = 'none';
    }, 2000);
  }

  function start() {
    const error = UTF8ToString(ccall('needlecast_start', 'number', ['string', 'string'],
                                     [location.search, '#scene']));
    if (error !== '') {
      say('needlecast: ' + error);
      return;
    }
    const closing = UTF8ToString(Module._needlecast_closing_lines());
    testMode = closing !== '';
    watchContext();
    if (testMode) {
      redraw();
      window.addEventListener('resize', redraw);
      const pre = document.getElementById('closing');
      pre.textContent = closing;
      pre.hidden = false;
      document.body.dataset.state = 'done';
      return;
    }
    document.addEventListener('visibilitychange', function () {
      follow();
      if (paused) redraw();
      keepAwake();
    });
    document.addEventListener('click', fullScreen);
    document.addEventListener('keydown', function (event) {
      if (event.key === 'f' || event.key === 'F') fullScreen();
      else if (event.key === 'Escape' && document.fullscreenElement) document.exitFullscreen();
      // On a button, Space is that button's.
      else if (event.key === ' ' && !(event.target instanceof HTMLButtonElement) &&
               !event.ctrlKey && !event.metaKey && !event.altKey) {
        event.preventDefault();
        setPaused(!paused);
      }
    });
    pauseButton.hidden = false;
    pauseButton.addEventListener('click', function (event) {
      event.stopPropagation(); // not the page's click for full screen
      setPaused(!paused);
    });
    window.addEventListener('resize', function () {
      if (paused) redraw();
    });
    document.addEventListener('mousemove', pointerMoved);
    document.addEventListener('fullscreenchange', function () {
      pointerMoved();
      keepAwake();
    });
    installedApp.addEventListener('change', keepAwake);
    document.body.dataset.state = 'running';
    // Asked for less motion, the page opens paused on its first frame.
    if (matchMedia('(prefers-reduced-motion: reduce)').matches) {
      frame();
      setPaused(true);
    }
    schedule();
    keepAwake();
  }

  // Served, the page keeps its files for visits offline (sw.js). A new version waits until
  // this page, which has everything it needs once needlecast.js is loaded, hands over to it:
  // the next visit is then the new version whole.
  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('sw.js').then(function (registration) {
      const handOver = () => registration.waiting && registration.waiting.postMessage('take-over');
      registration.addEventListener('updatefound', function () {
        const worker = registration.installing;
        worker.addEventListener('statechange', () => worker.state === 'installed' && handOver());
      });
      handOver();
      // A worker of this version asks whether there is a newer one at each visit.
      if (registration.active) return registration.update();
    }).catch(function () {});
  }

  Module.onRuntimeInitialized = start;
  Module.onAbort = function (what) {
    say('needlecast: the program could not start (' + what + ')');
  };
})();
