#!/usr/bin/env python3
"""The report page's map and plot drawn truly, in headless Chromium.

- A teleport is a dashed jump, not a walked path (scenarios/far_teleport.yaml:
  the horse put at the camp from six hundred metres): faded before its time.
- What lies after the time shown is faded: the horse's walk home is drawn in
  full only once it is over.
- Labels never cover one another (tests/report/crowd.yaml: eight peds
  shoulder to shoulder), and the player's is always shown.
- The calls-per-pass plot is broken where no pass ran (the ten-second wait).

usage: check_map.py GANG_HORSE_SIM SOURCE_DIR OUT_DIR
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chromium  # noqa: E402
from check_reports import expect, failures, sim  # noqa: E402


def page_for(program, source, out, scenario):
    html = os.path.join(out, os.path.basename(scenario).replace(".yaml", ".html"))
    sim(program, "run", os.path.join(source, scenario), "--quiet", "--report", html)
    return "file://" + os.path.abspath(html)


def show(page, t):
    page.evaluate("location.hash = '#t=%d'" % t)
    page.wait_for("document.documentElement.dataset.t === '%d'" % t)


def check_jump_and_fading(page, url):
    page.open(url + "#t=2000", "document.documentElement.dataset.t === '2000'")
    jump = "document.querySelector('#map .jump[data-path=\"dutch_horse\"]')"
    jumped = page.evaluate("!!" + jump)
    expect(jumped, "far_teleport: the horse's teleport is not drawn as a jump")
    if jumped:
        expect(page.evaluate("getComputedStyle(%s).strokeDasharray" % jump) not in ("none", ""),
               "far_teleport: the jump is not dashed")
        expect(page.evaluate(jump + ".classList.contains('later')"), "far_teleport at 2 s: the jump ahead is not faded")
    # The walk home: faded in full, drawn over up to the time shown.
    walked = ("(() => { const p = Array.from(document.querySelectorAll('#map .path:not(.later)'))"
              ".find(p => p.dataset.path === 'dutch_horse'); return p.style.display === 'none' ? 0 :"
              " p.getAttribute('stroke-dasharray') === null ? -1 : parseFloat(p.getAttribute('stroke-dasharray')); })()")
    expect(page.evaluate(walked) == 0, "far_teleport at 2 s: the walk ahead is drawn as walked")
    show(page, 8000)
    halfway = page.evaluate(walked)
    expect(halfway > 0, "far_teleport at 8 s: the walk so far is not drawn (%s)" % halfway)
    show(page, 12000)
    expect(page.evaluate(walked) > halfway, "far_teleport at 12 s: the walk drawn does not grow")
    show(page, 13100)
    expect(not jumped or not page.evaluate(jump + ".classList.contains('later')"),
           "far_teleport at 13.1 s: the jump is faded")
    expect(page.evaluate(walked) == -1, "far_teleport at 13.1 s: the walk home is not drawn in full")
    page.screenshot(os.path.join(os.path.dirname(url[len("file://"):]), "far_teleport-jump.png"))


def check_plot_gap(page):
    """No stretch of the line crosses the ten seconds in which the script waited (3.033 s to 13.033 s)."""
    d = page.evaluate("document.querySelector('#plot .calls').getAttribute('d')")
    x = lambda ms: 46 + ms / 20000 * (1000 - 46 - 10)  # noqa: E731 (the plot's px)
    last, crossing = None, []
    for command, value in re.findall(r"([MLh])([-\d.,]+)", d):
        if command == "h":
            continue
        here = float(value.split(",")[0])
        if command == "L" and last is not None and last < x(3500) and here > x(12500):
            crossing.append((last, here))
        last = here
    expect(not crossing, "far_teleport: the calls-per-pass line runs through the wait: %s" % crossing)


def check_labels(page, url):
    page.open(url + "#t=1000", "document.documentElement.dataset.t === '1000'")
    boxes = page.evaluate("Array.from(document.querySelectorAll('#map .label'))"
                          ".filter(l => l.getAttribute('visibility') !== 'hidden' && l.isConnected)"
                          ".map(l => { const b = l.getBBox(); return [l.textContent, b.x, b.y, b.width, b.height]; })")
    overlaps = [(a[0], b[0]) for i, a in enumerate(boxes) for b in boxes[i + 1:]
                if a[1] < b[1] + b[3] and b[1] < a[1] + a[3] and a[2] < b[2] + b[4] and b[2] < a[2] + a[4]]
    expect(not overlaps, "crowd: labels cover one another: %s" % overlaps)
    names = [b[0] for b in boxes]
    expect("player" in names and "far_townsman" in names and len(names) >= 4,
           "crowd: too few labels shown: %s" % names)
    page.screenshot(os.path.join(os.path.dirname(url[len("file://"):]), "crowd-labels.png"))


def main(program, source, out):
    os.makedirs(out, exist_ok=True)
    with chromium.Page() as page:
        check_jump_and_fading(page, page_for(program, source, out, "scenarios/far_teleport.yaml"))
        check_plot_gap(page)
        check_labels(page, page_for(program, source, out, "tests/report/crowd.yaml"))
        expect(not page.problems(), "console errors: %s" % page.problems())
    if failures:
        sys.exit("%d check(s) failed" % len(failures))
    print("map and plot: every check held")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
