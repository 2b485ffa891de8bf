// The gang_horse scenario report: draws the run recorded in #report-data.
// Every text from the scenario (names, prompt texts, spoken lines) reaches
// the page through textContent or setAttribute, never as markup.
'use strict';
(function () {
  const data = JSON.parse(document.getElementById('report-data').textContent);
  const SVG = 'http://www.w3.org/2000/svg';

  function el(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }
  function svg(tag, attrs, parent) {
    const e = document.createElementNS(SVG, tag);
    for (const name in attrs) e.setAttribute(name, attrs[name]);
    if (parent) parent.appendChild(e);
    return e;
  }
  function svgTitle(e, text) {
    svg('title', {}, e).textContent = text;
    return e;
  }
  function pad(n, width) {
    return String(n).padStart(width, '0');
  }
  function clock(ms) {
    return pad(Math.floor(ms / 60000), 2) + ':' + pad(Math.floor(ms / 1000) % 60, 2) + '.' + pad(ms % 1000, 3);
  }
  // The last index i with key(i) <= value, or -1.
  function lastAtOrBefore(count, key, value) {
    let lo = 0, hi = count - 1, found = -1;
    while (lo <= hi) {
      const mid = (lo + hi) >> 1;
      if (key(mid) <= value) { found = mid; lo = mid + 1; } else { hi = mid - 1; }
    }
    return found;
  }

  if (data.index) { showIndex(data.index); return; }

  // ---- the run ------------------------------------------------------------
  const scenario = data.scenario;
  const fps = scenario.fps;
  const lastFrame = Math.max(0, scenario.frames - 1);
  const frameMs = (k) => Math.floor(k * 1000 / fps);
  const endMs = frameMs(lastFrame);
  // The frame shown at time t: the last one that began at or before it.
  function frameAt(t) {
    let k = Math.min(lastFrame, Math.floor(t * fps / 1000));
    while (k < lastFrame && frameMs(k + 1) <= t) k++;
    while (k > 0 && frameMs(k) > t) k--;
    return k;
  }

  const pedNames = new Map(data.names.peds.map(([handle, name]) => [handle >>> 0, name]));
  const hashNames = new Map(data.names.hashes);

  document.title = scenario.name + ' · gang_horse report';
  document.getElementById('title').textContent = scenario.name;
  const held = data.expectations.filter((x) => x.held).length;
  document.getElementById('summary').textContent =
    scenario.file + ' · ' + clock(scenario.duration) + ' at ' + fps + ' fps, ' + scenario.frames + ' frames · ' +
    (data.expectations.length ? held + ' of ' + data.expectations.length + ' expectations held' : 'no expectations');
  document.getElementById('report').hidden = false;

  // ---- actors, their owners and colours --------------------------------------
  const ownerColours = {
    Dutch: '#8e24aa', Bill: '#6d4c41', Charles: '#00897b', Javier: '#f4511e', Karen: '#d81b60', Hosea: '#5e35b1',
    Micah: '#3949ab', Sean: '#43a047', Kieran: '#7cb342', Lenny: '#039be5', Sadie: '#fb8c00', John: '#546e7a',
    Uncle: '#c0ca33', Trelawney: '#00acc1',
  };
  const actors = data.actors.map((a) => {
    const gang = /^A_C_HORSE_GANG_([A-Z]+)$/i.exec(a.model);
    const owner = gang ? gang[1].charAt(0).toUpperCase() + gang[1].slice(1).toLowerCase() : null;
    const isPlayer = a.name === 'player' && a.model === '';
    const kind = isPlayer ? 'player' : owner ? 'gang horse' : /^A_C_HORSE/i.test(a.model) ? 'horse' : 'ped';
    const colour = isPlayer ? '#c62828' : owner ? (ownerColours[owner] || '#795548') : kind === 'horse' ? '#a1887f' : '#9e9e9e';
    const track = a.track;
    let moved = false;
    for (let i = 4; i < track.length && !moved; i += 4) {
      if (track[i + 1] !== null && track[i - 3] !== null &&
          (track[i + 1] !== track[i - 3] || track[i + 2] !== track[i - 2])) moved = true;
    }
    return { name: a.name, model: a.model, owner, kind, colour, track, samples: track.length / 4, moved };
  });
  // Where an actor stands at time t: its last sample at or before t (null: not in the world).
  function positionAt(actor, t) {
    const i = lastAtOrBefore(actor.samples, (k) => actor.track[4 * k], t);
    if (i < 0 || actor.track[4 * i + 1] === null) return null;
    return [actor.track[4 * i + 1], actor.track[4 * i + 2], actor.track[4 * i + 3]];
  }

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

  // The legend: the player, the gang horses by owner, other peds, what the symbols mean.
  const legend = document.getElementById('legend');
  function legendItem(colour, text) {
    const li = el('li');
    const swatch = el('span', 'swatch');
    swatch.style.background = colour;
    li.append(swatch, document.createTextNode(text));
    legend.appendChild(li);
  }
  legendItem('#c62828', 'the player');
  const owners = new Map();
  for (const a of actors) {
    const key = a.owner ? a.owner + "'s horse" : a.kind === 'horse' ? 'other horses' : a.kind === 'ped' ? 'other peds' : null;
    if (!key) continue;
    if (!owners.has(key)) owners.set(key, { colour: a.colour, names: [] });
    owners.get(key).names.push(a.name);
  }
  for (const [key, o] of owners) {
    const names = o.names.length > 4 ? o.names.slice(0, 3).join(', ') + ' and ' + (o.names.length - 3) + ' more' : o.names.join(', ');
    legendItem(o.colour, key + ': ' + names);
  }
  const usedKinds = new Set(data.marks.map((m) => m[1]));
  for (const kind of Object.keys(markKinds)) {
    if (!usedKinds.has(kind)) continue;
    const li = el('li');
    const icon = svg('svg', { width: 14, height: 14, viewBox: '-7 -7 14 14' });
    symbol(markKinds[kind][2], 0, 0, markKinds[kind][0], icon);
    li.append(icon, document.createTextNode(markKinds[kind][1]));
    legend.appendChild(li);
  }
  if (campMarks.length) legendItem('#ffd54f', 'the camp position the module used');
  if (data.grazing.length) legendItem('#66bb6a', 'grazing points');

  // ---- the timeline -------------------------------------------------------------
  const timeline = document.getElementById('timeline');
  const lineItems = data.lines.map(([ms, text]) => {
    const li = el('li');
    li.dataset.ms = ms;
    li.append(el('span', 'time', clock(ms)), document.createTextNode(text));
    li.addEventListener('click', () => seek(ms, true));
    timeline.appendChild(li);
    return li;
  });
  let currentLine = null;
  function showLine(t) {
    const i = lastAtOrBefore(data.lines.length, (k) => data.lines[k][0], t);
    const li = i >= 0 ? lineItems[i] : null;
    if (li === currentLine) return;
    if (currentLine) currentLine.classList.remove('current');
    currentLine = li;
    if (!li) return;
    li.classList.add('current');
    const top = li.offsetTop - timeline.offsetTop;
    if (top < timeline.scrollTop || top + li.offsetHeight > timeline.scrollTop + timeline.clientHeight) {
      timeline.scrollTop = Math.max(0, top - timeline.clientHeight / 3);
    }
  }

  // ---- the expectations -------------------------------------------------------------
  const expectationRows = document.querySelector('#expectations tbody');
  for (const x of data.expectations) {
    const tr = el('tr');
    tr.append(el('td', x.held ? 'held' : 'failed', x.held ? '✔ held' : '✘ failed'));
    const text = el('td');
    text.append(el('span', 'time', 'line ' + x.line), document.createTextNode(x.text));
    const at = el('td');
    const jump = el('button', 'link', clock(x.at));
    jump.type = 'button';
    jump.addEventListener('click', () => seek(x.at, true));
    at.appendChild(jump);
    tr.append(text, at, el('td', '', x.why));
    expectationRows.appendChild(tr);
  }
  if (!data.expectations.length) document.getElementById('expectations-panel').hidden = true;

  // ---- native calls per pass, waits marked ----------------------------------------------
  const plot = document.getElementById('plot');
  const PW = 1000, PH = 170, PL = 46, PR = 10, PT = 10, PB = 24;
  const px = (ms) => PL + (ms / Math.max(1, scenario.duration)) * (PW - PL - PR);
  let most = 1;
  for (const p of data.passes) most = Math.max(most, p[3]);
  const py = (calls) => PH - PB - (calls / most) * (PH - PT - PB);
  svg('line', { x1: PL, y1: PH - PB, x2: PW - PR, y2: PH - PB, stroke: '#bbb' }, plot);
  svg('text', { x: PL - 6, y: py(most) + 4, 'text-anchor': 'end' }, plot).textContent = String(most);
  svg('text', { x: PL - 6, y: PH - PB + 4, 'text-anchor': 'end' }, plot).textContent = '0';
  svg('text', { x: PL, y: PH - 6 }, plot).textContent = clock(0);
  svg('text', { x: PW - PR, y: PH - 6, 'text-anchor': 'end' }, plot).textContent = clock(scenario.duration);
  // The most calls of any pass in each pixel column.
  const columns = new Array(PW).fill(-1);
  for (const [first, last, , calls] of data.passes) {
    for (let c = Math.floor(px(first)); c <= Math.floor(px(last)) && c < PW; c++) columns[c] = Math.max(columns[c], calls);
  }
  let line = '';
  columns.forEach((calls, c) => { if (calls >= 0) line += (line ? 'L' : 'M') + c + ',' + py(calls).toFixed(1); });
  if (line) svgTitle(svg('path', { class: 'calls', d: line }, plot), 'native calls per pass');
  for (const [ms, wait] of data.waits) {
    svgTitle(svg('line', { class: 'wait', x1: px(ms), x2: px(ms), y1: PT, y2: PT + 12 }, plot), clock(ms) + '  the script waits ' + wait + ' ms');
  }
  const cursor = svg('line', { class: 'cursor', y1: PT, y2: PH - PB }, plot);
  plot.addEventListener('click', (e) => {
    const box = plot.getBoundingClientRect();
    const x = (e.clientX - box.left) * PW / box.width;
    seek(Math.round(((x - PL) / (PW - PL - PR)) * scenario.duration), true);
  });

  // ---- the module's calls in the frame shown -----------------------------------------
  const natives = data.calls.natives, calls = data.calls.calls, frames = data.calls.frames;
  // Each entry's first and last ms, and the calls it uses for the first time
  // (written -1) by their place in the table.
  const firstMs = new Array(frames.length), lastMs = new Array(frames.length);
  {
    let ms = 0, unseen = 0;
    frames.forEach((f, i) => {
      ms += f[0];
      firstMs[i] = ms;
      lastMs[i] = ms + (f[2] || 0);
      const edits = f[1];
      for (let k = 0; k < edits.length; k += 3 + edits[k + 2]) {
        for (let j = k + 3; j < k + 3 + edits[k + 2]; j++) if (edits[j] === -1) edits[j] = unseen++;
      }
    });
  }
  const hex = (n, digits) => '0x' + (n >>> 0).toString(16).toUpperCase().padStart(digits, '0');
  function nameOf(v) {
    if (typeof v === 'string') return v; // a slot with its high half set, as hex
    if (hashNames.has(v)) return hashNames.get(v);
    if (pedNames.has(v)) return pedNames.get(v);
    return v > 0x7fffffff ? hex(v, 8) : String(v);
  }
  const quoted = (text) => (text === null ? 'null' : JSON.stringify(text));
  function floatBits(v) {
    const f = new Float32Array([v]);
    return hex(new Uint32Array(f.buffer)[0], 8);
  }
  function words(kind, v) {
    switch (kind) {
      case 'f': return typeof v === 'string' ? v : String(v);
      case 's': return quoted(v);
      case 'v': return 'text ' + quoted(v);
      case 'o': return '&' + nameOf(v[0]) + (v[0] !== v[1] ? ' (now ' + nameOf(v[1]) + ')' : '');
      case 'r': return 'speech ' + quoted(v[0]);
      default: return nameOf(v);
    }
  }
  function raw(kind, v) {
    switch (kind) {
      case 'f': return typeof v === 'string' ? v : floatBits(v);
      case 's': case 'v': return 'address of ' + quoted(v);
      case 'o': return 'address of ' + hex(v[0], 8) + ', after the call ' + hex(v[1], 8);
      case 'r': return 'address of a speech record [' + quoted(v[0]) + ', ' + v.slice(1).join(', ') + ']';
      default: return typeof v === 'string' ? v : hex(v, 8);
    }
  }
  function resultWords(kind, v) {
    switch (kind) {
      case 'b': return v ? 'true' : 'false';
      case 'f': case 'p': return String(v);
      case 'v': return '(' + v.join(', ') + ')';
      default: return nameOf(v);
    }
  }
  function resultRaw(kind, v) {
    switch (kind) {
      case 'f': return typeof v === 'string' ? v : floatBits(v);
      case 'v': return '[' + v.map(floatBits).join(', ') + ']';
      case 'p': return String(v);
      default: return typeof v === 'string' ? v : hex(v, 8);
    }
  }
  function callRow(id) {
    const [n, args, result] = calls[id];
    const [label, kinds, resultKind, gameName, hash] = natives[n];
    const li = el('li');
    li.dataset.label = label;
    li.dataset.call = JSON.stringify([kinds, args, resultKind, result === undefined ? null : result]);
    const details = el('details');
    let text = label + '(' + args.map((v, k) => words(kinds[k], v)).join(', ') + ')';
    if (resultKind) text += ' → ' + resultWords(resultKind, result);
    if (label === 'worldGetAllPeds') text = 'worldGetAllPeds(room for ' + args[0] + ') → ' + result + ' peds';
    if (label === 'scriptWait') text = 'scriptWait(' + args[0] + ' ms)';
    const summary = el('summary', hash === null ? 'host' : '', text);
    let rawText = hash === null ? 'a call of the script host' : (gameName ? gameName + ' ' : '') + hash;
    rawText += '; slots: ' + (args.length ? args.map((v, k) => raw(kinds[k], v)).join(', ') : 'none');
    if (resultKind) rawText += '; result: ' + resultRaw(resultKind, result);
    details.append(summary, el('div', 'raw', rawText));
    li.appendChild(details);
    return li;
  }
  // The list of calls after entry i: the entries' edits applied in order,
  // with a copy kept every 256 entries for going back.
  const listState = { index: -1, list: [] };
  const checkpoints = [];
  function listAt(i) {
    if (i < listState.index) {
      const c = Math.floor(i / 256);
      if (c > 0 && checkpoints[c - 1]) {
        listState.index = c * 256 - 1; listState.list = checkpoints[c - 1].slice();
      } else {
        listState.index = -1; listState.list = [];
      }
    }
    while (listState.index < i) {
      const edits = frames[++listState.index][1];
      let list = listState.list;
      for (let k = 0; k < edits.length;) {
        const at = edits[k], removed = edits[k + 1], added = edits[k + 2];
        const ids = edits.slice(k + 3, k + 3 + added);
        if (removed === added) { for (let j = 0; j < added; j++) list[at + j] = ids[j]; }
        else list = list.slice(0, at).concat(ids, list.slice(at + removed));
        k += 3 + added;
      }
      listState.list = list;
      if ((listState.index + 1) % 256 === 0) checkpoints[(listState.index + 1) / 256 - 1] = list.slice();
    }
    return listState.list;
  }
  const callList = document.getElementById('calls'), more = document.getElementById('calls-more');
  const callsTitle = document.getElementById('calls-title'), callsNote = document.getElementById('calls-note');
  const FIRST_ROWS = 400;
  let shownCalls = null, showAll = false;
  function showCalls(t) {
    const frame = frameAt(t), ms = frameMs(frame);
    const i = lastAtOrBefore(frames.length, (k) => firstMs[k], ms);
    const inFrame = i >= 0 && lastMs[i] >= ms;
    callsTitle.textContent = "The module's calls in frame " + frame + ' (' + clock(ms) + ')';
    callList.dataset.frame = frame;
    const list = inFrame ? listAt(i) : [];
    callsNote.textContent = inFrame ? list.length + ' calls, in the order made; click one for its raw slots.'
      : i >= 0 ? 'None: the script waits. Its last calls were in the frame at ' + clock(lastMs[i]) + '.'
        : 'None: the module has not called anything yet.';
    const key = inFrame ? i : -1;
    if (shownCalls === key) return;
    shownCalls = key;
    callList.textContent = '';
    const rows = showAll ? list.length : Math.min(list.length, FIRST_ROWS);
    const fragment = document.createDocumentFragment();
    for (let k = 0; k < rows; k++) fragment.appendChild(callRow(list[k]));
    callList.appendChild(fragment);
    callList.dataset.count = list.length;
    more.hidden = rows === list.length;
    more.textContent = 'Show all ' + list.length + ' calls';
  }
  more.addEventListener('click', () => { showAll = true; shownCalls = null; showCalls(now); });

  // ---- time: the slider, play and pause, #t= --------------------------------------------
  const slider = document.getElementById('slider'), clockOut = document.getElementById('clock');
  const play = document.getElementById('play'), speed = document.getElementById('speed');
  slider.max = endMs;
  let now = 0, playing = false, lastTick = 0;
  function render(t) {
    now = Math.max(0, Math.min(endMs, Math.round(t)));
    slider.value = now;
    clockOut.textContent = clock(now);
    showMarkers(now);
    showLine(now);
    showCalls(now);
    cursor.setAttribute('x1', px(now));
    cursor.setAttribute('x2', px(now));
    document.documentElement.dataset.t = now;
    document.documentElement.dataset.frame = frameAt(now);
  }
  function seek(t, remember) {
    render(t);
    if (remember) {
      try { history.replaceState(null, '', '#t=' + now); } catch (e) { /* a page opened where the address cannot change */ }
    }
  }
  function timeFromAddress() {
    const m = /(?:^#|&)t=(\d+)/.exec(location.hash);
    return m ? Number(m[1]) : null;
  }
  function tick(stamp) {
    if (!playing) return;
    const t = now + (stamp - lastTick) * Number(speed.value);
    lastTick = stamp;
    render(t);
    if (now >= endMs) { setPlaying(false); return; }
    requestAnimationFrame(tick);
  }
  function setPlaying(on) {
    playing = on;
    play.textContent = on ? 'Pause' : 'Play';
    if (on) {
      if (now >= endMs) render(0);
      lastTick = performance.now();
      requestAnimationFrame(tick);
    } else {
      seek(now, true);
    }
  }
  play.addEventListener('click', () => setPlaying(!playing));
  slider.addEventListener('input', () => seek(Number(slider.value), true));
  window.addEventListener('hashchange', () => { const t = timeFromAddress(); if (t !== null) render(t); });
  document.addEventListener('keydown', (e) => {
    // Controls keep their own keys (space on a focused button presses it).
    if (e.target instanceof HTMLInputElement || e.target instanceof HTMLSelectElement ||
        e.target instanceof HTMLButtonElement) return;
    if (e.key === ' ') { e.preventDefault(); setPlaying(!playing); }
    if (e.key === 'ArrowRight') seek(frameMs(Math.min(lastFrame, frameAt(now) + 1)), true);
    if (e.key === 'ArrowLeft') seek(frameMs(Math.max(0, frameAt(now) - 1)), true);
  });
  render(timeFromAddress() || 0);

  // ---- index.html of a checked set ---------------------------------------------------------
  function showIndex(index) {
    document.title = index.title;
    document.getElementById('title').textContent = index.title;
    const failed = index.scenarios.filter((s) => s.failed > 0).length;
    document.getElementById('summary').textContent =
      (index.scenarios.length - failed) + ' passed, ' + failed + ' failed';
    const rows = document.querySelector('#scenarios tbody');
    for (const s of index.scenarios) {
      const tr = el('tr');
      tr.append(el('td', s.failed ? 'failed' : 'held', s.failed ? '✘ failed' : '✔ held'));
      const name = el('td'), link = el('a', '', s.name);
      link.href = encodeURIComponent(s.page);
      name.appendChild(link);
      tr.append(name, el('td', '', s.file),
        el('td', '', (s.expectations - s.failed) + ' of ' + s.expectations + ' held'));
      rows.appendChild(tr);
    }
    document.getElementById('index').hidden = false;
    document.documentElement.dataset.t = 0;
  }
})();
