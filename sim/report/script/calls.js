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
function nameOf(v, ms) {
  if (typeof v === 'string') return v; // a slot with its high half set, as hex
  if (hashNames.has(v)) return hashNames.get(v);
  if (pedNames.has(v)) return pedNameAt(v, ms);
  return v > 0x7fffffff ? hex(v, 8) : String(v);
}
const quoted = (text) => (text === null ? 'null' : JSON.stringify(text));
function floatBits(v) {
  const f = new Float32Array([v]);
  return hex(new Uint32Array(f.buffer)[0], 8);
}
function words(kind, v, ms) {
  switch (kind) {
    case 'f': return typeof v === 'string' ? v : String(v);
    case 's': return quoted(v);
    case 'v': return 'text ' + quoted(v);
    case 'o': return '&' + nameOf(v[0], ms) + (v[0] !== v[1] ? ' (now ' + nameOf(v[1], ms) + ')' : '');
    case 'r': return 'speech ' + quoted(v[0]);
    default: return nameOf(v, ms);
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
function resultWords(kind, v, ms) {
  switch (kind) {
    case 'b': return v ? 'true' : 'false';
    case 'f': case 'p': return String(v);
    case 'v': return '(' + v.join(', ') + ')';
    default: return nameOf(v, ms);
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
// A call's row, its handles named as at ms.
function callRow([n, args, result], ms) {
  const [label, kinds, resultKind, gameName, hash] = natives[n];
  const li = el('li');
  li.dataset.label = label;
  li.dataset.call = JSON.stringify([kinds, args, resultKind, result === undefined ? null : result]);
  const details = el('details');
  let text = label + '(' + args.map((v, k) => words(kinds[k], v, ms)).join(', ') + ')';
  if (resultKind) text += ' → ' + resultWords(resultKind, result, ms);
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
  // The same calls read differently once a handle has changed hands, and
  // where they read the clock.
  const key = inFrame ? (frames[i][3] ? i + '@' + ms : i + '@' + handovers.filter((from) => from <= ms).length) : -1;
  if (shownCalls === key) return;
  shownCalls = key;
  callList.textContent = '';
  const rows = showAll ? list.length : Math.min(list.length, FIRST_ROWS);
  const fragment = document.createDocumentFragment();
  // Where the entry's calls read the clock, their results move on with it.
  const clocks = inFrame && frames[i][3] ? new Set(frames[i][3]) : null;
  for (let k = 0; k < rows; k++) {
    const call = calls[list[k]];
    fragment.appendChild(callRow(clocks && clocks.has(k) ? [call[0], call[1], (call[2] + ms - firstMs[i]) >>> 0] : call, ms));
  }
  callList.appendChild(fragment);
  callList.dataset.count = list.length;
  more.hidden = rows === list.length;
  more.textContent = 'Show all ' + list.length + ' calls';
}
more.addEventListener('click', () => { showAll = true; shownCalls = null; showCalls(now); });
