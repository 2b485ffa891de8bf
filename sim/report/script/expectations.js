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
