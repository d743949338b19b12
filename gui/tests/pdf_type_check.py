#!/usr/bin/python3
"""Checks the type of a PDF the way a reader of the law would: every font embedded and a face of
Liberation Serif (pdffonts), every character at least MIN points (pdfminer).

Usage: pdf_type_check.py FILE.pdf [MIN]    exit 0 when all holds, 1 with the faults listed."""
import subprocess
import sys

from pdfminer.high_level import extract_pages
from pdfminer.layout import LTChar, LTContainer


def fonts(path):
    out = subprocess.run(["pdffonts", path], check=True, capture_output=True, text=True).stdout
    rows = out.splitlines()[2:]  # the header and its rule
    found = []
    for row in rows:
        cells = row.split()
        # name type [encoding words] emb sub uni object ID
        name, emb = cells[0], cells[-5]
        found.append((name, emb))
    return found


def chars(layout):
    if isinstance(layout, LTChar):
        yield layout
    elif isinstance(layout, LTContainer):
        for child in layout:
            yield from chars(child)


def main():
    path = sys.argv[1]
    least = float(sys.argv[2]) if len(sys.argv) > 2 else 12.0
    faults = []
    listed = fonts(path)
    if not listed:
        faults.append("no font listed")
    for name, emb in listed:
        face = name.split("+", 1)[-1]
        if not face.startswith("LiberationSerif"):
            faults.append(f"font {name} is not Liberation Serif")
        if emb != "yes":
            faults.append(f"font {name} is not embedded")
    smallest = None
    count = 0
    for page_number, page in enumerate(extract_pages(path), start=1):
        for c in chars(page):
            if not c.get_text().strip():
                continue
            count += 1
            size = round(c.size, 2)
            smallest = size if smallest is None else min(smallest, size)
            if size < least - 0.01:
                faults.append(f"page {page_number}: {c.get_text()!r} at {size} pt")
    if count == 0:
        faults.append("no characters found")
    print(f"fonts: {', '.join(n for n, _ in listed)}; characters: {count}; smallest: {smallest} pt")
    for fault in faults[:40]:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
