#!/usr/bin/env python3
"""Writes the players' guide that goes into the zip, gang_horse-README.txt, from README.md.

The text is the README's "For players" part, as plain text for Notepad: headings underlined, no
Markdown marks, links written out, code blocks indented, and each table row as a block of
"column: cell" lines. One source: the README is what a player reads on the project's page, and
the zip says the same.

Usage: player_readme.py README.md VERSION OUT
"""
import os
import re
import sys
import textwrap

WIDTH = 76


def code(m):
    span = m.group(1)
    return '"%s"' % span if not any(c.isalnum() for c in span) else span


def inline(text, refs):
    text = re.sub(r"\*\*(.+?)\*\*", r"\1", text, flags=re.S)
    text = re.sub(r"(?<![\w*])\*(\S.*?)\*(?![\w*])", r"\1", text, flags=re.S)
    text = re.sub(r"`([^`]+)`", code, text)

    def link(m):
        label, target = m.group(1), m.group(2)
        return "%s (%s)" % (label, target) if "://" in target else label

    text = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", link, text)
    return re.sub(r"\[([^\]]+)\](?!\()", lambda m: "%s (%s)" % (m.group(1), refs[m.group(1)])
                  if m.group(1) in refs else m.group(0), text)


ITEM = re.compile(r"^(- |\d+\. )")


def paragraph(lines, refs):
    """Prose lines re-wrapped, list items with hanging indents."""
    items = []
    for line in lines:
        if ITEM.match(line) or not items:
            items.append(line)
        else:
            items[-1] += " " + line.strip()
    out = []
    for item in items:
        marker = ITEM.match(item)
        indent = " " * len(marker.group(1)) if marker else ""
        out += textwrap.wrap(inline(item, refs), WIDTH, subsequent_indent=indent,
                             break_long_words=False, break_on_hyphens=False)
    return out


def cells(row):
    return [c.strip() for c in row.strip().strip("|").split("|")]


def table(rows, refs):
    header = cells(rows[0])
    out = []
    for row in rows[2:]:
        values = [inline(c, refs) for c in cells(row)]
        out.append(values[0])
        for name, value in zip(header[1:], values[1:]):
            out.extend(textwrap.wrap("%s: %s" % (inline(name, refs), value), WIDTH,
                                     initial_indent="  - ", subsequent_indent="    "))
        out.append("")
    return out


def players_part(readme):
    start = readme.index("\n## For players\n")
    end = readme.index("\n## ", start + 1)
    return readme[start:end].split("\n")[2:]


def convert(readme, version):
    refs = dict(re.findall(r"^\[([^\]]+)\]: (\S+)$", readme, re.M))
    intro = readme.split("\n## ", 1)[0].split("\n", 1)[1].strip()
    title = "gang_horse %s for Red Dead Redemption 2" % version
    out = [title, "=" * len(title), ""] + paragraph(intro.split("\n"), refs) + [""]
    lines = players_part(readme)
    i = 0
    while i < len(lines):
        line = lines[i]
        if re.match(r"^\[[^\]]+\]: ", line):
            i += 1
        elif line.startswith("### "):
            heading = inline(line[4:], refs)
            out += [heading, "-" * len(heading)]
            i += 1
        elif line.startswith("```"):
            i += 1
            while not lines[i].startswith("```"):
                out.append("    " + lines[i])
                i += 1
            i += 1
        elif line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(lines[i])
                i += 1
            out += table(rows, refs)
        elif not line.strip():
            out.append("")
            i += 1
        else:
            prose = []
            while i < len(lines) and lines[i].strip() and not re.match(r"^(### |```|\||\[[^\]]+\]: )", lines[i]):
                prose.append(lines[i])
                i += 1
            out += paragraph(prose, refs)
    while out and not out[-1]:
        out.pop()
    text = "\n".join(out) + "\n"
    return re.sub(r"\n{3,}", "\n\n", text)


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        readme = f.read()
    os.makedirs(os.path.dirname(os.path.abspath(argv[3])), exist_ok=True)
    with open(argv[3], "w", encoding="utf-8", newline="\n") as f:
        f.write(convert(readme, argv[2]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
