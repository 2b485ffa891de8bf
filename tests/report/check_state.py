#!/usr/bin/env python3
"""The report page's state panel and the marks on its slider, in headless Chromium.

Each scenario is run once with --report and --trace. At each chosen #t= time the
panel (<section id="state">) must list exactly what the module's calls in the
trace, up to the end of the frame shown, leave in the game: the blips, the peds
in the player's group, the prompts shown by the prompt group holding them, the
borrowed horse (the last one the module measured or asked about since its script
started) and the script's wait with its end; after a module reload (the module
unregistering its script) everything there then is the unloaded instance's
leftover. At some times the wait's reason is checked too. The slider must carry
a mark for each reload and each teleport by the module the run's timeline tells, and one per failed
expectation.

usage: check_state.py GANG_HORSE_SIM SOURCE_DIR OUT_DIR
"""
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chromium  # noqa: E402
from check_reports import expect, failures, page_is_clean, sim  # noqa: E402

# name, scenario, {ms: the wait's reason then, or None: only the trace's state}
CASES = [
    ("module_reload", "scenarios/module_reload.yaml",
     {5000: "settle", 12000: None, 12600: None, 49500: "spur", 50000: None, 50500: None, 53500: "send_home",
      60000: "settle", 68500: "remark", 75000: None}),
    ("demo", "scenarios/demo.yaml",
     {5000: "settle", 12500: "remark", 20000: None, 24000: None, 31500: "send_home", 40000: None, 70000: None}),
    ("send_home_still", "scenarios/send_home_still.yaml", {10000: "still", 28000: "graze", 33000: None}),
    ("far_teleport", "scenarios/far_teleport.yaml", {5000: "far", 13050: None}),
    ("game_reload", "scenarios/game_reload.yaml", {20000: None, 31000: None, 35000: None}),
    ("reload_following", "tests/report/reload_following.yaml", {5500: None, 10000: None, 21000: None, 26000: None}),
    ("hostile", "tests/report/hostile.yaml", {4500: None}),
]
MARKS = {"developer mode: the host unloads the module": "module_reload",
         "the game session reloads": "game_reload", "teleported": "teleport"}


def handle(slot):
    value = int(slot, 16) & 0xFFFFFFFF
    return value - (1 << 32) if value >= 1 << 31 else value


def trace_state(calls, frame, name):
    """What the calls up to the end of frame leave in the game, as the panel lists it: sorted
    [kind, the ped's name (or the wait's end), the ms of the reload that left it behind or -1]."""
    held = {}  # (kind, handle) -> [kind, name, leftover]; prompts: [kind, visible, group, leftover]
    borrowed, until = 0, None
    for call in calls:
        if call["frame"] > frame:
            break
        native, host, args = call.get("native"), call.get("host"), call.get("args", [])
        if host == "scriptUnregister":  # a module reload: all there is belongs to the old instance
            for item in held.values():
                item[-1] = call["time"] if item[-1] < 0 else item[-1]
        if native or host in ("scriptMain", "scriptUnregister", "scriptWait"):
            until = call["time"] + call["waitMs"] if host == "scriptWait" and call["waitMs"] else None
        borrowed = 0 if host == "scriptMain" else borrowed
        if native == "blipAddForEntity" and handle(call["result"]):
            held["blip", handle(call["result"])] = ["blip", name(handle(args[1])), -1]
        elif native == "removeBlip":
            held.pop(("blip", handle(args[0]["ptr"])), None)
        elif native == "setPedAsGroupMember":
            held["group-member", handle(args[0])] = ["group-member", name(handle(args[0])), -1]
        elif native == "removePedFromGroup":
            held.pop(("group-member", handle(args[0])), None)
        elif native == "promptRegisterBegin":
            held["prompts", handle(call["result"])] = ["prompts", False, 0, -1]
        elif native in ("promptSetVisible", "promptSetGroup"):
            held["prompts", handle(args[0])][1 if native == "promptSetVisible" else 2] = handle(args[1])
        elif native in ("promptGroupForEntity", "isPlayerTargettingEntity"):
            borrowed = handle(args[0 if native == "promptGroupForEntity" else 1])
    items = [i for i in held.values() if i[0] != "prompts"] + ([["borrowed", name(borrowed), -1]] if borrowed else [])
    items += [["paused", until, -1]] if until is not None else []
    shown = {("prompts", name(p[2] - 0x70000) if p[2] else "none", p[3]) for p in held.values()
             if p[0] == "prompts" and p[1]}  # one item for the prompts of a group and an instance
    return sorted(list(map(tuple, items)) + list(shown), key=repr)


def panel_state(page):
    rows = page.evaluate("Array.from(document.querySelectorAll('#state li')).map(li => [li.classList[0],"
                         " li.dataset.on || li.dataset.name || Number(li.dataset.until),"
                         " li.classList.contains('leftover') ? Number(li.dataset.leftover) : -1, li.dataset.why])")
    return sorted((tuple(r[:3]) for r in rows), key=repr), {r[3] for r in rows if r[0] == "paused"}


def check_case(page, program, source, out, name, scenario, times):
    html, trace = os.path.join(out, name + ".html"), os.path.join(out, name + ".jsonl")
    run = sim(program, "run", os.path.join(source, scenario), "--report", html, "--trace", trace,
              failed=name == "hostile")
    with open(trace) as f:
        calls = [json.loads(line) for line in f]
    url = "file://" + os.path.abspath(html)
    page.events.clear()
    page.open("%s#t=%d" % (url, min(times)), "document.documentElement.dataset.t === '%d'" % min(times))
    data = page.evaluate("JSON.parse(document.getElementById('report-data').textContent)")
    names = {p[0]: p[1] for p in data["names"]["peds"]}  # [handle, name, from ms]; no handle changes hands here
    fps = data["scenario"]["fps"]
    for t in sorted(times):
        page.evaluate("location.hash = '#t=%d'" % t)
        page.wait_for("document.documentElement.dataset.t === '%d'" % t)
        frame = t * fps // 1000
        while (frame + 1) * 1000 // fps <= t:
            frame += 1
        want = trace_state(calls, frame, lambda h: names.get(h, "ped %d" % h))
        got, whys = panel_state(page)
        expect(got == want, "%s at %d ms: the panel shows %s, the trace says %s" % (name, t, got, want))
        if times[t]:
            expect(whys == {times[t]}, "%s at %d ms: the script waits for %s, not %s" % (name, t, whys, times[t]))
    # The slider's marks: reloads and teleports as the timeline tells them, failed expectations.
    want = {(kind, int(round(60000 * int(line[:2]) + 1000 * float(line[3:9]))))
            for line in run.stdout.splitlines() for words, kind in MARKS.items() if words in line[9:]}
    end = (data["scenario"]["frames"] - 1) * 1000 // fps
    want |= {("failed", min(x["at"], end)) for x in data["expectations"] if not x["held"]}
    marks = page.evaluate("Array.from(document.querySelectorAll('#slider-marks .slider-mark'))"
                          ".map(m => [m.dataset.kind, Number(m.dataset.ms), m.title])")
    got = {(kind, ms) for kind, ms, _ in marks}
    expect(got == want and all(title for _, _, title in marks),
           "%s: the slider marks %s, the run has %s" % (name, sorted(got), sorted(want)))
    page_is_clean(page, url, name)


def main(program, source, out):
    os.makedirs(out, exist_ok=True)
    with chromium.Page() as page:
        for name, scenario, times in CASES:
            check_case(page, program, source, out, name, scenario, times)
    if failures:
        sys.exit("%d check(s) failed" % len(failures))
    print("state panel: every check held")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
