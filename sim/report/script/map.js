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

// Paths of everyone who moved: walked stretches as lines, jumps (teleports)
// dashed, a gap where an actor left the world. What lies after the time
// shown is faded: each walked stretch is drawn faded in full, and again
// over it up to the time shown (a dash as long as the way walked by then).
const pieces = [];
const pathLayer = svg('g', {}, map);
for (const a of actors) {
  if (!a.moved) continue;
  let points = [], times = [], lengths = [], last = null;
  const flush = () => {
    if (points.length > 1) {
      const attrs = { points: points.join(' '), stroke: a.colour, 'data-path': a.name };
      svg('polyline', Object.assign({ class: 'path later' }, attrs), pathLayer);
      const shown = svgTitle(svg('polyline', Object.assign({ class: 'path' }, attrs), pathLayer), a.name + "'s path");
      pieces.push({ from: times[0], to: times[times.length - 1], times, lengths, shown, state: null });
    }
    points = []; times = []; lengths = []; last = null;
  };
  for (let i = 0; i < a.track.length; i += 4) {
    if (a.track[i + 1] === null) { flush(); continue; }
    const px = sx(a.track[i + 1]), py = sy(a.track[i + 2]);
    if (last && a.jumps.has(a.track[i])) {
      const jump = svg('line', { class: 'jump', x1: last[0].toFixed(1), y1: last[1].toFixed(1), x2: px.toFixed(1),
        y2: py.toFixed(1), stroke: a.colour, 'data-path': a.name }, pathLayer);
      svgTitle(jump, a.name + ' jumps (teleported) at ' + clock(a.track[i]));
      flush();
      pieces.push({ from: a.track[i], to: a.track[i], jump, state: null });
    }
    const walked = last && points.length ? lengths[lengths.length - 1] + Math.hypot(px - last[0], py - last[1]) : 0;
    points.push(px.toFixed(1) + ',' + py.toFixed(1)); times.push(a.track[i]); lengths.push(walked); last = [px, py];
  }
  flush();
}
// The paths up to time t in full, faded after it.
function showPaths(t) {
  const ms = frameMs(frameAt(t));
  for (const p of pieces) {
    const state = ms >= p.to ? 'done' : ms < p.from ? 'later' : ms;
    if (state === p.state) continue;
    p.state = state;
    if (p.jump) { p.jump.classList.toggle('later', state === 'later'); continue; }
    if (state === 'done') { p.shown.removeAttribute('stroke-dasharray'); p.shown.style.display = ''; continue; }
    if (state === 'later') { p.shown.style.display = 'none'; continue; }
    const k = lastAtOrBefore(p.times.length, (j) => p.times[j], ms);
    const f = (ms - p.times[k]) / (p.times[k + 1] - p.times[k]);
    const walked = p.lengths[k] + f * (p.lengths[k + 1] - p.lengths[k]);
    p.shown.setAttribute('stroke-dasharray', walked.toFixed(1) + ' ' + (p.lengths[p.lengths.length - 1] + 1).toFixed(1));
    p.shown.style.display = walked > 0 ? '' : 'none';
  }
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
const markerLayer = svg('g', {}, map), labelLayer = svg('g', {}, map); // labels over every marker
const labelAll = actors.length <= 30;
const markers = actors.map((a) => {
  const g = svg('g', {});
  const dot = svg('circle', { class: 'marker', r: a.kind === 'player' ? 7 : 5, fill: a.colour, 'data-name': a.name }, g);
  svgTitle(dot, a.name + (a.model ? ' (' + a.model + ')' : ''));
  const label = a.kind === 'player' || a.moved || labelAll ? svg('text', { class: 'label', visibility: 'hidden' }, labelLayer) : null;
  if (label) label.textContent = a.name;
  return { g, dot, label, shown: false };
});
// Label places beside a marker, tried in turn: right and left above it,
// right and left below, straight above and below ([dx, dy, anchor]).
const labelPlaces = [[9, -7, 'start'], [-9, -7, 'end'], [9, 15, 'start'], [-9, 15, 'end'], [0, -12, 'middle'], [0, 22, 'middle']];
function showMarkers(t) {
  const labelled = [], dots = [];
  actors.forEach((a, i) => {
    const p = positionAt(a, t), m = markers[i];
    if (!p) {
      if (m.shown) { markerLayer.removeChild(m.g); m.shown = false; }
      if (m.label) m.label.setAttribute('visibility', 'hidden');
      return;
    }
    m.dot.setAttribute('cx', sx(p[0]).toFixed(1));
    m.dot.setAttribute('cy', sy(p[1]).toFixed(1));
    m.dot.setAttribute('data-world', p.join(','));
    if (!m.shown) { markerLayer.appendChild(m.g); m.shown = true; }
    dots.push([sx(p[0]) - 6, sy(p[1]) - 6, 12, 12]);
    if (m.label) labelled.push([a.kind === 'player' ? 0 : a.moved ? 1 : 2, i, sx(p[0]), sy(p[1])]);
  });
  // Labels that do not overlap: the player's first, then those of peds that
  // moved, each at the first place free of those placed; a label with no
  // free place is hidden (its marker still names the ped on hover).
  labelled.sort((x, y) => x[0] - y[0] || x[1] - y[1]);
  const placed = dots; // the markers are in the way too
  for (const [, i, x, y] of labelled) {
    const label = markers[i].label;
    if (!markers[i].width) markers[i].width = label.getComputedTextLength() || 7 * label.textContent.length;
    const w = markers[i].width + 4, h = 15;
    let free = null;
    for (const [dx, dy, anchor] of labelPlaces) {
      const left = x + dx - (anchor === 'end' ? w : anchor === 'middle' ? w / 2 : 0) - 2, top = y + dy - 12;
      if (left < 0 || left + w > W || top < 0 || top + h > H) continue;
      if (placed.some((b) => left < b[0] + b[2] && b[0] < left + w && top < b[1] + b[3] && b[1] < top + h)) continue;
      free = [dx, dy, anchor, [left, top, w, h]];
      break;
    }
    label.setAttribute('visibility', free ? 'visible' : 'hidden');
    if (!free) continue;
    label.setAttribute('x', (x + free[0]).toFixed(1));
    label.setAttribute('y', (y + free[1]).toFixed(1));
    label.setAttribute('text-anchor', free[2]);
    placed.push(free[3]);
  }
  let inForce = -1;
  campMarks.forEach((c, i) => { if (c.from <= t) inForce = i; });
  campMarks.forEach((c, i) => c.mark.setAttribute('opacity', i === inForce ? 1 : 0.3));
}
