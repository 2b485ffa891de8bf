#!/usr/bin/env python3
"""Runs one scenario with the Linux simulator and with the Windows build under Wine, and compares.

The Windows build is gang-horse-sim.exe with the stand-in ScriptHookRDR2.dll, loading the shipped
gang_horse.asi through the system's loader. Its trace must be byte-identical to the Linux
simulator's trace, and its timeline the same line for line (a Windows console program ends its
lines with CRLF). The Windows run may be given a scenario of its own (--windows-scenario), such as
the same settings file with CRLF line ends.

Both programs run in --workdir with the scenario paths as given, so that messages naming the file
read the same. Exit status: 0 when everything matches, 1 when something differs or a run fails.
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile


def wine_path(path):
    """The Windows name of a Linux path: Wine's Z: drive is the Linux root."""
    return "Z:" + os.path.abspath(path)


def run_both(commands, cwd, scratch):
    """Runs the commands side by side; their outputs (None for a run that failed), in order."""
    runs = []
    for what, command in commands:
        out = open(os.path.join(scratch, what + ".out"), "w+b")
        err = open(os.path.join(scratch, what + ".err"), "w+b")
        runs.append((what, command, out, err, subprocess.Popen(command, cwd=cwd, stdout=out, stderr=err,
                                                               stdin=subprocess.DEVNULL)))
    outputs = []
    for what, command, out, err, process in runs:
        status = process.wait(timeout=600)
        out.seek(0)
        err.seek(0)
        output, errors = out.read(), err.read()
        out.close()
        err.close()
        if status != 0:
            print(f"FAIL: the {what} run exited with {status}: {' '.join(command)}")
            sys.stdout.write(output.decode(errors="replace")[-4000:])
            sys.stdout.write(errors.decode(errors="replace")[-4000:])
            output = None
        outputs.append(output)
    return outputs


def first_difference(a, b):
    """The 1-based number of the first line where the two lists differ, or None."""
    for number, (left, right) in enumerate(zip(a, b), start=1):
        if left != right:
            return number
    if len(a) != len(b):
        return min(len(a), len(b)) + 1
    return None


def show(line):
    return repr(line[:400]) if line is not None else "(no such line)"


def compare_lines(what, linux, windows):
    number = first_difference(linux, windows)
    if number is None:
        return True
    at = number - 1
    print(f"FAIL: the {what} differs from line {number} on "
          f"(Linux {len(linux)} lines, Windows {len(windows)} lines)")
    print(f"  Linux:   {show(linux[at] if at < len(linux) else None)}")
    print(f"  Windows: {show(windows[at] if at < len(windows) else None)}")
    return False


def prompt_texts(trace):
    """The texts given to createVarString, in order."""
    texts = []
    for line in trace.decode().splitlines():
        call = json.loads(line)
        if call.get("native") == "createVarString":
            texts.append(call["args"][2]["text"])
    return texts


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--linux-sim", required=True, help="the Linux gang-horse-sim")
    parser.add_argument("--wine-run", required=True, help="tests/windows/wine-run.sh")
    parser.add_argument("--wine-prefix", required=True)
    parser.add_argument("--windows-sim", required=True, help="gang-horse-sim.exe")
    parser.add_argument("--workdir", required=True)
    parser.add_argument("--windows-scenario", help="the scenario for the Windows run (default: the same)")
    parser.add_argument("--prompt-texts", help="a JSON list: the four prompt texts both runs must show")
    parser.add_argument("scenario")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="gang-horse-windows-") as scratch:
        linux_trace = os.path.join(scratch, "linux.jsonl")
        windows_trace = os.path.join(scratch, "windows.jsonl")
        linux_out, windows_out = run_both(
            [("Linux", [args.linux_sim, "run", args.scenario, "--trace", linux_trace]),
             ("Windows", ["sh", args.wine_run, args.wine_prefix, args.windows_sim, "run",
                          args.windows_scenario or args.scenario, "--trace", wine_path(windows_trace)])],
            args.workdir, scratch)
        if linux_out is None or windows_out is None:
            return 1
        with open(linux_trace, "rb") as file:
            linux = file.read()
        with open(windows_trace, "rb") as file:
            windows = file.read()

    ok = True
    if not linux:
        print("FAIL: the Linux trace is empty")
        return 1
    if linux != windows:
        # Lines kept with their ends: differing bytes are a differing line.
        compare_lines("trace", linux.splitlines(keepends=True), windows.splitlines(keepends=True))
        ok = False
    for call in (b'"host":"scriptRegister"', b'"host":"scriptUnregister"'):
        if call not in windows:
            print(f"FAIL: the Windows trace has no {call.decode()} "
                  "(DllMain's attach registers, its detach unregisters)")
            ok = False
    if not compare_lines("timeline", linux_out.decode(errors="replace").split("\n"),
                         windows_out.decode(errors="replace").replace("\r\n", "\n").split("\n")):
        ok = False
    if args.prompt_texts is not None:
        want = json.loads(args.prompt_texts)
        for name, trace in (("Linux", linux), ("Windows", windows)):
            got = prompt_texts(trace)
            if got != want:
                print(f"FAIL: the {name} run labelled the prompts {got!r}, expected {want!r}")
                ok = False
    if ok:
        print(f"OK {args.windows_scenario or args.scenario}: trace identical "
              f"({len(linux.splitlines())} calls, {len(linux)} bytes), timeline identical "
              f"({len(linux_out.splitlines())} lines)")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
