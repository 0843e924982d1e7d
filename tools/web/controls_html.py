#!/usr/bin/env python3
"""Writes the page shell with the README's controls in it: the text from
"Keys pressed once:" up to the next section, its tables turned into HTML.
   controls_html.py README.md shell.html OUT.html"""
import html
import re
import sys


def inline(text):
    out = html.escape(text, quote=False)
    return re.sub(r"`([^`]*)`", r"<code>\1</code>", out)


def to_html(lines):
    parts, table = [], []

    def flush():
        if not table:
            return
        rows = [[c.strip() for c in row.strip().strip("|").split("|")] for row in table]
        head, body = rows[0], [r for r in rows[1:] if not all(set(c) <= set("-: ") for c in r)]
        parts.append("<table><tr>" + "".join(f"<th>{inline(c)}</th>" for c in head) + "</tr>")
        for r in body:
            parts.append("<tr>" + "".join(f"<td>{inline(c)}</td>" for c in r) + "</tr>")
        parts.append("</table>")
        table.clear()

    for line in lines:
        if line.startswith("|"):
            table.append(line)
            continue
        flush()
        if line.strip():
            parts.append(f"<p>{inline(line.strip())}</p>")
    flush()
    return "\n".join(parts)


def main():
    readme, shell, out = sys.argv[1:4]
    text = open(readme, encoding="utf-8").read().splitlines()
    start = next(i for i, l in enumerate(text) if l.startswith("Keys pressed once"))
    end = next(i for i in range(start, len(text)) if text[i].startswith("#"))
    page = open(shell, encoding="utf-8").read().replace("@CONTROLS@", to_html(text[start:end]))
    open(out, "w", encoding="utf-8").write(page)


if __name__ == "__main__":
    main()
