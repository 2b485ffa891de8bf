#!/usr/bin/env python3
"""Counts the module's own instructions in one steady 1024-ped camp pass.

Runs bench/one_pass under callgrind, collecting only inside measuredPass, and
splits the instructions between the module's functions (every function
defined in the module's library, inlined code included) and the rest (the
stand-in host and game, the C library). Prints both and the module's
instructions per native call.

usage: module_instructions.py ONE_PASS MODULE_LIBRARY [PEDS]
"""
import re
import subprocess
import sys
import tempfile


def module_functions(library):
    out = subprocess.run(["nm", "-C", "--defined-only", library], check=True, capture_output=True, text=True).stdout
    names = set()
    for line in out.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in "TtWw":
            names.add(parts[2])
    return names


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    one_pass, library = sys.argv[1], sys.argv[2]
    peds = sys.argv[3] if len(sys.argv) > 3 else "1024"
    with tempfile.NamedTemporaryFile(suffix=".callgrind") as out:
        run = subprocess.run(
            ["valgrind", "--tool=callgrind", "--collect-atstart=no", "--toggle-collect=measuredPass",
             "--callgrind-out-file=" + out.name, one_pass, peds],
            capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit("callgrind failed:\n" + run.stderr)
        calls = re.search(r"native calls in the measured pass: (\d+)", run.stdout)
        if not calls:
            sys.exit("one_pass printed no call count:\n" + run.stdout)
        natives = int(calls.group(1))
        annotated = subprocess.run(["callgrind_annotate", "--inclusive=no", "--auto=no", "--threshold=100", out.name],
                                   check=True, capture_output=True, text=True).stdout
    names = module_functions(library)
    module = other = 0
    for line in annotated.splitlines():
        m = re.match(r"\s*([\d,]+)\s+\(\s*[\d.]+%\)\s+(\S[^:]*):(.*?)(?: \[[^\]]*\])?$", line)
        if not m or m.group(2) == "PROGRAM TOTALS":
            continue
        ir = int(m.group(1).replace(",", ""))
        if m.group(3) in names:
            module += ir
        else:
            other += ir
    print(f"one steady camp pass, {peds} peds: {natives} native calls")
    print(f"  module instructions:            {module:>12,}")
    print(f"  stand-in host, game and libc:   {other:>12,}")
    print(f"  module instructions per native: {module / max(natives, 1):12.1f}")


if __name__ == "__main__":
    main()
