// ---- what the module has in the game at the time shown; marks on the slider ----------
// Each item holds from its first frame's ms until the ms of the frame it went
// in (null: to the end): shown at t when from <= t < to, as the markers are.
const stateItems = data.state.items;
const stateOrder = { paused: 0, borrowed: 1, blip: 2, member: 3, prompts: 4 };
const stateLabels = { paused: 'script waits', borrowed: 'borrowed horse', blip: 'blip', member: 'follows', prompts: 'prompts shown' };
const stateTitle = document.getElementById('state-title'), stateNote = document.getElementById('state-note');
const stateList = document.getElementById('state-list');
function stateRow(item) {
  const [kind, , , a, b, c] = item;
  const li = el('li'), leftover = leftoverOf(item);
  let words = '';
  if (kind === 'borrowed') {
    li.className = 'borrowed'; li.dataset.name = a;
    words = a + ', as the module\'s calls show it';
  } else if (kind === 'paused') {
    li.className = 'paused'; li.dataset.until = a; li.dataset.why = b;
    words = 'until ' + clock(a) + ': ' + c;
  } else if (kind === 'blip') {
    li.className = 'blip'; li.dataset.on = a;
    words = '"' + b + '" on ' + a;
  } else if (kind === 'member') {
    li.className = 'group-member'; li.dataset.name = a;
    words = a + ' is in the player\'s group: it follows the player';
  } else if (kind === 'prompts') {
    li.className = 'prompts'; li.dataset.on = a === null ? 'none' : a;
    words = (a === null ? 'in no horse\'s prompt group' : 'on ' + a) + ': ' + b.map((x) => '"' + x + '"').join(' | ');
  }
  const what = el('span', 'what', words);
  li.append(el('span', 'kind', stateLabels[kind]), what);
  if (leftover >= 0) {
    li.classList.add('leftover');
    li.dataset.leftover = leftover;
    what.append(el('span', 'why', ' — left behind by the module instance unloaded at ' + clock(leftover)));
  }
  return li;
}
let shownState = null;
function showState(t) {
  const at = [];
  stateItems.forEach((item, i) => { if (item[1] <= t && (item[2] === null || item[2] > t)) at.push(i); });
  stateTitle.textContent = 'In the game at ' + clock(t);
  const key = at.join(',');
  if (key === shownState) return;
  shownState = key;
  // The script's wait and the borrowed horse first, then the module's things, the current instance's before leftovers.
  at.sort((i, j) => stateOrder[stateItems[i][0]] - stateOrder[stateItems[j][0]] || leftoverOf(stateItems[i]) - leftoverOf(stateItems[j]) ||
    String(stateItems[i][3]).localeCompare(String(stateItems[j][3])));
  stateList.textContent = '';
  for (const i of at) stateList.appendChild(stateRow(stateItems[i]));
  stateList.hidden = !at.length;
  stateNote.textContent = at.length ? '' : 'Nothing: no blip, no ped in the player\'s group, no prompt shown, ' +
    'no borrowed horse, and the script is not waiting.';
}
// The ms of the reload that left an item behind; -1 for the current instance's.
function leftoverOf(item) {
  const left = item[0] === 'member' ? item[4] : item[0] === 'blip' || item[0] === 'prompts' ? item[5] : null;
  return left === null ? -1 : left;
}
// Marks under the slider: reloads, teleports and failed expectations; a click goes there.
const sliderMarks = document.getElementById('slider-marks');
const momentNames = { module_reload: 'module reload', game_reload: 'game reload', teleport: 'teleport', failed: 'failed expectation' };
const moments = data.state.moments.slice();
for (const x of data.expectations) {
  if (!x.held) moments.push([Math.min(x.at, endMs), 'failed', 'line ' + x.line + ': ' + x.text + ' failed: ' + x.why]);
}
moments.sort((a, b) => a[0] - b[0]);
for (const [ms, kind, text] of moments) {
  const mark = el('button', 'slider-mark ' + kind);
  mark.type = 'button';
  mark.dataset.ms = ms;
  mark.dataset.kind = kind;
  mark.title = clock(ms) + '  ' + (momentNames[kind] || kind) + ': ' + text;
  mark.setAttribute('aria-label', mark.title);
  // The thumb's centre runs from half its width (16 px) to the width less that.
  mark.style.left = 'calc(8px + (100% - 16px) * ' + (ms / Math.max(1, endMs)).toFixed(5) + ')';
  mark.addEventListener('click', () => seek(ms, true));
  sliderMarks.appendChild(mark);
}
