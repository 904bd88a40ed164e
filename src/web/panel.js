// The statistics panel (appended to needlecast.js after page.js): S or the button that shows
// while the pointer moves opens it over the scene, Escape closes it; it draws needlecast-sim's
// convergence chart from the geometry the wasm gives and shows the report's figures. Here too
// the page's buttons fade while nothing moves.
(function () {
  'use strict';
  const button = document.getElementById('stats-button');
  const panel = document.getElementById('panel');
  const chart = document.getElementById('chart');
  const figures = document.getElementById('figures');
  const NAMES = [['n', 'n'], ['c', 'c'], ['estimate', 'estimate'], ['standard_error', 'standard error'], ['z', 'z']];
  let look = null;
  let refresh = 0;
  let idleTimer = 0;

  const json = (pointer) => JSON.parse(UTF8ToString(pointer));

  // Text anchored as the chart's geometry says: by its ink's left, middle or right and top,
  // middle or bottom, as cairo anchors it in needlecast-sim.
  // (Emscripten's minifier here mangles destructuring: the arrays are read by index.)
  function text(c, t) {
    c.save();
    c.font = t[5] + 'px sans-serif';
    c.translate(t[1], t[2]);
    if (t[6]) c.rotate(-Math.PI / 2);
    const m = c.measureText(t[0]);
    const height = m.actualBoundingBoxAscent + m.actualBoundingBoxDescent;
    c.fillText(t[0], -m.width * t[3], m.actualBoundingBoxAscent - height * t[4]);
    c.restore();
  }

  function line(c, x0, y0, x1, y1) {
    c.beginPath();
    c.moveTo(x0, y0);
    c.lineTo(x1, y1);
    c.stroke();
  }

  function path(c, points) {
    c.beginPath();
    for (const p of points) c.lineTo(p[0], p[1]);
  }

  function drawChart() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(chart.clientWidth * ratio));
    const height = Math.max(1, Math.round(chart.clientHeight * ratio));
    if (chart.width !== width || chart.height !== height) {
      chart.width = width;
      chart.height = height;
    }
    // The page's small print, or smaller where the chart is too narrow for its texts at that
    // size (a 320-pixel phone); kept on the canvas for the chart's readers.
    const minFont = Math.min(11, chart.clientWidth / 34) * ratio;
    chart.dataset.minFont = minFont;
    const c = chart.getContext('2d');
    c.font = Module._needlecast_chart_font(width, height, minFont) + 'px sans-serif';
    const widest = Math.max(...look.legend.map((words) => c.measureText(words).width));
    const g = json(Module._needlecast_chart(width, height, minFont, widest));
    c.globalAlpha = 1;
    c.fillStyle = look.paper;
    c.fillRect(0, 0, width, height);

    c.save();
    c.beginPath();
    c.rect(g.left, g.top, g.right - g.left, g.bottom - g.top);
    c.clip();
    path(c, g.band);
    c.fillStyle = look.band;
    c.globalAlpha = look.band_alpha;
    c.fill();
    c.globalAlpha = 1;
    c.lineWidth = look.line_width;
    c.strokeStyle = look.pi;
    line(c, g.left, g.pi_y, g.right, g.pi_y);
    c.strokeStyle = look.estimate;
    c.lineJoin = 'round';
    path(c, g.estimate);
    c.stroke();
    c.restore();

    c.strokeStyle = look.ink;
    c.lineWidth = 1;
    c.strokeRect(g.left - 0.5, g.top - 0.5, g.right - g.left + 1, g.bottom - g.top + 1);
    for (const t of g.x_ticks) line(c, t[0], g.bottom, t[0], g.bottom + t[1]);
    for (const t of g.y_ticks) line(c, g.left - t[1], t[0], g.left, t[0]);
    c.fillStyle = look.paper;
    c.globalAlpha = look.legend_alpha;
    c.fillRect(...g.legend_box);
    for (const row of g.legend) { // colour, alpha, width, x0, x1, y
      c.strokeStyle = row[0];
      c.globalAlpha = row[1];
      c.lineWidth = row[2];
      line(c, row[3], row[5], row[4], row[5]);
    }
    c.globalAlpha = 1;
    c.fillStyle = look.ink;
    for (const each of g.texts) text(c, each);
  }

  function showFigures() {
    const values = json(Module._needlecast_stats_figures());
    // Each name with its figure, so that a narrow panel wraps between the pairs.
    figures.replaceChildren(...NAMES.map((name) => {
      const pair = document.createElement('div');
      const term = document.createElement('dt'), value = document.createElement('dd');
      term.textContent = name[1];
      value.textContent = values[name[0]] || 'none yet';
      pair.append(term, value);
      return pair;
    }));
  }

  function update() {
    showFigures();
    drawChart();
  }

  function toggle(open) {
    if (open === !panel.hidden) return;
    panel.hidden = !open;
    button.setAttribute('aria-expanded', String(open));
    clearInterval(refresh);
    if (open) {
      update();
      refresh = setInterval(update, 500);
    }
    awake();
  }

  // The buttons show while the pointer moves, on a touch or a key, while the panel is open or
  // the scene paused, and while one has the keyboard's focus; they fade after three still
  // seconds.
  function awake() {
    document.body.classList.remove('idle');
    clearTimeout(idleTimer);
    idleTimer = setTimeout(function () {
      if (panel.hidden && !document.body.classList.contains('paused')) document.body.classList.add('idle');
    }, 3000);
  }

  function setUp() {
    look = json(Module._needlecast_chart_look());
    button.hidden = false;
    // The page's own clicks (full screen) are not the panel's.
    for (const element of [button, panel])
      element.addEventListener('click', (event) => event.stopPropagation());
    button.addEventListener('click', () => toggle(panel.hidden));
    document.addEventListener('keydown', function (event) {
      awake();
      if (event.ctrlKey || event.metaKey || event.altKey) return;
      if (event.key === 's' || event.key === 'S') toggle(panel.hidden);
      else if (event.key === 'Escape') toggle(false);
    });
    for (const name of ['pointermove', 'pointerdown', 'touchstart'])
      document.addEventListener(name, awake, {passive: true});
    window.addEventListener('resize', () => panel.hidden || drawChart());
    awake();
  }

  const begin = Module.onRuntimeInitialized;
  Module.onRuntimeInitialized = function () {
    begin();
    if (document.body.dataset.state !== 'message') setUp();
  };
})();
