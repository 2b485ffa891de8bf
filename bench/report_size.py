#!/usr/bin/env python3
"""Measures the report page of a long, crowded scenario, and what it costs the run.

Writes a scenario in a camp of 200 peds (gang horses of every owner, gang
members and others): the player rides a gang horse out of camp, borrows
another that follows him about for ten minutes, sends it home from far away,
and comes back to camp for the rest. For 30 minutes and for 4 hours of it,
runs the simulator without and with --report (as run prints its timeline,
and again with --quiet), three times each in turn, and prints the median
time each run takes (wall clock and CPU), its peak memory, the page's size and where its bytes go, and how long
headless Chromium takes to open the page at the start and at a few times.
Figures only; nothing here asserts.

usage: report_size.py GANG_HORSE_SIM FACTS [OUT_DIR]
(FACTS: the module's facts as the build writes them, build/linux/facts/module_facts.json)
"""
import json
import math
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "report"))
import chromium  # noqa: E402



def scenario_text(facts, peds=200, minutes=30):
    first_camp = facts["camp_rules"][0]
    camp = first_camp["position"]
    models = [horse["model"] for horse in facts["gang_horses"]]
    camp_script = facts["camp_scripts"][0]
    lines = ["name: A long day in a crowded camp", "duration: %dm" % minutes, "world:",
             "  player: {position: [-112, 4, 95.3]}", "  camp_scripts: [%s]" % camp_script,
             "  missions_completed: [%s]" % first_camp["done"], "  grazing_points: [{position: [-118, 3, 95.3]}]",
             "  peds:"]
    for i in range(peds):
        angle, radius = i * 2.399963, 6 + 40 * math.sqrt(i / peds)
        x, y = camp[0] + radius * math.cos(angle), camp[1] + radius * math.sin(angle)
        if i % 3 == 0:
            model, group = models[(i // 3) % len(models)], facts["gang_horse_group"]
        elif i % 3 == 1:
            model, group = "CS_GANG_MEMBER", facts["gang_member_group"]
        else:
            model, group = "A_M_M_VALTOWNFOLK_01", "REL_CIVMALE"
        lines.append("    - {name: ped_%03d, handle: %d, model: %s, position: [%.2f, %.2f, 95.3], group: %s}"
                     % (i, 3000 + i, model, x, y, group))
    ev = lambda at, what: lines.append("  - {at: %.1fs, %s}" % (at, what))  # noqa: E731
    lines.append("events:")
    ev(12, "mount: ped_000")
    # Ride out: a step every 2 s, 600 m east over five minutes, the camp left behind.
    t, x, y = 20.0, -112.0, 4.0
    for _ in range(150):
        x += 4.0
        ev(t, "move_player: [%.1f, %.1f, 95.3]" % (x, y))
        t += 2
    ev(t, "camp: null")
    ev(t + 1, "mount: null")
    # Borrow ped_003 (brought along) and let it follow for ten minutes of wandering.
    ev(t + 2, "ped: ped_003, set: {position: [%.1f, %.1f, 95.3], still: true, stuck: false}" % (x + 5, y))
    ev(t + 3, "target: ped_003")
    ev(t + 4, "prompt: follow")
    ev(t + 5, "target: null")
    t += 10
    for k in range(300):
        x += 3.0 * math.cos(k / 20.0)
        y += 3.0 * math.sin(k / 20.0)
        ev(t, "move_player: [%.1f, %.1f, 95.3]" % (x, y))
        t += 2
    # Send it home from far away; it walks, or is put down at the camp.
    ev(t, "target: ped_003")
    ev(t + 1, "prompt: send_home")
    ev(t + 2, "target: null")
    # Back to camp after a while, where the rest of the day passes.
    ev(t + 400, "move_player: [-110, 2, 95.3]")
    ev(t + 401, "camp: %s" % camp_script)
    lines.append("expect:")
    lines.append("  - {following: ped_003, after: %ds, by: %ds}" % (int(t - 500), int(t - 400)))
    lines.append("  - {grazing: ped_003, after: %ds}" % int(t))
    return "\n".join(lines) + "\n"


def run(sim, args):
    """Wall seconds, CPU seconds and peak memory (MB) of one run. The memory is
    GNU time's (the child's own, not the forked Python's) where it is installed."""
    gnu_time = "/usr/bin/time" if os.path.exists("/usr/bin/time") else None
    command = [sim, "run", *args]
    if gnu_time:
        command = [gnu_time, "-f", "%M", *command]
    started = time.monotonic()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    errors = child.stderr.read()
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit("gang-horse-sim run %s: exit status %d\n%s" % (" ".join(args), status, errors))
    memory = int(errors.split()[-1]) if gnu_time else usage.ru_maxrss
    return time.monotonic() - started, usage.ru_utime + usage.ru_stime, memory / 1024


def median(runs):
    """Each figure's median over the runs."""
    return tuple(sorted(figures)[len(figures) // 2] for figures in zip(*runs))


def measure(sim, facts, out, minutes):
    scenario = os.path.join(out, "crowded_camp_%dm.yaml" % minutes)
    with open(scenario, "w") as f:
        f.write(scenario_text(facts, minutes=minutes))
    page = os.path.join(out, "crowded_camp_%dm.html" % minutes)
    print("scenario: %d minutes, 200 peds (%s)" % (minutes, scenario))
    for quiet in ([], ["--quiet"]):
        # Three runs of each, one after the other in turn; the median of each figure.
        plains, reports = [], []
        for _ in range(3):
            plains.append(run(sim, [scenario, *quiet]))
            reports.append(run(sim, [scenario, *quiet, "--report", page]))
        plain, report = median(plains), median(reports)
        words = "quiet" if quiet else "timeline printed"
        for what, (wall, cpu, memory) in (("without --report", plain), ("with --report", report)):
            print("  %s, %s: %.1f s (CPU %.1f s), peak memory %.1f MB" % (words, what, wall, cpu, memory))
        print("  %s: with --report %.2f times the time (CPU: %.2f times)"
              % (words, report[0] / plain[0], report[1] / plain[1]))
    size = os.path.getsize(page)
    print("  page: %s, %.2f MB (%d bytes)" % (page, size / 1e6, size))
    text = open(page, encoding="utf-8").read()
    data = json.loads(re.search(r'id="report-data">(.*?)</script>', text, re.S).group(1))
    parts = [(k, len(json.dumps(v, separators=(",", ":")))) for k, v in data.items() if k != "calls"]
    parts += [("calls." + k, len(json.dumps(v, separators=(",", ":")))) for k, v in data["calls"].items()]
    print("  data by part (bytes): " + ", ".join("%s %d" % p for p in sorted(parts, key=lambda p: -p[1])))
    print("  %d distinct calls, %d call-list entries, %d position samples" % (
        len(data["calls"]["calls"]), len(data["calls"]["frames"]),
        sum(len(a["track"]) // 4 for a in data["actors"])))
    end = minutes * 60000 - 1000
    url = "file://" + page
    with chromium.Page() as browser:
        for t in (0, end // 3, 2 * end // 3, end):
            seconds = browser.open(url + "#t=%d" % t, "document.documentElement.dataset.t === '%d'" % t)
            timing = browser.evaluate("performance.now()")
            print("  headless Chromium: opened at #t=%d in %.2f s (page's own clock at ready: %.0f ms)"
                  % (t, seconds, timing))
            browser.call("Page.navigate", {"url": "about:blank"})
            browser.wait_for("location.href === 'about:blank'")
        browser.open(url, "document.documentElement.dataset.t === '0'")
        started = time.monotonic()
        for t in range(0, end, end // 30):
            browser.evaluate("location.hash = '#t=%d'" % t)
            browser.wait_for("document.documentElement.dataset.t === '%d'" % t)
        print("  headless Chromium: 30 jumps over the run in %.2f s" % (time.monotonic() - started))
        problems = browser.problems()
        print("  console problems: %s" % (problems or "none"))


def prepare(usage, default_out):
    """From the command line SIM FACTS_JSON [OUT_DIR]: the simulator, the
    module's facts and the output folder, made if missing."""
    if len(sys.argv) < 3:
        sys.exit(usage)
    sim = os.path.abspath(sys.argv[1])
    with open(sys.argv[2]) as f:
        facts = json.load(f)
    out = os.path.abspath(sys.argv[3] if len(sys.argv) > 3 else default_out)
    os.makedirs(out, exist_ok=True)
    return sim, facts, out


def main():
    sim, facts, out = prepare(__doc__, "build/report-size")
    for minutes in (30, 240):
        measure(sim, facts, out, minutes)


if __name__ == "__main__":
    main()
