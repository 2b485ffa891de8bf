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
