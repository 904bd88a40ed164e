// The page's side of the browser host (appended to needlecast.js): the canvases' sizes, the
// animation frames, the overlay text and its live region, full screen, the hidden tab, a lost
// GL context and the one-line messages.
(function () {
  'use strict';
  const scene = document.getElementById('scene');
  const overlay = document.getElementById('overlay');
  const context = overlay.getContext('2d');
  let testMode = false;
  let pointerTimer = 0;
  // The one animation frame asked for, so that a tab's return never starts a second loop.
  let pending = 0;

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

  // A lost GL context (a phone's browser takes it from a tab in the background) stops the
  // frames and the experiment's clock; given back, the GL objects are made again and the
  // experiment goes on where it was.
  let lost = false;
  function watchContext() {
    scene.addEventListener('webglcontextlost', function (event) {
      event.preventDefault();
      lost = true;
      cancelAnimationFrame(pending);
      pending = 0;
      Module._needlecast_hidden(1);
    });
    scene.addEventListener('webglcontextrestored', function () {
      const error = UTF8ToString(Module._needlecast_restore());
      if (error !== '') return say('needlecast: ' + error);
      lost = false;
      Module._needlecast_hidden(document.hidden ? 1 : 0);
      testMode ? frame() : schedule();
    });
  }

  function schedule() {
    if (!pending && !document.hidden && !lost) pending = requestAnimationFrame(frame);
  }

  function frame() {
    pending = 0;
    if (document.hidden || lost) return;
    const ratio = fit();
    Module._needlecast_frame(scene.width, scene.height);
    drawOverlay(ratio);
    speak();
    if (!testMode) schedule();
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
      frame();
      window.addEventListener('resize', frame);
      const pre = document.getElementById('closing');
      pre.textContent = closing;
      pre.hidden = false;
      document.body.dataset.state = 'done';
      return;
    }
    document.addEventListener('visibilitychange', function () {
      Module._needlecast_hidden(document.hidden || lost ? 1 : 0);
      if (document.hidden) {
        cancelAnimationFrame(pending);
        pending = 0;
      }
      schedule();
    });
    document.addEventListener('click', fullScreen);
    document.addEventListener('keydown', function (event) {
      if (event.key === 'f' || event.key === 'F') fullScreen();
      else if (event.key === 'Escape' && document.fullscreenElement) document.exitFullscreen();
    });
    document.addEventListener('mousemove', pointerMoved);
    document.addEventListener('fullscreenchange', pointerMoved);
    document.body.dataset.state = 'running';
    schedule();
  }

  Module.onRuntimeInitialized = start;
  Module.onAbort = function (what) {
    say('needlecast: the program could not start (' + what + ')');
  };
})();
