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
  return { name: a.name, model: a.model, owner, kind, colour, track, samples: track.length / 4, moved, jumps: new Set(a.jumps) };
});
// Where an actor stands at time t, as the world had it at the end of the
// frame shown: between two samples it moves in a straight line at an even
// pace (the samples keep it within half a metre), except into a jump or out
// of the world, where it stays at the first (null: not in the world).
function positionAt(actor, t) {
  const ms = frameMs(frameAt(t)), track = actor.track;
  const i = lastAtOrBefore(actor.samples, (k) => track[4 * k], ms);
  if (i < 0 || track[4 * i + 1] === null) return null;
  const a = 4 * i, b = a + 4;
  if (track[a] === ms || b >= track.length || track[b + 1] === null || actor.jumps.has(track[b])) {
    return [track[a + 1], track[a + 2], track[a + 3]];
  }
  const f = (ms - track[a]) / (track[b] - track[a]);
  return [1, 2, 3].map((k) => track[a + k] + f * (track[b + k] - track[a + k]));
}
