#!/usr/bin/env python3
"""The module's effects, pinned: traces of every bundled scenario and of a
seeded random 1024-ped camp, reduced to the calls that have effects (every
call but the pure queries getHashKey, getEntityModel and
getPedRelationshipGroupHash), compared with committed golden files.

usage:
  effect_traces.py record SIM SCENARIO_DIR GOLDEN_DIR FACTS   write the golden files
  effect_traces.py check SIM SCENARIO_DIR GOLDEN_DIR FACTS    compare with them

FACTS is the module's facts as the build writes them
(build/linux/facts/module_facts.json). Golden files are xz-compressed JSON
Lines, one per scenario.
"""
import json
import lzma
import os
import random
import subprocess
import sys
import tempfile

PURE_QUERIES = "getHashKey,getEntityModel,getPedRelationshipGroupHash"


def random_camp(facts, seed=20261208, peds=1024):
    """A crowded camp in which the player takes, rides and leaves a horse."""
    rnd = random.Random(seed)
    first_camp = facts["camp_rules"][0]
    camp = first_camp["position"]
    gang_horses = [horse["model"] for horse in facts["gang_horses"]]
    brain = facts["companion_brain_script"]
    lines = [
        "name: Random crowded camp (seed %d, %d peds)" % (seed, peds),
        "duration: 16s",
        "world:",
        "  player: {position: [%.3f, %.3f, %.3f]}" % (camp[0] + 3, camp[1] + 3, camp[2]),
        "  camp_scripts: [%s]" % facts["camp_scripts"][0],
        "  script_threads: [%s, fishing_core, %s]" % (brain, brain),
        "  missions_completed: [%s]" % first_camp["done"],
        "  grazing_points: [{position: [%.3f, %.3f, %.3f]}]" % (camp[0] - 3, camp[1] + 3, camp[2]),
        "  peds:",
    ]
    kinds = ["horse"] * 14 + ["member"] * (peds // 10)
    kinds += ["other"] * (peds - len(kinds))
    rnd.shuffle(kinds)
    horses = []
    for i, kind in enumerate(kinds):
        x = camp[0] + rnd.uniform(-60, 60)
        y = camp[1] + rnd.uniform(-60, 60)
        if kind == "horse":
            model, group = gang_horses[len(horses)], facts["gang_horse_group"]
            horses.append("p%d" % i)
        elif kind == "member":
            model, group = "CS_DUTCH", facts["gang_member_group"]
        else:
            model, group = rnd.choice(["A_M_M_VALTOWNFOLK_01", "A_C_HORSE_MORGAN_BAY", "A_C_DOGHOUND_01"]), "CIVMALE"
        lines.append("    - {name: p%d, model: %s, position: [%.3f, %.3f, %.3f], male: %s, group: %s}"
                     % (i, model, x, y, camp[2], "true" if rnd.random() < 0.5 else "false", group))
    target = rnd.choice(horses)
    lines += [
        "events:",
        "  - {at: 11s, target: %s}" % target,
        "  - {at: 11500ms, target: null}",
        "  - {at: 12s, mount: %s}" % target,
        "  - {at: 14s, mount: null}",
        "  - {at: 14500ms, camp: null}",
        "  - {at: 15s, target: %s}" % target,
    ]
    return "\n".join(lines) + "\n"


def reduced_trace(sim, scenario):
    with tempfile.TemporaryDirectory() as scratch:
        trace = os.path.join(scratch, "trace.jsonl")
        run = subprocess.run([sim, "run", scenario, "--quiet", "--trace", trace, "--trace-omit", PURE_QUERIES],
                             capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit("%s failed on %s:\n%s%s" % (sim, scenario, run.stdout, run.stderr))
        with open(trace, "rb") as f:
            return f.read()


def cases(scenario_dir, scratch, facts):
    for name in sorted(os.listdir(scenario_dir)):
        if name.endswith(".yaml"):
            yield name[:-5], os.path.join(scenario_dir, name)
    camp = os.path.join(scratch, "random_camp.yaml")
    with open(camp, "w") as f:
        f.write(random_camp(facts))
    yield "random_camp_1024", camp


def first_difference(expected, actual):
    a, b = expected.split(b"\n"), actual.split(b"\n")
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return "line %d:\n  golden: %s\n  now:    %s" % (i + 1, x.decode(errors="replace")[:300],
                                                          y.decode(errors="replace")[:300])
    return "the traces differ in length: golden %d lines, now %d lines" % (len(a), len(b))


def main():
    if len(sys.argv) != 6 or sys.argv[1] not in ("record", "check"):
        sys.exit(__doc__)
    mode, sim, scenario_dir, golden_dir, facts_file = sys.argv[1:]
    with open(facts_file) as f:
        facts = json.load(f)
    failed = passed = 0
    with tempfile.TemporaryDirectory() as scratch:
        for name, scenario in cases(scenario_dir, scratch, facts):
            golden = os.path.join(golden_dir, name + ".effects.jsonl.xz")
            trace = reduced_trace(sim, scenario)
            if mode == "record":
                os.makedirs(golden_dir, exist_ok=True)
                with lzma.open(golden, "wb", preset=9) as f:
                    f.write(trace)
                print("recorded %s: %d calls with effects" % (golden, trace.count(b"\n")))
                continue
            if not os.path.exists(golden):
                print("FAIL %s: no golden file %s" % (name, golden))
                failed += 1
                continue
            with lzma.open(golden, "rb") as f:
                expected = f.read()
            if expected == trace:
                print("PASS %s: %d calls with effects, as recorded" % (name, trace.count(b"\n")))
                passed += 1
            else:
                print("FAIL %s: %s" % (name, first_difference(expected, trace)))
                failed += 1
    if mode == "check":
        print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
