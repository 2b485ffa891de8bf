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
