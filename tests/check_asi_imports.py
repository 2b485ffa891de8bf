#!/usr/bin/env python3
"""Checks what a cross-built gang_horse.asi imports and exports.

The module may import only from KERNEL32.dll, msvcrt.dll and ScriptHookRDR2.dll; from
ScriptHookRDR2.dll exactly the nine host functions under their MSVC-decorated names; and it must
export nothing. Reads `x86_64-w64-mingw32-objdump -p FILE` (override the tool with $OBJDUMP).

Exit status: 0 when the file passes, 1 when it breaks a rule (each broken rule is printed),
2 when it cannot be checked (missing file or tool, not a 64-bit PE image).
"""

import os
import re
import subprocess
import sys

ALLOWED_DLLS = {"kernel32.dll", "msvcrt.dll", "scripthookrdr2.dll"}
HOST_DLL = "scripthookrdr2.dll"
HOST_NAMES = {
    "?scriptWait@@YAXK@Z",
    "?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z",
    "?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z",
    "?keyboardHandlerRegister@@YAXP6AXKGEHHHH@Z@Z",
    "?keyboardHandlerUnregister@@YAXP6AXKGEHHHH@Z@Z",
    "?nativeInit@@YAX_K@Z",
    "?nativePush64@@YAX_K@Z",
    "?nativeCall@@YAPEA_KXZ",
    "?worldGetAllPeds@@YAHPEAHH@Z",
}

DLL_NAME = re.compile(r"^\s*DLL Name:\s*(\S+)\s*$")
# "\t91f0\t  283  DeleteCriticalSection" (by name) or "\t91f0\t   12  <none>" (by ordinal)
IMPORT_ENTRY = re.compile(r"^\t[0-9a-fA-F]+\t\s*(\d+)\s+(\S+)")
EXPORT_COUNT = re.compile(r"^\s*Export Address Table\s+([0-9a-fA-F]+)\s*$")
# "\t[   0] name" or "\t[   0] +base[   1] 0000 name"
EXPORT_NAME = re.compile(r"^\s*\[\s*\d+\]\s+(?:\+base\[\s*\d+\]\s+[0-9a-fA-F]+\s+)?(\S+)\s*$")


def parse(dump):
    """Returns ({dll name: [(hint/ordinal, member name)]}, export count, [export names], file format)."""
    imports = {}
    current = None
    export_count = 0
    export_names = []
    section = None
    file_format = None
    for line in dump.splitlines():
        m = re.search(r"file format (\S+)", line)
        if m and file_format is None:
            file_format = m.group(1)
        if line.startswith("The Import Tables") or line.startswith("The Delay Import Tables"):
            section = "imports"
            current = None
            continue
        if line.startswith("The Export Tables"):
            section = "exports"
            continue
        if line.startswith("The ") or line.startswith("There is ") or line.startswith("Dump of "):
            section = None
            current = None
            continue
        if section == "imports":
            m = DLL_NAME.match(line)
            if m:
                current = m.group(1)
                imports.setdefault(current, [])
                continue
            m = IMPORT_ENTRY.match(line)
            if m and current is not None:
                imports[current].append((int(m.group(1)), m.group(2)))
        elif section == "exports":
            if line.startswith("Table Addresses"):
                section = "export-addresses"  # addresses, not counts, follow
                continue
            m = EXPORT_COUNT.match(line)
            if m:
                export_count = int(m.group(1), 16)
                continue
        elif section == "export-addresses":
            if line.startswith("[Ordinal/Name Pointer] Table"):
                section = "export-names"
            if line.startswith("[Ordinal/Name Pointer] Table"):
                section = "export-names"
        elif section == "export-names":
            m = EXPORT_NAME.match(line)
            if m:
                export_names.append(m.group(1))
    return imports, export_count, export_names, file_format


def check(imports, export_count, export_names):
    problems = []
    for dll in sorted(imports):
        if dll.lower() not in ALLOWED_DLLS:
            names = ", ".join(name for _, name in imports[dll]) or "(no entries)"
            problems.append(f"imports from {dll}, which is not allowed: {names}")

    host_entries = [entry for dll, entries in imports.items() if dll.lower() == HOST_DLL for entry in entries]
    if not any(dll.lower() == HOST_DLL for dll in imports):
        problems.append("imports nothing from ScriptHookRDR2.dll (expected the nine host functions)")
    else:
        got = [name for _, name in host_entries]
        by_ordinal = [str(hint) for hint, name in host_entries if name == "<none>"]
        if by_ordinal:
            problems.append("imports from ScriptHookRDR2.dll by ordinal: " + ", ".join(by_ordinal))
        unexpected = sorted({name for name in got if name not in HOST_NAMES and name != "<none>"})
        if unexpected:
            problems.append("imports from ScriptHookRDR2.dll names that are not host functions: "
                            + ", ".join(unexpected))
        missing = sorted(HOST_NAMES - set(got))
        if missing:
            problems.append("does not import these host functions from ScriptHookRDR2.dll: " + ", ".join(missing))
        duplicated = sorted({name for name in got if got.count(name) > 1})
        if duplicated:
            problems.append("imports more than once from ScriptHookRDR2.dll: " + ", ".join(duplicated))

    if export_count or export_names:
        shown = ", ".join(export_names) if export_names else "(by ordinal only)"
        problems.append(f"exports {max(export_count, len(export_names))} symbol(s): {shown}")
    return problems


def main(argv):
    if len(argv) != 2:
        print(f"usage: {argv[0]} FILE.asi", file=sys.stderr)
        return 2
    path = argv[1]
    if not os.path.isfile(path):
        print(f"check_asi_imports: {path}: no such file (build the mingw preset first)", file=sys.stderr)
        return 2
    objdump = os.environ.get("OBJDUMP", "x86_64-w64-mingw32-objdump")
    try:
        result = subprocess.run([objdump, "-p", path], capture_output=True, text=True)
    except OSError as error:
        print(f"check_asi_imports: cannot run {objdump}: {error}", file=sys.stderr)
        return 2
    if result.returncode != 0:
        print(f"check_asi_imports: {objdump} -p {path} failed:\n{result.stderr}", file=sys.stderr)
        return 2

    imports, export_count, export_names, file_format = parse(result.stdout)
    if file_format != "pei-x86-64":
        print(f"check_asi_imports: {path} is not a 64-bit Windows image (format {file_format})", file=sys.stderr)
        return 2

    problems = check(imports, export_count, export_names)
    if problems:
        print(f"FAIL {path}:")
        for problem in problems:
            print(f"  - {problem}")
        return 1
    counts = ", ".join(f"{dll} ({len(entries)})" for dll, entries in sorted(imports.items()))
    print(f"OK {path}: imports from {counts}; exports nothing")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
