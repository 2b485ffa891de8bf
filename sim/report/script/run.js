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
