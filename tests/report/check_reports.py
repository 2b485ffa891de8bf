#!/usr/bin/env python3
"""The report pages, opened in headless Chromium and compared with the simulator.

check: for the demo, a horse put down at the camp, a scenario of hostile
names and texts and a handle taken again by another ped, makes each page (`run --report`) and, in a separate run,
the simulator's own positions at a few times (`--positions-at`) and its
trace. At each time (the first opened as FILE.html#t=MS, the others by
changing the address's #t=) every marker's data-world must match where the
simulator had that ped (exactly where its timeline tells something in that
frame, else within half a metre), the page's list of calls must be the trace's calls
of that frame, and the page must log no error and request nothing but
itself. The hostile page must show every text literally and run none of it.
`check --report-dir` must write an index that opens the same way.
Screenshots go to OUT_DIR; each map must show its paths.

screenshot: takes a PNG of a page at a time, as the README's picture.

usage: check_reports.py check GANG_HORSE_SIM SOURCE_DIR OUT_DIR
       check_reports.py screenshot PAGE.html OUT.png [MS [WIDTH HEIGHT]]
"""
import json
import math
import os
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chromium  # noqa: E402

HOSTILE_TITLE = ("</script><script>window.pwned = 'title'</script><!-- <b onmouseover=alert(1)>Hostile</b>"
                 " & co \u2028")
HOSTILE_TEXTS = ["<img src=x onerror=\"window.pwned='horse'\">", "</script><svg onload=window.pwned='ped'>",
                 "\"'><iframe src=javascript:window.pwned='added'>", "<img src=x onerror=\"window.pwned='prompt'\">",
                 "</script><script>window.pwned='stay'</script>", "\"'><svg onload=window.pwned='spur'>",
                 "<!-- home & away -->", "<script>window.pwned='said'</script>"]

# name, scenario (from the source folder), times to look at (ms)
CASES = [
    ("demo", "scenarios/demo.yaml", [31000, 12000, 45500, 90000]),
    ("far_teleport", "scenarios/far_teleport.yaml", [13100, 2000, 12000, 19000]),
    ("hostile", "tests/report/hostile.yaml", [4500, 1000, 7000]),
    ("handle_reuse", "tests/report/handle_reuse.yaml", [8000, 1000, 6500, 2500]),
]

failures = []
compared = {True: 0, False: 0}  # times compared exactly (something happened in the frame), within 0.5 m


def expect(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED: " + what)


def sim(program, *args, failed=False):
    """Runs the simulator; failed: a check in which an expectation fails (any exit code but 0)."""
    run = subprocess.run([program, *args], capture_output=True, text=True)
    expect((run.returncode != 0) == failed and run.returncode >= 0,
           "gang-horse-sim %s: exit %d\n%s%s" % (" ".join(args), run.returncode, run.stdout[-2000:],
                                                 run.stderr[-2000:]))
    return run


def trace_by_frame(path):
    """Each frame's calls as the page lists them: natives, scriptWait, worldGetAllPeds."""
    frames = {}
    with open(path) as f:
        for line in f:
            call = json.loads(line)
            label = call.get("native") or call.get("host")
            if "native" in call or label in ("scriptWait", "worldGetAllPeds"):
                frames.setdefault(call["frame"], []).append(call)
    return frames


def float_bits(value):
    return struct.unpack("<I", struct.pack("<f", value))[0]


def same_value(kind, traced, shown):
    """A slot or result as the trace has it against the page's, by its kind (the catalogue's
    slot letters; results: i int, b bool, f float, p pointer, v three floats)."""
    if kind == "o":
        return shown[0] == int(traced["ptr"], 16)  # what the variable held when the call was made
    if kind == "r":
        return shown[0] == traced["speech"]["speechLine"]
    if kind in "sv" and isinstance(traced, dict):
        return shown == next(iter(traced.values()))
    if kind == "v":  # a position
        return len(shown) == 3 and all(float_bits(a) == float_bits(b) for a, b in zip(traced, shown))
    raw = int(traced, 16)
    if isinstance(shown, str):  # a slot with its high half set, or a pointer
        return raw == int(shown, 16)
    if kind == "f":
        return raw == float_bits(shown)
    return raw == shown


def same_call(traced, label, shown):
    """The page's call (label; slot kinds, arguments, result kind, result) is the trace's."""
    kinds, args, result_kind, result = shown
    if (traced.get("native") or traced.get("host")) != label:
        return False
    if label == "scriptWait":
        return args == [traced["waitMs"]]
    if label == "worldGetAllPeds":
        return args == [traced["capacity"]] and result == traced["count"]
    if len(args) != len(traced["args"]) or not all(map(same_value, kinds, traced["args"], args)):
        return False
    if not result_kind:
        return "result" not in traced and result is None
    return same_value(result_kind, traced["result"], result)


def page_is_clean(page, url, name):
    expect(not page.problems(), "%s: console errors: %s" % (name, page.problems()))
    own = url.split("#")[0]
    others = [r for r in page.requests() if r.split("#")[0] != own]
    expect(not others, "%s: the page requested %s" % (name, others))


def map_pixels(page, path):
    """Screenshot of the whole page to path; the map's area as rows of pixels."""
    page.screenshot(path)
    box = page.evaluate("(() => { const r = document.getElementById('map').getBoundingClientRect();"
                        " return [r.left, r.top, r.width, r.height]; })()")
    with open(path, "rb") as f:
        _, _, rows = chromium.png_pixels(f.read())
    left, top, width, height = (int(v) for v in box)
    return [row[left:left + width] for row in rows[top:top + height]]


def check_case(page, program, source, out, name, scenario, times):
    scenario = os.path.join(source, scenario)
    html = os.path.join(out, name + ".html")
    positions_file = os.path.join(out, name + "-positions.json")
    trace_file = os.path.join(out, name + ".jsonl")
    # run exits 1 when an expectation fails, as one of the hostile scenario's does.
    failed = name == "hostile"
    sim(program, "run", scenario, "--quiet", "--report", html, failed=failed)
    # The simulator's own view, from a run of its own; the frames in which
    # its timeline tells something must show everyone exactly, the others
    # within half a metre.
    told = sim(program, "run", scenario, "--trace", trace_file, "--positions", positions_file,
               "--positions-at", ",".join("%dms" % t for t in times), failed=failed).stdout
    told = {int(m) * 60000 + int(s) * 1000 + int(ms) for m, s, ms in re.findall(r"^(\d+):(\d\d)\.(\d{3})  ", told, re.M)}
    with open(positions_file) as f:
        positions = {p["t"]: p for p in json.load(f)}
    calls = trace_by_frame(trace_file)
    url = "file://" + os.path.abspath(html)
    page.events.clear()
    for n, t in enumerate(times):
        shown = "document.documentElement.dataset.t === '%d'" % t
        if n == 0:
            page.open("%s#t=%d" % (url, t), shown)
        else:
            page.evaluate("location.hash = '#t=%d'" % t)
            page.wait_for(shown)
        where = "%s at %d ms" % (name, t)
        markers = page.evaluate("Array.from(document.querySelectorAll('#map .marker'))"
                                ".map(m => [m.getAttribute('data-name'), m.getAttribute('data-world')])")
        names = [m[0] for m in markers]
        expected = positions[t]["positions"]
        expect(len(names) == len(set(names)), "%s: a name has two markers: %s" % (where, names))
        expect(set(names) == set(expected), "%s: markers %s, the simulator has %s" % (where, sorted(names),
                                                                                     sorted(expected)))
        exact = positions[t]["ms"] in told
        compared[exact] += 1
        for marker_name, world in markers:
            got = [float(v) for v in world.split(",")]
            want = expected.get(marker_name)
            near = want is not None and len(got) == 3 and (
                all(abs(a - b) <= 1e-4 for a, b in zip(got, want)) if exact else math.dist(got, want) <= 0.5)
            expect(near, "%s: %s shown at %s, the simulator has it at %s (%s)"
                   % (where, marker_name, world, want, "exactly: something happened" if exact else "within 0.5 m"))
        frame = int(page.evaluate("document.documentElement.dataset.frame"))
        expect(frame == positions[t]["frame"], "%s: frame %d shown, the simulator's is %d"
               % (where, frame, positions[t]["frame"]))
        rows = page.evaluate("Array.from(document.querySelectorAll('#calls > li'))"
                             ".map(li => [li.dataset.label, JSON.parse(li.dataset.call)])")
        count = int(page.evaluate("document.getElementById('calls').dataset.count"))
        traced = calls.get(frame, [])
        expect(count == len(traced), "%s: the page lists %d calls, the trace has %d" % (where, count, len(traced)))
        for row, call in zip(rows, traced):
            if not same_call(call, *row):
                expect(False, "%s: the page lists %s where the trace has %s" % (where, row, call))
                break
        if n == 0:
            pixels = map_pixels(page, os.path.join(out, "%s-t%d.png" % (name, t)))
            coloured = sum(1 for row in pixels for r, g, b in row if max(r, g, b) - min(r, g, b) > 60)
            expect(coloured > 300, "%s: the map shows %d coloured pixels, no paths" % (where, coloured))
            paths = page.evaluate("Array.from(document.querySelectorAll('#map .path'))"
                                  ".filter(p => p.getBBox().width + p.getBBox().height > 10).length")
            expect(paths > 0, "%s: no path drawn on the map" % where)
    page_is_clean(page, url, name)
    return html


def check_demo_controls(page):
    """A click on a timeline line jumps there; play moves the clock on."""
    page.evaluate("Array.from(document.querySelectorAll('#timeline li'))"
                  ".find(li => li.textContent.includes('send-home prompt')).click()")
    page.wait_for("document.documentElement.dataset.t === '31000' && location.hash === '#t=31000'")
    expect(page.evaluate("document.querySelector('#timeline li.current').textContent.startsWith('00:31.000')"),
           "demo: the line of the time shown is not highlighted")
    page.evaluate("document.getElementById('speed').value = '10'; document.getElementById('play').click()")
    page.wait_for("Number(document.documentElement.dataset.t) > 32000", 10)
    page.evaluate("document.getElementById('play').click()")


def check_hostile(page, html):
    with open(html, encoding="utf-8") as f:
        text = f.read()
    expect(text.count("</script") == 2 and "<!--" not in text,
           "hostile: a text from the scenario reached the page's markup")
    expect(page.evaluate("window.pwned === undefined"), "hostile: a text from the scenario ran")
    expect(page.evaluate("document.title") == HOSTILE_TITLE + " · gang_horse report"
           and page.evaluate("document.getElementById('title').textContent") == HOSTILE_TITLE,
           "hostile: the title is not the scenario's name as text")
    body = page.evaluate("document.body.textContent")
    for hostile in HOSTILE_TEXTS:
        expect(hostile in body, "hostile: %r is not shown as text" % hostile)
    expect(page.evaluate("document.querySelectorAll('img, iframe, b, script').length") == 2,
           "hostile: elements from the scenario's texts are in the page")
    expect(not page.evaluate("Array.from(document.querySelectorAll('*'))"
                             ".some(e => Array.from(e.attributes).some(a => a.name.startsWith('on')))"),
           "hostile: an element carries an event handler")


def check_handle_reuse(page, html):
    """The calls name handle 2001 for the ped that holds it at the time shown."""
    url = "file://" + os.path.abspath(html)
    for t, holder, other in [(1000, "dutch_horse", "bill_horse"), (6500, "bill_horse", "dutch_horse")]:
        page.evaluate("location.hash = '#t=%d'" % t)
        page.wait_for("document.documentElement.dataset.t === '%d'" % t)
        calls = page.evaluate("document.getElementById('calls').textContent")
        expect(holder in calls and other not in calls,
               "handle_reuse at %d ms: the calls should name %s only" % (t, holder))
    page_is_clean(page, url, "handle_reuse")


def check_index(page, program, source, out):
    folder = os.path.join(out, "checked")
    sim(program, "check", os.path.join(source, "scenarios/demo.yaml"),
        os.path.join(source, "tests/report/hostile.yaml"), "--report-dir", folder, failed=True)
    url = "file://" + os.path.abspath(os.path.join(folder, "index.html"))
    page.events.clear()
    page.open(url, "document.documentElement.dataset.t === '0'")
    rows = page.evaluate("Array.from(document.querySelectorAll('#scenarios tbody tr')).map(tr =>"
                         " [tr.cells[0].textContent, tr.cells[1].textContent, tr.querySelector('a').getAttribute('href')])")
    expect([r[:2] for r in rows] == [["✔ held", "A short tour of the gang horses"], ["✘ failed", HOSTILE_TITLE]],
           "index: rows %s" % rows)
    for _, _, href in rows:
        expect(os.path.isfile(os.path.join(folder, href)), "index: %s links to a missing page" % href)
    page.screenshot(os.path.join(out, "index.png"))
    page_is_clean(page, url, "index")
    page.events.clear()
    hostile = "file://" + os.path.abspath(os.path.join(folder, rows[1][2]))
    page.open(hostile, "document.documentElement.dataset.t === '0'")
    expect(page.evaluate("window.pwned === undefined"), "index: the hostile page from check ran a text")
    page_is_clean(page, hostile, "hostile page from check")


def check(program, source, out):
    os.makedirs(out, exist_ok=True)
    with chromium.Page() as page:
        pages = {}
        for name, scenario, times in CASES:
            pages[name] = check_case(page, program, source, out, name, scenario, times)
            if name == "demo":
                check_demo_controls(page)
            if name == "hostile":
                check_hostile(page, pages[name])
            if name == "handle_reuse":
                check_handle_reuse(page, pages[name])
        check_index(page, program, source, out)
    print("positions: %d times compared exactly, %d within 0.5 m" % (compared[True], compared[False]))
    print("screenshots: " + ", ".join(os.path.join(out, f) for f in sorted(os.listdir(out)) if f.endswith(".png")))
    if failures:
        sys.exit("%d check(s) failed" % len(failures))
    print("report pages: every check held")


def screenshot(html, png, t=31000, width=1400, height=1000):
    with chromium.Page(width=int(width), height=int(height)) as page:
        page.open("file://%s#t=%d" % (os.path.abspath(html), int(t)),
                  "document.documentElement.dataset.t === '%d'" % int(t))
        page.screenshot(png)
        if page.problems():
            sys.exit("console errors: %s" % page.problems())
    print("wrote " + png)


if __name__ == "__main__":
    if len(sys.argv) >= 5 and sys.argv[1] == "check":
        check(*sys.argv[2:5])
    elif len(sys.argv) >= 4 and sys.argv[1] == "screenshot":
        screenshot(*sys.argv[2:])
    else:
        sys.exit(__doc__)
