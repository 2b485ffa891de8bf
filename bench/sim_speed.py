"""Prints the simulator's speed: the 30-minute scenario in a camp of 200 peds.

Usage: sim_speed.py SIM FACTS_JSON [OUT_DIR]

Writes the scenario of report_size.py (no trace, no report), runs it five
times and prints the median time and frames per second; then runs the soak of
seed 909 over 200,000 frames and prints its own frames per second. Figures
only: the machine is shared, so compare builds in the same session.
"""
import os
import re
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from report_size import prepare, run, scenario_text  # noqa: E402

FRAMES = 30 * 60 * 30 + 1  # 30 minutes at the scenario's default 30 frames a second


def main():
    sim, facts, out = prepare(__doc__, "build/sim-speed")
    scenario = os.path.join(out, "crowded_camp_30m.yaml")
    with open(scenario, "w") as f:
        f.write(scenario_text(facts))
    times = [run(sim, [scenario, "--quiet"])[0] for _ in range(5)]
    median = statistics.median(times)
    print("30 minutes, 200 peds, no trace, no report: median %.3f s of 5 (%s), %.0f frames per second"
          % (median, ", ".join("%.3f" % t for t in times), FRAMES / median))
    soak = subprocess.run([sim, "soak", "--seed", "909", "--frames", "200000"], check=True,
                          capture_output=True, text=True).stdout
    found = re.search(r"\((\d+) frames per second\)", soak)
    if not found:
        sys.exit("sim_speed: no frames per second in the soak's output:\n" + soak)
    print("soak, seed 909, 200000 frames: %s frames per second" % found.group(1))


if __name__ == "__main__":
    main()
