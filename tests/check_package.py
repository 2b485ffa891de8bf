#!/usr/bin/env python3
"""The player's package: two clean builds of the same source, in different folders, give the same
gang_horse.asi and the same zip, byte for byte; `sha256sum -c` accepts each zip's checksum file;
the zip holds what goes into the game's root folder, its text files with CRLF line ends, and its
players' guide is the README's part for players as plain text, every section of it. Optionally
the .asi of the project's own build must be the same bytes too.

Each build copies the source (the files git knows, committed or not) into a folder of its own,
configures the mingw preset with only the module (GH_MODULE_ONLY) and builds the package.

Usage: check_package.py SOURCE_DIR [PROJECT_ASI]
Exit status: 0 when all holds, 1 when not, 2 when a build fails.
"""
import filecmp
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

LAYOUT = ["gang_horse.asi", "Velkor.dat", "gang_horse-README.txt", "gang_horse-LICENSE.txt"]
TEXT = (".dat", ".txt")


def source_files(source):
    try:
        out = subprocess.run(["git", "-C", source, "ls-files", "-co", "--exclude-standard", "-z"],
                             check=True, capture_output=True).stdout
        return [f for f in out.decode().split("\0") if f and os.path.isfile(os.path.join(source, f))]
    except (OSError, subprocess.CalledProcessError):
        found = []
        for root, dirs, files in os.walk(source):
            dirs[:] = [d for d in dirs if d not in (".git", "build", "dist", "bin")]
            found += [os.path.relpath(os.path.join(root, f), source) for f in files]
        return found


def build(source, files, folder):
    copy = os.path.join(folder, "gang_horse")
    for f in files:
        os.makedirs(os.path.dirname(os.path.join(copy, f)), exist_ok=True)
        shutil.copy2(os.path.join(source, f), os.path.join(copy, f))
    env = {k: v for k, v in os.environ.items() if k not in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL")}
    for command in (["cmake", "--preset", "mingw", "-DGH_MODULE_ONLY=ON"],
                    ["cmake", "--build", "--preset", "mingw", "--target", "win64_zip", "-j2"]):
        run = subprocess.run(command, cwd=copy, env=env, capture_output=True, text=True)
        if run.returncode != 0:
            sys.stdout.write(run.stdout + run.stderr)
            raise SystemExit("build in %s failed: %s" % (copy, " ".join(command)))
    zips = glob.glob(os.path.join(copy, "dist", "gang_horse-*-win64.zip"))
    if len(zips) != 1:
        raise SystemExit("build in %s left %d packages" % (copy, len(zips)))
    check = subprocess.run(["sha256sum", "-c", os.path.basename(zips[0]) + ".sha256"],
                           cwd=os.path.dirname(zips[0]), capture_output=True, text=True)
    print("%s: %s" % (copy, check.stdout.strip() or check.stderr.strip()))
    if check.returncode != 0:
        raise SystemExit(1)
    with open(zips[0] + ".sha256") as f:
        print("  " + f.read().strip())
    return os.path.join(copy, "build", "mingw", "gang_horse.asi"), zips[0]


def guide_faults(guide, source):
    with open(os.path.join(source, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    start = readme.index("\n## For players\n")
    part = readme[start:readme.index("\n## ", start + 1)]
    faults = ["the players' guide lacks the README's section '%s'" % heading
              for heading in re.findall(r"^### (.+)$", part, re.M)
              if "\n%s\n%s\n" % (heading, "-" * len(heading)) not in guide]
    faults += ["the players' guide keeps Markdown '%s'" % mark for mark in ("**", "`", "](") if mark in guide]
    return faults


def layout_faults(path, source):
    faults = []
    with zipfile.ZipFile(path) as archive:
        if "gang_horse-README.txt" in archive.namelist():
            faults += guide_faults(archive.read("gang_horse-README.txt").decode("utf-8").replace("\r\n", "\n"),
                                   source)
        names = archive.namelist()
        if names != LAYOUT:
            faults.append("the zip holds %s, expected %s" % (names, LAYOUT))
        for name in names:
            data = archive.read(name)
            if name.endswith(TEXT) and data.count(b"\n") != data.count(b"\r\n"):
                faults.append("%s has line ends other than CRLF" % name)
    return faults


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write(__doc__)
        return 2
    source = os.path.abspath(argv[1])
    files = source_files(source)
    with tempfile.TemporaryDirectory(prefix="gang-horse-repro-") as scratch:
        first = build(source, files, os.path.join(scratch, "one"))
        second = build(source, files, os.path.join(scratch, "second-build-elsewhere"))
        differ = [os.path.basename(a) for a, b in zip(first, second) if not filecmp.cmp(a, b, shallow=False)]
        if len(argv) == 3 and not filecmp.cmp(argv[2], first[0], shallow=False):
            differ.append(argv[2] + " (the project's own build)")
        faults = layout_faults(first[1], source)
    if differ:
        faults.append("not reproducible: " + ", ".join(differ) + " differ between the builds")
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print("reproducible: the .asi and the zip are the same bytes in both builds; layout %s, CRLF text" % LAYOUT)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
