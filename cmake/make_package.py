#!/usr/bin/env python3
"""Writes the player's zip and its checksum, the same bytes from every build of one commit.

The zip mirrors the game's root folder: what it holds goes beside RDR2.exe. Text files get CRLF
line ends, as Windows editors write them. Every entry carries the release date and the same
attributes, in a fixed order, so that nothing of the build machine or time gets in.
Beside ZIP it writes ZIP.sha256 in the format of `sha256sum` (check with `sha256sum -c`).

Usage: make_package.py ZIP RELEASE_DATE ENTRY=SOURCE[:text] ...
  RELEASE_DATE is YYYY-MM-DD; ":text" marks a text file to write with CRLF line ends.
"""
import hashlib
import os
import sys
import zipfile


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    zip_path, date = argv[1], argv[2]
    stamp = tuple(int(part) for part in date.split("-")) + (0, 0, 0)
    entries = []
    for spec in argv[3:]:
        name, source = spec.split("=", 1)
        text = source.endswith(":text")
        if text:
            source = source[: -len(":text")]
        with open(source, "rb") as f:
            data = f.read()
        entries.append((name, crlf(data) if text else data))

    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS attributes, as a Windows zip has them
            info.external_attr = 0x20  # archive bit
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, zip_path)

    with open(zip_path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(zip_path + ".sha256", "w", newline="\n") as f:
        f.write("%s  %s\n" % (digest, os.path.basename(zip_path)))
    print("%s  %s" % (digest, os.path.basename(zip_path)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
