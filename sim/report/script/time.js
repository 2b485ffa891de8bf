// ---- time: the slider, play and pause, #t= --------------------------------------------
const slider = document.getElementById('slider'), clockOut = document.getElementById('clock');
const play = document.getElementById('play'), speed = document.getElementById('speed');
slider.max = endMs;
let now = 0, playing = false, lastTick = 0;
function render(t) {
  now = Math.max(0, Math.min(endMs, Math.round(t)));
  slider.value = now;
  clockOut.textContent = clock(now);
  showPaths(now);
  showMarkers(now);
  showLine(now);
  showCalls(now);
  showState(now);
  cursor.setAttribute('x1', px(now));
  cursor.setAttribute('x2', px(now));
  document.documentElement.dataset.t = now;
  document.documentElement.dataset.frame = frameAt(now);
}
function seek(t, remember) {
  render(t);
  if (remember) {
    try { history.replaceState(null, '', '#t=' + now); } catch (e) { /* a page opened where the address cannot change */ }
  }
}
function timeFromAddress() {
  const m = /(?:^#|&)t=(\d+)/.exec(location.hash);
  return m ? Number(m[1]) : null;
}
function tick(stamp) {
  if (!playing) return;
  const t = now + (stamp - lastTick) * Number(speed.value);
  lastTick = stamp;
  render(t);
  if (now >= endMs) { setPlaying(false); return; }
  requestAnimationFrame(tick);
}
function setPlaying(on) {
  playing = on;
  play.textContent = on ? 'Pause' : 'Play';
  if (on) {
    if (now >= endMs) render(0);
    lastTick = performance.now();
    requestAnimationFrame(tick);
  } else {
    seek(now, true);
  }
}
play.addEventListener('click', () => setPlaying(!playing));
slider.addEventListener('input', () => seek(Number(slider.value), true));
window.addEventListener('hashchange', () => { const t = timeFromAddress(); if (t !== null) render(t); });
document.addEventListener('keydown', (e) => {
  // Controls keep their own keys (space on a focused button presses it).
  if (e.target instanceof HTMLInputElement || e.target instanceof HTMLSelectElement ||
      e.target instanceof HTMLButtonElement) return;
  if (e.key === ' ') { e.preventDefault(); setPlaying(!playing); }
  if (e.key === 'ArrowRight') seek(frameMs(Math.min(lastFrame, frameAt(now) + 1)), true);
  if (e.key === 'ArrowLeft') seek(frameMs(Math.max(0, frameAt(now) - 1)), true);
});
render(timeFromAddress() || 0);
