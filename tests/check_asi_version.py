#!/usr/bin/env python3
"""Checks the Windows version resource of a cross-built gang_horse.asi.

The file must carry one version resource (resource type 16, RT_VERSION) whose fixed part gives
VERSION as file and product version, and whose strings give ProductName "gang_horse", a
FileDescription, and VERSION as FileVersion and ProductVersion: what a player sees in the file's
properties. Finds the resource with `x86_64-w64-mingw32-objdump -p` and `-h` (override the tool
with $OBJDUMP) and reads its bytes from the file.

Usage: check_asi_version.py FILE VERSION (VERSION as MAJOR.MINOR.PATCH)
Exit status: 0 when the file passes, 1 when it breaks a rule (each broken rule is printed),
2 when it cannot be checked (missing file or tool, not a 64-bit PE image).
"""

import os
import re
import struct
import subprocess
import sys

RT_VERSION = 0x10
FIXED_SIGNATURE = 0xFEEF04BD


class CannotCheck(Exception):
    pass


def objdump(tool, option, path):
    try:
        result = subprocess.run([tool, option, path], capture_output=True, text=True)
    except OSError as error:
        raise CannotCheck(f"cannot run {tool}: {error}")
    if result.returncode != 0:
        raise CannotCheck(f"{tool} {option} {path} failed:\n{result.stderr}")
    return result.stdout


def version_resource_location(private_headers):
    """(RVA, size) of the RT_VERSION leaf, from objdump -p's resource directory dump, or None."""
    in_rsrc = False
    in_version = False
    for line in private_headers.splitlines():
        if line.startswith("The .rsrc Resource Directory section"):
            in_rsrc = True
            continue
        if not in_rsrc:
            continue
        if line.startswith("The ") or line.startswith(" Resources start"):
            break
        # The type level is the least indented "Entry:" line.
        m = re.match(r"^[0-9a-f]+ {3}Entry: ID: 0x([0-9a-fA-F]+),", line)
        if m:
            in_version = int(m.group(1), 16) == RT_VERSION
            continue
        m = re.search(r"Leaf: Addr: 0x([0-9a-fA-F]+), Size: 0x([0-9a-fA-F]+)", line)
        if m and in_version:
            return int(m.group(1), 16), int(m.group(2), 16)
    return None


def file_offset(section_headers, image_base, rva):
    """The file offset of an RVA, from objdump -h's section table."""
    for line in section_headers.splitlines():
        m = re.match(r"^\s*\d+\s+(\S+)\s+([0-9a-f]+)\s+([0-9a-f]+)\s+[0-9a-f]+\s+([0-9a-f]+)", line)
        if not m:
            continue
        size, vma, offset = int(m.group(2), 16), int(m.group(3), 16), int(m.group(4), 16)
        start = vma - image_base
        if start <= rva < start + size:
            return offset + (rva - start)
    raise CannotCheck(f"no section holds RVA 0x{rva:x}")


def parse_block(data, at):
    """One VERSIONINFO block at offset at: (key, value, children, end)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_start = at + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    pos = (key_end + 2 + 3) & ~3
    if value_type == 1:  # text, counted in 16-bit words with the NUL
        value = data[pos:pos + 2 * value_length].decode("utf-16-le").rstrip("\0")
        pos += 2 * value_length
    else:
        value = data[pos:pos + value_length]
        pos += value_length
    pos = (pos + 3) & ~3
    children = []
    while pos < end:
        child = parse_block(data, pos)
        children.append(child)
        pos = (child[3] + 3) & ~3
    return key, value, children, end


def check(resource, version):
    """(problems, the strings found)."""
    problems = []
    key, fixed, children, _ = parse_block(resource, 0)
    if key != "VS_VERSION_INFO":
        return [f"the version resource starts with {key!r}, not VS_VERSION_INFO"], {}
    major, minor, patch = (int(part) for part in version.split("."))
    want_ms, want_ls = (major << 16) | minor, patch << 16
    if len(fixed) < 52 or struct.unpack_from("<I", fixed, 0)[0] != FIXED_SIGNATURE:
        problems.append("the version resource has no fixed file information")
    else:
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", fixed, 8)
        for name, ms, ls in (("file", file_ms, file_ls), ("product", product_ms, product_ls)):
            if (ms, ls) != (want_ms, want_ls):
                shown = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
                problems.append(f"the fixed {name} version is {shown}, expected {version}.0")
    strings = {}
    for child_key, _, tables, _ in children:
        if child_key == "StringFileInfo":
            for _, _, entries, _ in tables:
                for name, value, _, _ in entries:
                    strings[name] = value
    wanted = {"ProductName": "gang_horse", "FileVersion": version, "ProductVersion": version}
    for name, value in wanted.items():
        if strings.get(name) != value:
            problems.append(f"{name} is {strings.get(name)!r}, expected {value!r}")
    if not strings.get("FileDescription"):
        problems.append("FileDescription is missing or empty")
    return problems, strings


def main(argv):
    if len(argv) != 3 or not re.fullmatch(r"\d+\.\d+\.\d+", argv[2]):
        print(f"usage: {argv[0]} FILE.asi MAJOR.MINOR.PATCH", file=sys.stderr)
        return 2
    path, version = argv[1], argv[2]
    if not os.path.isfile(path):
        print(f"check_asi_version: {path}: no such file", file=sys.stderr)
        return 2
    tool = os.environ.get("OBJDUMP", "x86_64-w64-mingw32-objdump")
    try:
        private = objdump(tool, "-p", path)
        if "file format pei-x86-64" not in private:
            raise CannotCheck(f"{path} is not a 64-bit Windows image")
        m = re.search(r"^ImageBase\s+([0-9a-fA-F]+)", private, re.MULTILINE)
        if not m:
            raise CannotCheck("objdump shows no ImageBase")
        image_base = int(m.group(1), 16)
        location = version_resource_location(private)
        if location is None:
            print(f"FAIL {path}:\n  - has no version resource (no resource of type 16)")
            return 1
        rva, size = location
        offset = file_offset(objdump(tool, "-h", path), image_base, rva)
        with open(path, "rb") as file:
            file.seek(offset)
            resource = file.read(size)
        problems, strings = check(resource, version)
    except CannotCheck as error:
        print(f"check_asi_version: {error}", file=sys.stderr)
        return 2
    except (struct.error, UnicodeDecodeError, ValueError) as error:
        print(f"FAIL {path}:\n  - the version resource cannot be read: {error}")
        return 1
    if problems:
        print(f"FAIL {path}:")
        for problem in problems:
            print(f"  - {problem}")
        return 1
    print(f"OK {path}: version resource {strings['ProductName']} {strings['ProductVersion']}, "
          f"\"{strings['FileDescription']}\"")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
