// ---- the map -----------------------------------------------------------------
const map = document.getElementById('map');
const W = 1000, H = 700, M = 50;
const campPositions = data.camp.filter((c) => c[1] !== 0 || c[2] !== 0 || c[3] !== 0);
let minX = Infinity, minY = Infinity, maxX = -Infinity, maxY = -Infinity;
function include(x, y) {
  if (x === null || y === null) return;
  minX = Math.min(minX, x); maxX = Math.max(maxX, x); minY = Math.min(minY, y); maxY = Math.max(maxY, y);
}
for (const a of actors) for (let i = 0; i < a.track.length; i += 4) include(a.track[i + 1], a.track[i + 2]);
for (const g of data.grazing) include(g[0], g[1]);
for (const c of campPositions) include(c[1], c[2]);
if (minX === Infinity) { minX = minY = -10; maxX = maxY = 10; }
const span = Math.max(maxX - minX, maxY - minY, 20);
const cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
const scale = Math.min((W - 2 * M) / Math.max(maxX - minX, span * 0.2), (H - 2 * M) / Math.max(maxY - minY, span * 0.2));
const sx = (x) => W / 2 + (x - cx) * scale;
const sy = (y) => H / 2 - (y - cy) * scale; // north is up
const xy = (x, y) => sx(x).toFixed(1) + ',' + sy(y).toFixed(1);

// A grid and a scale bar in metres: 1, 2 or 5 times a power of ten.
const visible = W / scale;
let step = Math.pow(10, Math.floor(Math.log10(visible / 4)));
for (const f of [1, 2, 5, 10]) { if (f * step >= visible / 8) { step *= f; break; } }
const grid = svg('g', {}, map);
for (let gx = Math.ceil((cx - W / 2 / scale) / step) * step; sx(gx) < W; gx += step) {
  svg('line', { class: 'grid', x1: sx(gx), y1: 0, x2: sx(gx), y2: H }, grid);
}
for (let gy = Math.ceil((cy - H / 2 / scale) / step) * step; sy(gy) > 0; gy += step) {
  svg('line', { class: 'grid', x1: 0, y1: sy(gy), x2: W, y2: sy(gy) }, grid);
}
const bar = step * scale;
svg('path', { class: 'scale', d: 'M20,' + (H - 30) + 'v8h' + bar.toFixed(1) + 'v-8', fill: 'none' }, map);
svg('text', { class: 'scale-text', x: 20, y: H - 36 }, map).textContent = step + ' m';

// Paths of everyone who moved; a gap where an actor left the world.
for (const a of actors) {
  if (!a.moved) continue;
  let points = [], last = null;
  const flush = () => {
    if (points.length > 1) {
      svgTitle(svg('polyline', { class: 'path', points: points.join(' '), stroke: a.colour, 'data-path': a.name }, map),
        a.name + "'s path");
    }
    points = []; last = null;
  };
  for (let i = 0; i < a.track.length; i += 4) {
    if (a.track[i + 1] === null) { flush(); continue; }
    const px = sx(a.track[i + 1]), py = sy(a.track[i + 2]);
    if (last && Math.abs(px - last[0]) < 0.5 && Math.abs(py - last[1]) < 0.5) continue;
    points.push(px.toFixed(1) + ',' + py.toFixed(1)); last = [px, py];
  }
  flush();
}
for (const g of data.grazing) {
  const d = 'M' + xy(g[0], g[1]) + 'm0,-8l8,8l-8,8l-8,-8z';
  svgTitle(svg('path', { d, fill: '#66bb6a', stroke: '#2e7d32' }, map), 'grazing point (' + g.join(', ') + ')');
}
const campMarks = campPositions.map((c) => {
  const m = svg('path', { d: 'M' + xy(c[1], c[2]) + 'm0,-11l11,18h-22z', fill: '#ffd54f', stroke: '#6d4c41', 'stroke-width': 1.5 }, map);
  svgTitle(m, 'the camp position the module used from ' + clock(c[0]) + ' (' + c.slice(1).join(', ') + ')');
  return { from: c[0], mark: m };
});

// What happened where: a symbol per kind, a click jumps there.
const markKinds = {
  mount: ['#1565c0', 'the player mounts', 'up'], dismount: ['#90caf9', 'the player dismounts', 'down'],
  prompt: ['#6a1b9a', 'prompt completed', 'square'], whistle: ['#ab47bc', 'the player whistles', 'square'],
  said: ['#f9a825', 'said', 'circle'], blip_added: ['#e53935', 'blip added', 'ring'],
  blip_removed: ['#bdbdbd', 'blip removed', 'ring'], sent_home: ['#00897b', 'sent home', 'up'],
  put_down: ['#ef6c00', 'put down at the camp', 'cross'], grazing: ['#43a047', 'grazing started', 'circle'],
  spurred: ['#5d4037', 'spurred away', 'down'],
};
function symbol(shape, x, y, colour, parent) {
  const at = 'M' + x.toFixed(1) + ',' + y.toFixed(1);
  const shapes = {
    up: at + 'm0,-6l6,10h-12z', down: at + 'm0,6l6,-10h-12z', square: at + 'm-5,-5h10v10h-10z',
    circle: at + 'm-5,0a5,5 0 1,0 10,0a5,5 0 1,0 -10,0', ring: at + 'm-6,0a6,6 0 1,0 12,0a6,6 0 1,0 -12,0',
    cross: at + 'm-5,-5l10,10m0,-10l-10,10',
  };
  return svg('path', { d: shapes[shape], fill: shape === 'ring' || shape === 'cross' ? 'none' : colour,
    stroke: colour, 'stroke-width': shape === 'ring' || shape === 'cross' ? 2.5 : 0.8 }, parent);
}
function markWords(m) {
  const [, kind, actor, , , , text] = m;
  const who = actor >= 0 ? actors[actor].name : '';
  const words = {
    mount: 'the player mounts ' + text, dismount: 'the player dismounts', prompt: 'the player completes the ' + text + ' prompt',
    whistle: 'the player whistles', said: who + ' says "' + text + '"', blip_added: 'blip "' + text + '" added on ' + who,
    blip_removed: 'blip "' + text + '" removed from ' + who, sent_home: who + ' sent home', put_down: who + ' put down at the camp',
    grazing: who + ' set to graze', spurred: who + ' spurred away',
  };
  return clock(m[0]) + '  ' + (words[kind] || kind);
}
const eventLayer = svg('g', {}, map);
for (const m of data.marks) {
  const kind = markKinds[m[1]] || ['#000', m[1], 'circle'];
  const e = symbol(kind[2], sx(m[3]), sy(m[4]), kind[0], eventLayer);
  e.setAttribute('class', 'event');
  e.dataset.ms = m[0];
  svgTitle(e, markWords(m));
  e.addEventListener('click', () => seek(m[0], true));
}

// Markers: the player and every ped in the world at the shown time.
const markerLayer = svg('g', {}, map);
const labelAll = actors.length <= 30;
const markers = actors.map((a) => {
  const g = svg('g', {});
  const dot = svg('circle', { class: 'marker', r: a.kind === 'player' ? 7 : 5, fill: a.colour, 'data-name': a.name }, g);
  svgTitle(dot, a.name + (a.model ? ' (' + a.model + ')' : ''));
  const label = a.kind === 'player' || a.moved || labelAll ? svg('text', { class: 'label' }, g) : null;
  if (label) label.textContent = a.name;
  return { g, dot, label, shown: false };
});
function showMarkers(t) {
  actors.forEach((a, i) => {
    const p = positionAt(a, t), m = markers[i];
    if (!p) {
      if (m.shown) { markerLayer.removeChild(m.g); m.shown = false; }
      return;
    }
    m.dot.setAttribute('cx', sx(p[0]).toFixed(1));
    m.dot.setAttribute('cy', sy(p[1]).toFixed(1));
    m.dot.setAttribute('data-world', p.join(','));
    if (m.label) {
      // Labels near the right edge go to the marker's left.
      const right = sx(p[0]) > W - 160;
      m.label.setAttribute('x', (sx(p[0]) + (right ? -9 : 9)).toFixed(1));
      m.label.setAttribute('y', (sy(p[1]) - 7).toFixed(1));
      m.label.setAttribute('text-anchor', right ? 'end' : 'start');
    }
    if (!m.shown) { markerLayer.appendChild(m.g); m.shown = true; }
  });
  let inForce = -1;
  campMarks.forEach((c, i) => { if (c.from <= t) inForce = i; });
  campMarks.forEach((c, i) => c.mark.setAttribute('opacity', i === inForce ? 1 : 0.3));
}
