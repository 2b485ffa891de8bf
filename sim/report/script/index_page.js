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
