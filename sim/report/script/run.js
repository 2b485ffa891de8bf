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

// Who holds each handle, from when: a ped added later may take the handle of
// one that left. The name of a handle at ms, or undefined.
const pedNames = new Map();
for (const [handle, name, from] of data.names.peds) {
  const key = handle >>> 0;
  if (!pedNames.has(key)) pedNames.set(key, []);
  pedNames.get(key).push([from, name]);
}
// The times at which a handle changes hands, in order.
const handovers = data.names.peds.map((p) => p[2]).filter((from) => from > 0).sort((a, b) => a - b);
function pedNameAt(handle, ms) {
  const holders = pedNames.get(handle >>> 0);
  if (!holders) return undefined;
  let name = holders[0][1];
  for (const [from, holder] of holders) if (from <= ms) name = holder;
  return name;
}
const hashNames = new Map(data.names.hashes);

document.title = scenario.name + ' · gang_horse report';
document.getElementById('title').textContent = scenario.name;
const held = data.expectations.filter((x) => x.held).length;
document.getElementById('summary').textContent =
  scenario.file + ' · ' + clock(scenario.duration) + ' at ' + fps + ' fps, ' + scenario.frames + ' frames · ' +
  (data.expectations.length ? held + ' of ' + data.expectations.length + ' expectations held' : 'no expectations');
document.getElementById('report').hidden = false;
