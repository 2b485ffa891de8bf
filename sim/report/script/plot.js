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
// The most calls of any pass in each pixel column, the line broken where no
// pass ran (the script waited, or was not running): a pass entry that does
// not begin the frame after the one before ended starts a new stretch.
let line = '';
for (let e = 0; e < data.passes.length;) {
  const columns = new Map();
  let end = e;
  do {
    const [first, last, , calls] = data.passes[end];
    for (let c = Math.floor(px(first)); c <= Math.floor(px(last)) && c < PW; c++) columns.set(c, Math.max(columns.get(c) ?? -1, calls));
    end++;
  } while (end < data.passes.length && frameAt(data.passes[end][0]) === frameAt(data.passes[end - 1][1]) + 1);
  let first = true;
  for (const [c, calls] of columns) { line += (first ? 'M' : 'L') + c + ',' + py(calls).toFixed(1); first = false; }
  if (columns.size === 1) line += 'h1';
  e = end;
}
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
