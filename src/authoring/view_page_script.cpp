// The style and the script of the viewer page (see view_page.h). The script draws on two
// canvases: the plan of the line and, under it, the profile, both over the same stretch of
// the line [view.a, view.b] in metres.

namespace sb {

extern const char* const kViewPageStyle;
extern const char* const kViewPageScript;

const char* const kViewPageStyle = R"CSS(
html,body{margin:0;height:100%;font:13px 'DejaVu Sans',Verdana,Arial,sans-serif;color:#222;background:#fff}
body{display:flex;flex-direction:column}
#bar{display:flex;gap:10px;align-items:center;padding:6px 10px;border-bottom:1px solid #d5dbe1;background:#f4f6f8}
#bar b{font-size:15px}
#goto{width:240px;padding:3px 6px}
#range{color:#445;font-variant-numeric:tabular-nums}
#status{margin-left:auto;color:#555}
#status.faults{color:#b00020;font-weight:bold}
#layers{display:flex;flex-wrap:wrap;gap:4px 12px;padding:4px 10px;border-bottom:1px solid #e3e7eb;font-size:12px}
#layers label{cursor:pointer;white-space:nowrap}
#layers i{display:inline-block;width:10px;height:10px;margin:0 3px 0 2px;border-radius:2px;vertical-align:-1px}
#views{flex:1;display:flex;flex-direction:column;min-height:0}
#plan{flex:1;min-height:200px;width:100%;border-bottom:1px solid #c8d0d8;cursor:grab}
#profile{width:100%;cursor:grab}
#tip{position:fixed;max-width:520px;background:#fffff4;border:1px solid #998;box-shadow:2px 2px 6px rgba(0,0,0,.25);padding:6px 8px;font-size:12px;pointer-events:auto;z-index:5}
#tip .src{margin-top:4px;color:#444}
#tip code{display:block;margin-top:3px;white-space:pre-wrap;font:12px 'DejaVu Sans Mono',monospace;color:#333;background:#f2f2ea;padding:2px 4px}
#tip .added{color:#7a3da8;font-weight:bold}
)CSS";

const char* const kViewPageScript = R"JS(
'use strict';
const $ = (id) => document.getElementById(id);
let data = JSON.parse($('sb-data').textContent);
const planCanvas = $('plan'), profCanvas = $('profile');
const LAYERS = [
  ['stations', 'stations', '#c0392b'], ['signals', 'signals', '#1f6fb2'],
  ['slowdowns', 'slowdowns', '#e67e22'], ['reductions', 'code reductions', '#8e44ad'],
  ['speedboards', 'speed boards', '#16a085'], ['boards', 'indication boards', '#6d4c41'],
  ['kmrefs', 'km references', '#607d8b'], ['faults', 'faults', '#d50000'],
  ['speed', 'speed limit', '#27ae60'], ['gradient', 'gradient', '#5d6d7e'],
  ['mountain', 'mountain stretches', '#d9b98a'], ['adhesion', 'adhesion', '#2e86c1'],
];
const shown = {};
for (const [id] of LAYERS) shown[id] = true;
const view = {a: 0, b: Math.max(data.length, 100)};
const MIN_WIDTH = 200;
let items = {};        // by lane: items sorted by position
let planLevels = [];   // {t, m: Int32Array, x: Float64Array, y: Float64Array}
let hover = null;      // {p: position} shown in both views
let pinned = false;
const stats = {draws: 0, lastMs: 0, maxMs: 0};

function laneOf(it) {
  switch (it.k) {
    case 'signal': return 'signals';
    case 'slowdown': case 'slowdown warning': case 'slowdown pre-announcement': return 'slowdowns';
    case 'limit marker': return it.added ? 'slowdowns' : 'reductions';
    case 'code reduction': return 'reductions';
    case 'speed indicator boards': return 'speedboards';
    case 'indication board': return 'boards';
    case 'kilometric reference': return 'kmrefs';
  }
  return 'signals';
}

function prepare() {
  items = {stations: [], signals: [], slowdowns: [], reductions: [], speedboards: [], boards: [], kmrefs: [], faults: []};
  for (const st of data.stations) items.stations.push(Object.assign({k: 'station', e: Math.max(st.b, st.p), p0: Math.min(st.a, st.p)}, st));
  for (const it of data.items) items[laneOf(it)].push(it);
  for (const f of data.faults) items.faults.push({k: 'fault', p: f.p === null ? 0 : f.p, nopos: f.p === null, s: f.s,
      w: 'fault ' + f.code + (f.p === null ? ' (no position)' : ' at ' + f.p + ' m') + ': ' + f.w});
  for (const k in items) {
    const list = items[k];
    list.sort((u, v) => (u.p0 ?? u.p) - (v.p0 ?? v.p));
    list.longest = 0;
    for (const it of list) list.longest = Math.max(list.longest, (it.e ?? it.p) - (it.p0 ?? it.p));
  }
  planLevels = data.plan.map((lv) => {
    const n = lv.p.length / 3, m = new Int32Array(n), x = new Float64Array(n), y = new Float64Array(n);
    let pm = 0, px = 0, py = 0;
    for (let i = 0; i < n; i++) {
      pm += lv.p[3 * i]; px += lv.p[3 * i + 1]; py += lv.p[3 * i + 2];
      m[i] = pm; x[i] = px / 10; y[i] = py / 10;
    }
    return {t: lv.t, m, x, y};
  });
  const faults = data.faults.length;
  const st = $('status');
  st.textContent = (SB_LIVE ? 'compile ' + data.generation + ': ' : '') +
      (faults ? faults + (faults > 1 ? ' faults' : ' fault') : 'no fault') +
      (data.sourcesKnown ? '' : ' (from the binary files)');
  st.className = faults ? 'faults' : '';
  $('title').textContent = data.title;
}

// ---- layout of the profile -------------------------------------------------------------
const LANES = [
  ['axis', 24], ['stations', 44], ['signals', 18], ['slowdowns', 28], ['reductions', 18],
  ['speedboards', 24], ['boards', 24], ['kmrefs', 16], ['faults', 18],
  ['speed', 84], ['gradient', 84], ['adhesion', 56],
];
const LEFT = 118, RIGHT = 16;
let lanes = [];
function layout() {
  lanes = [];
  let y = 0;
  for (const [id, h] of LANES) {
    if (id === 'gradient' && !shown.gradient && shown.mountain) { lanes.push({id, y, h: 30}); y += 30; continue; }
    if (id !== 'axis' && !shown[id]) continue;
    lanes.push({id, y, h});
    y += h;
  }
  profCanvas.style.height = (y + 4) + 'px';
}
function lane(id) { return lanes.find((l) => l.id === id); }

function fitCanvas(c) {
  const r = c.getBoundingClientRect(), d = window.devicePixelRatio || 1;
  const w = Math.max(1, Math.round(r.width * d)), h = Math.max(1, Math.round(r.height * d));
  if (c.width !== w || c.height !== h) { c.width = w; c.height = h; }
  const g = c.getContext('2d');
  g.setTransform(d, 0, 0, d, 0, 0);
  return {g, w: r.width, h: r.height};
}

const X = (p, w) => LEFT + (p - view.a) / (view.b - view.a) * (w - LEFT - RIGHT);
const P = (x, w) => view.a + (x - LEFT) / (w - LEFT - RIGHT) * (view.b - view.a);

// First index whose position (or end) reaches `p`.
function firstFrom(list, p) {
  let lo = 0, hi = list.length;
  while (lo < hi) { const mid = (lo + hi) >> 1; if ((list[mid].p0 ?? list[mid].p) < p) lo = mid + 1; else hi = mid; }
  return lo;
}
function visible(list, margin) {
  const out = [];
  const from = view.a - margin, to = view.b + margin;
  // Items with an extent (slowdowns, stations) may start before the view.
  for (let i = firstFrom(list, from - (list.longest || 0)); i < list.length; i++) {
    const it = list[i];
    if ((it.p0 ?? it.p) > to) break;
    if ((it.e ?? it.p) >= from) out.push(it);
  }
  return out;
}

function niceStep(target) {
  const p = Math.pow(10, Math.floor(Math.log10(target)));
  for (const m of [1, 2, 5, 10]) if (m * p >= target) return m * p;
  return 10 * p;
}
function km(m) {
  const w = view.b - view.a;
  return (m / 1000).toFixed(w < 2000 ? 3 : w < 20000 ? 2 : w < 200000 ? 1 : 0);
}

// ---- the profile -------------------------------------------------------------------------
function runsIn(runs, from, to, each) {
  let lo = 0, hi = runs.length / 3;
  while (lo < hi) { const mid = (lo + hi) >> 1; if (runs[3 * mid + 1] <= from) lo = mid + 1; else hi = mid; }
  for (let i = lo; i < runs.length / 3 && runs[3 * i] < to; i++) each(runs[3 * i], runs[3 * i + 1], runs[3 * i + 2]);
}

function graph(g, w, L, runs, lo, hi, color, fill, unit, zero) {
  const top = L.y + 6, bottom = L.y + L.h - 6;
  const Y = (v) => bottom - (v - lo) / (hi - lo || 1) * (bottom - top);
  g.strokeStyle = '#d5dbe1'; g.lineWidth = 1;
  g.strokeRect(LEFT + 0.5, top + 0.5, w - LEFT - RIGHT, bottom - top);
  g.beginPath();
  let first = true, lastY = 0;
  const x0 = LEFT, x1 = w - RIGHT;
  runsIn(runs, view.a, view.b, (from, to, v) => {
    const xa = Math.max(x0, X(from, w)), xb = Math.min(x1, X(to, w)), y = Y(v);
    if (first) { g.moveTo(xa, y); first = false; } else if (y !== lastY) g.lineTo(xa, y);
    g.lineTo(xb, y);
    lastY = y;
  });
  if (fill) {
    g.lineTo(x1, Y(zero)); g.lineTo(x0, Y(zero)); g.closePath();
    g.fillStyle = fill; g.fill();
    g.strokeStyle = color; g.lineWidth = 1; g.stroke();
  } else {
    g.strokeStyle = color; g.lineWidth = 1.6; g.stroke();
  }
  if (zero !== undefined) {
    g.strokeStyle = '#999'; g.lineWidth = 0.6;
    g.beginPath(); g.moveTo(x0, Y(zero)); g.lineTo(x1, Y(zero)); g.stroke();
  }
  return Y;
}

function rangeOf(runs) {
  let lo = Infinity, hi = -Infinity;
  for (let i = 2; i < runs.length; i += 3) { lo = Math.min(lo, runs[i]); hi = Math.max(hi, runs[i]); }
  return lo === Infinity ? [0, 1] : [lo, hi];
}

// The value range of a graph lane: fixed for the whole line, so that zooming keeps it.
function graphRange(id) {
  if (id === 'speed') return [0, Math.max(50, Math.ceil(rangeOf(data.speed)[1] / 50) * 50)];
  if (id === 'adhesion') return [0, 100];
  if (id === 'gradient' && shown.gradient) {
    const [lo, hi] = rangeOf(data.gradient);
    const m = Math.max(5, Math.abs(lo), Math.abs(hi));
    return [-m, m];
  }
  return null;
}

function labelText(g, text, x, y, lastRight) {
  const tw = g.measureText(text).width;
  if (x < lastRight + 4) return lastRight;
  g.fillText(text, x, y);
  return x + tw;
}

function drawProfile() {
  const {g, w, h} = fitCanvas(profCanvas);
  g.clearRect(0, 0, w, h);
  const x0 = LEFT, x1 = w - RIGHT, perPx = (view.b - view.a) / (x1 - x0);
  g.save();
  g.font = '11px sans-serif'; g.textBaseline = 'alphabetic';
  for (const L of lanes) {
    g.fillStyle = '#333'; g.font = 'bold 11px sans-serif'; g.textAlign = 'right';
    const name = L.id === 'axis' ? 'km' : (LAYERS.find((l) => l[0] === L.id) || [0, L.id])[1];
    g.fillText(name, LEFT - 8, L.y + Math.min(L.h / 2 + 4, 16));
    g.textAlign = 'left'; g.font = '11px sans-serif';
    const range = graphRange(L.id);
    if (range) {
      const top = L.y + 6, bottom = L.y + L.h - 6, [lo, hi] = range;
      // The scale inside the frame, clear of the lane's name.
      g.fillStyle = '#666'; g.font = '10px sans-serif';
      for (const v of [lo, (lo + hi) / 2, hi]) g.fillText(String(Math.round(v)), LEFT + 3, bottom - (v - lo) / (hi - lo || 1) * (bottom - top) + (v === hi ? 9 : v === lo ? -2 : 3));
    }
    if (L.id !== 'axis') { g.strokeStyle = '#eef0f2'; g.beginPath(); g.moveTo(0, L.y + 0.5); g.lineTo(w, L.y + 0.5); g.stroke(); }
  }
  g.beginPath(); g.rect(x0, 0, x1 - x0, h); g.clip();
  const margin = 60 * perPx;
  // Kilometres.
  const A = lane('axis');
  const step = niceStep(perPx * 90);
  g.fillStyle = '#444'; g.strokeStyle = '#bbb'; g.font = '10px sans-serif';
  for (let m = Math.ceil(view.a / step) * step; m <= view.b; m += step) {
    const x = X(m, w);
    g.beginPath(); g.moveTo(x, A.y + 14); g.lineTo(x, A.y + A.h); g.stroke();
    g.fillText(km(m), x + 2, A.y + 11);
  }
  g.strokeStyle = '#e9ecef';
  for (let m = Math.ceil(view.a / step) * step; m <= view.b; m += step) {
    const x = X(m, w);
    g.beginPath(); g.moveTo(x, A.y + A.h); g.lineTo(x, h); g.stroke();
  }
  // The end of the route.
  if (data.length >= view.a && data.length <= view.b) {
    const x = X(data.length, w);
    g.strokeStyle = '#000'; g.setLineDash([4, 3]);
    g.beginPath(); g.moveTo(x, A.y); g.lineTo(x, h); g.stroke(); g.setLineDash([]);
  }
  g.font = '11px sans-serif';
  for (const L of lanes) {
    const yc = L.y + L.h / 2;
    if (L.id === 'stations') {
      let right = -1e9;
      for (const st of visible(items.stations, margin)) {
        const xa = X(Math.min(st.a, st.p), w), xb = X(Math.max(st.b, st.p), w), x = X(st.p, w);
        g.fillStyle = 'rgba(192,57,43,0.16)'; g.fillRect(xa, L.y + 18, Math.max(xb - xa, 1), 14);
        g.strokeStyle = '#c0392b'; g.lineWidth = 1; g.strokeRect(xa + 0.5, L.y + 18.5, Math.max(xb - xa, 1), 13);
        g.lineWidth = 2; g.beginPath(); g.moveTo(x, L.y + 14); g.lineTo(x, L.y + 36); g.stroke();
        g.fillStyle = '#222';
        for (const s of st.stops) { const sx = X(s, w); g.beginPath(); g.moveTo(sx - 4, L.y + L.h - 2); g.lineTo(sx + 4, L.y + L.h - 2); g.lineTo(sx, L.y + L.h - 9); g.fill(); }
        g.fillStyle = '#1d3557';
        right = labelText(g, st.name, x + 3, L.y + 13, right);
      }
    } else if (L.id === 'signals' || L.id === 'reductions' || L.id === 'kmrefs') {
      const color = LAYERS.find((l) => l[0] === L.id)[2];
      g.strokeStyle = color; g.fillStyle = color; g.lineWidth = 1.4;
      let right = -1e9;
      for (const it of visible(items[L.id], margin)) {
        const x = X(it.p, w);
        if (it.k === 'limit marker') {
          g.beginPath(); g.moveTo(x, yc - 6); g.lineTo(x + 6, yc); g.lineTo(x, yc + 6); g.lineTo(x - 6, yc); g.closePath(); g.fill();
          if (it.l) right = labelText(g, it.l, x + 7, yc + 4, right);
        } else if (it.k === 'code reduction') {
          g.beginPath(); g.moveTo(x, yc - 6); g.lineTo(x + 6, yc); g.lineTo(x, yc + 6); g.lineTo(x - 6, yc); g.closePath(); g.stroke();
        } else {
          g.beginPath(); g.moveTo(x, L.y + 3); g.lineTo(x, L.y + L.h - 3); g.stroke();
          if (L.id === 'kmrefs') right = labelText(g, it.l, x + 3, yc + 4, right);
        }
      }
    } else if (L.id === 'slowdowns') {
      let right = -1e9;
      for (const it of visible(items.slowdowns, margin)) {
        const x = X(it.p, w);
        if (it.k === 'slowdown') {
          const xb = X(it.e ?? it.p, w);
          g.fillStyle = '#e67e22'; g.fillRect(x, yc - 5, Math.max(xb - x, 2), 10);
          g.fillStyle = '#222'; right = labelText(g, it.l + ' km/h', x + 2, L.y + 9, right);
        } else if (it.k === 'slowdown warning') {
          g.fillStyle = '#e67e22'; g.beginPath(); g.moveTo(x, yc - 7); g.lineTo(x + 6, yc + 6); g.lineTo(x - 6, yc + 6); g.closePath(); g.fill();
        } else if (it.k === 'slowdown pre-announcement') {
          g.fillStyle = '#f0b27a'; g.fillRect(x - 1.5, yc - 3, 3, 6);
        } else {
          // A limit marker: hollow and dashed when the compiler added it.
          g.strokeStyle = '#8e44ad'; g.lineWidth = 1.5;
          if (it.added) g.setLineDash([2, 2]);
          g.beginPath(); g.moveTo(x, yc - 7); g.lineTo(x + 7, yc); g.lineTo(x, yc + 7); g.lineTo(x - 7, yc); g.closePath(); g.stroke();
          g.setLineDash([]);
          if (it.added) { g.fillStyle = '#8e44ad'; g.font = '9px sans-serif'; g.fillText('+', x - 3, yc + 3); g.font = '11px sans-serif'; }
        }
      }
    } else if (L.id === 'speedboards' || L.id === 'boards') {
      const color = LAYERS.find((l) => l[0] === L.id)[2];
      let right = -1e9;
      for (const it of visible(items[L.id], margin)) {
        const x = X(it.p, w);
        g.fillStyle = color; g.fillRect(x - 3, L.y + 4, 6, L.h - 8);
        g.fillStyle = '#222'; right = labelText(g, it.l || '', x + 5, yc + 4, right);
      }
    } else if (L.id === 'faults') {
      g.fillStyle = '#d50000';
      for (const it of visible(items.faults, margin)) {
        const x = X(it.p, w);
        g.beginPath(); g.arc(x, yc, 5, 0, 7); g.fill();
        g.fillStyle = '#fff'; g.fillRect(x - 0.8, yc - 3.5, 1.6, 4.5); g.fillRect(x - 0.8, yc + 2, 1.6, 1.5); g.fillStyle = '#d50000';
      }
    } else if (L.id === 'speed') {
      const [lo, hi] = graphRange('speed');
      graph(g, w, L, data.speed, lo, hi, '#27ae60', null, 'km/h');
    } else if (L.id === 'gradient') {
      if (shown.mountain) {
        runsIn(data.mountain, view.a, view.b, (from, to) => {
          g.fillStyle = 'rgba(217,185,138,0.45)';
          g.fillRect(X(from, w), L.y + 4, Math.max(X(to, w) - X(from, w), 1), L.h - 8);
        });
      }
      if (shown.gradient) {
        const [lo, hi] = graphRange('gradient');
        graph(g, w, L, data.gradient, lo, hi, '#5d6d7e', 'rgba(149,165,166,0.55)', '\u2030', 0);
      }
    } else if (L.id === 'adhesion') {
      graph(g, w, L, data.adhesion, 0, 100, '#2e86c1', null, '%');
    }
  }
  if (hover) {
    const x = X(hover.p, w);
    g.strokeStyle = 'rgba(0,0,0,0.45)'; g.lineWidth = 1;
    g.beginPath(); g.moveTo(x, 0); g.lineTo(x, h); g.stroke();
  }
  g.restore();
}

// ---- the plan ----------------------------------------------------------------------------
function levelFor(metresPerPx) {
  let best = planLevels.length - 1;
  for (let i = planLevels.length - 1; i >= 0; i--) if (planLevels[i].t <= metresPerPx) { best = i; break; }
  if (planLevels.length && planLevels[0].t > metresPerPx) best = 0;
  return planLevels[best];
}
function indexAt(lv, p) {
  let lo = 0, hi = lv.m.length - 1;
  while (lo < hi) { const mid = (lo + hi + 1) >> 1; if (lv.m[mid] <= p) lo = mid; else hi = mid - 1; }
  return lo;
}
function planPoint(lv, p) {
  const i = indexAt(lv, p), j = Math.min(i + 1, lv.m.length - 1);
  const f = j > i ? (p - lv.m[i]) / (lv.m[j] - lv.m[i]) : 0;
  return [lv.x[i] + (lv.x[j] - lv.x[i]) * f, lv.y[i] + (lv.y[j] - lv.y[i]) * f];
}
let planMap = null;  // how the plan was last drawn: for the hover

function drawPlan() {
  const {g, w, h} = fitCanvas(planCanvas);
  g.clearRect(0, 0, w, h);
  g.fillStyle = '#f7f9fb'; g.fillRect(0, 0, w, h);
  if (!planLevels.length) {
    g.fillStyle = '#555'; g.font = '13px sans-serif'; g.textAlign = 'center';
    g.fillText('no plan of the line: the scenario was compiled without line data', w / 2, h / 2);
    g.textAlign = 'left'; planMap = null;
    return;
  }
  const width = view.b - view.a;
  const pa = Math.max(0, view.a - width / 2), pb = Math.min(data.length, view.b + width / 2);
  // The box of the stretch, from a coarse level first, then the scale and the level to draw.
  const coarse = levelFor(width / 400);
  let minx = Infinity, maxx = -Infinity, miny = Infinity, maxy = -Infinity;
  const grow = (x, y) => { if (x < minx) minx = x; if (x > maxx) maxx = x; if (y < miny) miny = y; if (y > maxy) maxy = y; };
  const boxOf = (lv) => {
    const [ax, ay] = planPoint(lv, pa), [bx, by] = planPoint(lv, pb);
    grow(ax, ay); grow(bx, by);
    for (let i = indexAt(lv, pa) + 1; i < lv.m.length && lv.m[i] < pb; i++) grow(lv.x[i], lv.y[i]);
  };
  boxOf(coarse);
  const pad = 40;
  const sc = Math.min((w - 2 * pad) / Math.max(maxx - minx, 1), (h - 2 * pad) / Math.max(maxy - miny, 1));
  const lv = levelFor(1 / sc);
  const cx = (minx + maxx) / 2, cy = (miny + maxy) / 2;
  const SX = (x) => w / 2 + (x - cx) * sc, SY = (y) => h / 2 - (y - cy) * sc;
  planMap = {lv, SX, SY, sc};
  const path = (from, to) => {
    g.beginPath();
    const [ax, ay] = planPoint(lv, from);
    g.moveTo(SX(ax), SY(ay));
    for (let i = indexAt(lv, from) + 1; i < lv.m.length && lv.m[i] < to; i++) g.lineTo(SX(lv.x[i]), SY(lv.y[i]));
    const [bx, by] = planPoint(lv, to);
    g.lineTo(SX(bx), SY(by));
  };
  // The line around the stretch, then the stretch of the profile over it.
  const ca = Math.max(0, pa - width), cb = Math.min(data.length, pb + width);
  g.lineJoin = 'round';
  path(ca, cb); g.strokeStyle = '#9fb3c8'; g.lineWidth = 2; g.stroke();
  path(Math.max(0, view.a), Math.min(data.length, view.b)); g.strokeStyle = '#1f4e79'; g.lineWidth = 4.5; g.stroke();
  // Ends of the stretch.
  for (const p of [Math.max(0, view.a), Math.min(data.length, view.b)]) {
    const [x, y] = planPoint(lv, p);
    g.fillStyle = '#1f4e79'; g.fillRect(SX(x) - 1.5, SY(y) - 7, 3, 14);
  }
  const inView = (p) => p >= ca && p <= cb;
  const dot = (p, r, fill, stroke) => {
    const [x, y] = planPoint(lv, p);
    g.beginPath(); g.arc(SX(x), SY(y), r, 0, 7);
    if (fill) { g.fillStyle = fill; g.fill(); }
    if (stroke) { g.strokeStyle = stroke; g.lineWidth = 1.6; g.stroke(); }
  };
  if (shown.signals) {
    const list = items.signals.filter((it) => inView(it.p));
    if (list.length < 4000) for (const it of list) dot(it.p, 2.2, '#1f6fb2');
  }
  if (shown.faults) for (const it of items.faults) if (!it.nopos && inView(it.p)) dot(it.p, 5, '#d50000');
  if (shown.stations) {
    g.font = '12px sans-serif';
    let last = [];
    for (const st of items.stations) {
      if (!inView(st.p)) continue;
      dot(st.p, 4.5, '#fff', '#c0392b');
      const [x, y] = planPoint(lv, st.p);
      const sx = SX(x) + 7, sy = SY(y) - 7;
      if (last.some(([lx, ly]) => Math.abs(lx - sx) < 60 && Math.abs(ly - sy) < 14)) continue;
      g.fillStyle = '#1d3557'; g.fillText(st.name, sx, sy);
      last.push([sx, sy]);
    }
  }
  // Kilometre points along the stretch.
  const step = niceStep(width / 8);
  g.font = '10px sans-serif'; g.fillStyle = '#6a7683';
  for (let m = Math.ceil(ca / step) * step; m <= cb; m += step) {
    const [x, y] = planPoint(lv, m);
    g.beginPath(); g.arc(SX(x), SY(y), 2, 0, 7); g.fill();
    g.fillText(km(m) + ' km', SX(x) + 4, SY(y) + 13);
  }
  if (hover) dot(Math.min(Math.max(hover.p, 0), data.length), 6, null, '#000');
  // Scale bar.
  const bar = niceStep(80 / sc);
  g.strokeStyle = '#333'; g.lineWidth = 2;
  g.beginPath(); g.moveTo(14, h - 16); g.lineTo(14 + bar * sc, h - 16); g.stroke();
  g.fillStyle = '#333'; g.font = '11px sans-serif';
  g.fillText(bar >= 1000 ? bar / 1000 + ' km' : bar + ' m', 20 + bar * sc, h - 12);
  g.fillText('plan of the line; the stretch of the profile in dark blue', 14, 18);
}

function draw() {
  const t0 = performance.now();
  drawPlan();
  drawProfile();
  const ms = performance.now() - t0;
  stats.draws++; stats.lastMs = ms; stats.maxMs = Math.max(stats.maxMs, ms);
  $('range').textContent = km(view.a) + ' \u2013 ' + km(view.b) + ' km';
}
let pending = false;
function redraw() {
  if (pending) return;
  pending = true;
  requestAnimationFrame(() => { pending = false; draw(); });
}

// ---- moving ------------------------------------------------------------------------------
function setView(a, b) {
  const L = Math.max(data.length, 100);
  let w = Math.min(Math.max(b - a, MIN_WIDTH), L * 1.02);
  a = Math.min(Math.max(a, -L * 0.01), L * 1.01 - w);
  view.a = a; view.b = a + w;
  redraw();
}
function zoom(factor, at) {
  if (at === undefined) at = (view.a + view.b) / 2;
  setView(at - (at - view.a) * factor, at + (view.b - at) * factor);
}
function pan(metres) { setView(view.a + metres, view.b + metres); }
function whole() { setView(0, Math.max(data.length, 100)); }

function go(text) {
  text = text.trim();
  const num = /^(-?\d+(?:[.,]\d+)?)\s*(?:km)?\s*(?:(?:-|\u2013|to|\.\.)\s*(\d+(?:[.,]\d+)?)\s*(?:km)?)?$/i.exec(text);
  if (num) {
    const a = parseFloat(num[1].replace(',', '.')) * 1000;
    if (num[2] !== undefined) {
      const b = parseFloat(num[2].replace(',', '.')) * 1000;
      setView(Math.min(a, b), Math.max(a, b));
    } else setView(a - 1000, a + 1000);
    return true;
  }
  const fold = (s) => s.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
  const want = fold(text);
  const st = data.stations.find((s) => fold(s.name) === want) || data.stations.find((s) => fold(s.name).includes(want));
  if (!st || !want) return false;
  const a = Math.min(st.a, st.p), b = Math.max(st.b, st.p), m = Math.max(300, (b - a) * 0.4);
  setView(a - m, b + m);
  return true;
}

// ---- hover -------------------------------------------------------------------------------
function esc(s) { return String(s).replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'}[c])); }
function sourceHtml(s) {
  if (!s) return data.sourcesKnown ? '' : '<div class="src">source line not known (drawn from the binary files)</div>';
  const file = data.files[s[0]] || '', line = s[1];
  const base = file.replace(/^.*[\\/]/, '');
  const text = data.lines[s[0]][String(line)];
  const path = file.replace(/\\/g, '/');
  const url = 'vscode://file/' + encodeURI(path.startsWith('/') ? path.slice(1) : path) + ':' + line;
  return '<div class="src"><a href="' + esc(url) + '" title="open in the editor">' + esc(base + ':' + line) + '</a>' +
      (text !== undefined ? '<code>' + esc(text) + '</code>' : '') + '</div>';
}
function showTip(html, cx, cy) {
  const t = $('tip');
  t.innerHTML = html;
  t.hidden = false;
  const r = t.getBoundingClientRect();
  t.style.left = Math.min(cx + 14, window.innerWidth - r.width - 6) + 'px';
  t.style.top = (cy + 16 + r.height > window.innerHeight ? cy - r.height - 10 : cy + 16) + 'px';
}
function hideTip() { if (!pinned) $('tip').hidden = true; }
function runAt(runs, p) {
  let found = null;
  runsIn(runs, p, p + 1e-6, (from, to, v) => { if (p >= from && p < to) found = [from, to, v]; });
  return found;
}
function itemHtml(it) {
  if (it.k === 'station') return esc(it.w) + sourceHtml(it.s);
  return esc(it.w) + (it.added ? '<div class="added">added by the compiler</div>' : '') + sourceHtml(it.s);
}

// What is under the mouse in the profile: an item of the lane, or the value of a graph.
function profileHit(x, y) {
  const w = profCanvas.getBoundingClientRect().width;
  const L = lanes.find((l) => y >= l.y && y < l.y + l.h);
  if (!L || x < LEFT) return null;
  const p = P(x, w);
  if (items[L.id]) {
    let best = null, bd = 7;
    for (const it of visible(items[L.id], 10 * (view.b - view.a) / w)) {
      let d;
      const xa = X(it.p0 ?? it.p, w), xb = X(it.e ?? it.p, w);
      if ((it.k === 'slowdown' || it.k === 'station') && x >= xa && x <= xb) d = 0.5;
      else d = Math.abs(X(it.p, w) - x);
      if (d < bd) { bd = d; best = it; }
    }
    return best ? {p: best.p, html: itemHtml(best), item: best} : {p};
  }
  const fmt = (r, what, unit) => r ? {p, html: esc(what + ' ' + r[2] + ' ' + unit + ' from ' + r[0] + ' m to ' + r[1] + ' m')} : {p};
  if (L.id === 'speed') return fmt(runAt(data.speed, p), 'speed limit', 'km/h');
  if (L.id === 'adhesion') return fmt(runAt(data.adhesion, p), 'adhesion', '%');
  if (L.id === 'gradient') {
    const g = runAt(data.gradient, p), m = runAt(data.mountain, p);
    let html = g ? esc('gradient ' + g[2] + ' \u2030 from ' + g[0] + ' m to ' + g[1] + ' m') : '';
    if (m && shown.mountain) html += (html ? '<br>' : '') + esc('mountain stretch of type ' + m[2] + ' from ' + m[0] + ' m to ' + m[1] + ' m');
    return {p, html};
  }
  return {p, html: esc('position ' + Math.round(p) + ' m')};
}
function planHit(x, y) {
  if (!planMap) return null;
  const {lv, SX, SY} = planMap;
  let best = null, bd = 9;
  const near = (p) => { const [px, py] = planPoint(lv, p); return Math.hypot(SX(px) - x, SY(py) - y); };
  if (shown.stations) for (const st of items.stations) { const d = near(st.p); if (d < bd) { bd = d; best = st; } }
  if (shown.faults) for (const f of items.faults) if (!f.nopos) { const d = near(f.p); if (d < bd) { bd = d; best = f; } }
  if (!best && shown.signals) for (const it of visible(items.signals, 0)) { const d = near(it.p); if (d < 5 && d < bd) { bd = d; best = it; } }
  return best ? {p: best.p, html: itemHtml(best), item: best} : null;
}

// ---- events ------------------------------------------------------------------------------
let drag = null;
function hookCanvas(c, isPlan) {
  c.addEventListener('wheel', (e) => {
    e.preventDefault();
    const f = Math.pow(1.0015, e.deltaY * (e.deltaMode === 1 ? 30 : 1));
    const r = c.getBoundingClientRect();
    zoom(f, isPlan ? undefined : P(e.clientX - r.left, r.width));
  }, {passive: false});
  c.addEventListener('mousedown', (e) => { drag = {x: e.clientX, a: view.a, b: view.b, w: c.getBoundingClientRect().width, moved: false}; c.style.cursor = 'grabbing'; });
  c.addEventListener('mousemove', (e) => {
    if (drag) return;
    const r = c.getBoundingClientRect();
    const hit = isPlan ? planHit(e.clientX - r.left, e.clientY - r.top) : profileHit(e.clientX - r.left, e.clientY - r.top);
    if (pinned) return;
    hover = hit ? {p: hit.p} : null;
    if (hit && hit.html) showTip(hit.html, e.clientX, e.clientY); else hideTip();
    redraw();
  });
  c.addEventListener('mouseleave', () => { if (!pinned) { hover = null; hideTip(); redraw(); } });
  c.addEventListener('click', (e) => {
    if (drag && drag.moved) return;
    const r = c.getBoundingClientRect();
    const hit = isPlan ? planHit(e.clientX - r.left, e.clientY - r.top) : profileHit(e.clientX - r.left, e.clientY - r.top);
    pinned = !!(hit && hit.item);
    if (pinned) { hover = {p: hit.p}; showTip(hit.html, e.clientX, e.clientY); } else hideTip();
    redraw();
  });
}
hookCanvas(planCanvas, true);
hookCanvas(profCanvas, false);
window.addEventListener('mousemove', (e) => {
  if (!drag) return;
  const dx = e.clientX - drag.x;
  if (Math.abs(dx) > 2) drag.moved = true;
  const per = (drag.b - drag.a) / (drag.w - LEFT - RIGHT);
  setView(drag.a - dx * per, drag.b - dx * per);
});
window.addEventListener('mouseup', () => {
  if (!drag) return;
  setTimeout(() => { drag = null; }, 0);
  planCanvas.style.cursor = profCanvas.style.cursor = 'grab';
});
window.addEventListener('keydown', (e) => {
  if (e.target === $('goto')) return;
  const w = view.b - view.a;
  if (e.key === '+' || e.key === '=') zoom(1 / 1.5);
  else if (e.key === '-' || e.key === '_') zoom(1.5);
  else if (e.key === 'ArrowLeft') pan(-w * 0.15);
  else if (e.key === 'ArrowRight') pan(w * 0.15);
  else if (e.key === 'Home' || e.key === '0') whole();
  else if (e.key === 'Escape') { pinned = false; hideTip(); }
  else return;
  e.preventDefault();
});
$('goto').addEventListener('keydown', (e) => {
  if (e.key !== 'Enter') return;
  const ok = go(e.target.value);
  e.target.style.background = ok ? '' : '#fdd';
});
$('whole').addEventListener('click', whole);
window.addEventListener('resize', redraw);

function buildLayers() {
  const box = $('layers');
  box.textContent = '';
  for (const [id, name, color] of LAYERS) {
    const l = document.createElement('label');
    const cb = document.createElement('input');
    cb.type = 'checkbox'; cb.checked = shown[id]; cb.dataset.layer = id;
    cb.addEventListener('change', () => { shown[id] = cb.checked; layout(); redraw(); });
    const sw = document.createElement('i');
    sw.style.background = color;
    l.append(cb, sw, name);
    box.append(l);
  }
}

// A new model (serve): drawn again over the same stretch.
function setData(d) {
  data = d;
  prepare();
  redraw();
}
if (SB_LIVE) {
  const events = new EventSource('/events');
  events.addEventListener('model', async () => {
    try {
      const r = await fetch('/data.json', {cache: 'no-store'});
      if (r.ok) setData(await r.json());
    } catch (err) { $('status').textContent = 'cannot load the new model: ' + err; }
  });
  events.onerror = () => { $('status').textContent = 'the server has stopped'; };
}

// For scripts and tests: the state and the moves.
window.sbViewer = {get data() { return data; }, view, shown, stats, setView, zoom, pan, whole, go, items: () => items,
  layers: () => lanes.map((l) => l.id), draw,
  // Where position p of a lane of the profile is in the window.
  at(p, id) {
    const r = profCanvas.getBoundingClientRect(), L = lane(id);
    return {x: r.left + X(p, r.width), y: r.top + L.y + L.h / 2};
  }};

buildLayers();
prepare();
layout();
draw();
)JS";

}  // namespace sb
