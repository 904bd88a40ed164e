// The page's side of the browser host (appended to needlecast.js): the canvases' sizes, the
// animation frames, the overlay text, full screen, the hidden tab and the one-line messages.
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

  // The estimate line, and the frame-rate line one text line above it, where the desktop
  // renderer puts them, in its font and translucency.
  function drawOverlay(ratio) {
    context.clearRect(0, 0, overlay.width, overlay.height);
    const pixels = Module._needlecast_font_points() * 96 / 72 * ratio;
    context.font = pixels + 'px Times, "Liberation Serif", serif';
    context.fillStyle = 'rgba(255, 255, 255, ' + Module._needlecast_text_alpha() + ')';
    let baseline = Module._needlecast_text_baseline();
    for (let line = 0; line < 2; ++line) {
      const text = UTF8ToString(Module._needlecast_overlay_text(line));
      if (text === '') break;
      const metrics = context.measureText(text);
      context.fillText(text, Math.round(Module._needlecast_text_left(metrics.width)), Math.round(baseline));
      baseline -= metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
    }
  }

  function schedule() {
    if (!pending && !document.hidden) pending = requestAnimationFrame(frame);
  }

  function frame() {
    pending = 0;
    if (document.hidden) return;
    const ratio = fit();
    Module._needlecast_frame(scene.width, scene.height);
    drawOverlay(ratio);
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
      Module._needlecast_hidden(document.hidden ? 1 : 0);
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
