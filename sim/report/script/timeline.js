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
