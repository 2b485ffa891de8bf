// ---- actors, their owners and colours --------------------------------------
const ownerColours = {
  Dutch: '#8e24aa', Bill: '#6d4c41', Charles: '#00897b', Javier: '#f4511e', Karen: '#d81b60', Hosea: '#5e35b1',
  Micah: '#3949ab', Sean: '#43a047', Kieran: '#7cb342', Lenny: '#039be5', Sadie: '#fb8c00', John: '#546e7a',
  Uncle: '#c0ca33', Trelawney: '#00acc1',
};
const actors = data.actors.map((a) => {
  const gang = /^A_C_HORSE_GANG_([A-Z]+)$/i.exec(a.model);
  const owner = gang ? gang[1].charAt(0).toUpperCase() + gang[1].slice(1).toLowerCase() : null;
  const isPlayer = a.name === 'player' && a.model === '';
  const kind = isPlayer ? 'player' : owner ? 'gang horse' : /^A_C_HORSE/i.test(a.model) ? 'horse' : 'ped';
  const colour = isPlayer ? '#c62828' : owner ? (ownerColours[owner] || '#795548') : kind === 'horse' ? '#a1887f' : '#9e9e9e';
  const track = a.track;
  let moved = false;
  for (let i = 4; i < track.length && !moved; i += 4) {
    if (track[i + 1] !== null && track[i - 3] !== null &&
        (track[i + 1] !== track[i - 3] || track[i + 2] !== track[i - 2])) moved = true;
  }
  return { name: a.name, model: a.model, owner, kind, colour, track, samples: track.length / 4, moved };
});
// Where an actor stands at time t: its last sample at or before t (null: not in the world).
function positionAt(actor, t) {
  const i = lastAtOrBefore(actor.samples, (k) => actor.track[4 * k], t);
  if (i < 0 || actor.track[4 * i + 1] === null) return null;
  return [actor.track[4 * i + 1], actor.track[4 * i + 2], actor.track[4 * i + 3]];
}
