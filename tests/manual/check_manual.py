#!/usr/bin/env python3
"""The HTML manual as a reader meets it: every link, anchor and image of every page.

    python3 tests/manual/check_manual.py help/manual [--json report.json] [--render [--update-reference]]

Each page and each image is one case: a link's target file exists and so does its anchor,
ids are unique, every image exists, is a PNG without metadata chunks, uses an 8-bit palette
when it has 256 colours or fewer, is compressed, and is shown by some page. Prints each
failure and a last line "manual: N passed, M failed"; the JSON report has GoogleTest's shape
so the test command counts it like the others.

With --render, Debian's chromium draws every page headless at 1000 pixels wide (render.py):
each page loads, nothing overflows sideways, every image is shown at its own size, and
the boxes of the headings, paragraphs, lists, tables and images are where the kept
reference (layout_reference.json) has them. --update-reference keeps the present layout.
"""
import html.parser
import render
import json
import os
import struct
import sys
import zlib
from urllib.parse import unquote, urlsplit

METADATA_CHUNKS = {b"tEXt", b"zTXt", b"iTXt", b"tIME"}
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}  # by PNG colour type


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.images, self.duplicates = set(), [], [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            if a["id"] in self.ids:
                self.duplicates.append(a["id"])
            self.ids.add(a["id"])
        if tag == "a" and "name" in a:
            self.ids.add(a["name"])
        if tag in ("a", "link") and a.get("href"):
            self.links.append(a["href"])
        if tag == "img":
            self.images.append(a.get("src", ""))


def parse(path):
    page = Page()
    with open(path, encoding="utf-8") as f:
        page.feed(f.read())
    return page


def chunks(data):
    at = 8
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at : at + 8])
        yield kind, data[at + 8 : at + 8 + length]
        at += 12 + length


def unfiltered_rows(raw, width, height, bpp):
    stride = width * bpp
    previous = bytearray(stride)
    at = 0
    for _ in range(height):
        kind, row = raw[at], bytearray(raw[at + 1 : at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = row[i - bpp] if i >= bpp else 0
            up, corner = previous[i], previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[i] = (row[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 0xFF
        yield bytes(row)
        previous = row


def colours_up_to(raw, width, height, bpp, limit):
    seen = set()
    for row in unfiltered_rows(raw, width, height, bpp):
        for x in range(0, len(row), bpp):
            seen.add(row[x : x + bpp])
        if len(seen) > limit:
            break
    return len(seen)


def image_problems(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return ["not a PNG"]
    problems, idat, header = [], b"", None
    for kind, body in chunks(data):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind in METADATA_CHUNKS:
            problems.append("carries a %s chunk the manual does not need" % kind.decode())
    width, height, depth, colour_type = header[0], header[1], header[2], header[3]
    raw = zlib.decompress(idat)
    if len(idat) > len(zlib.compress(raw, 9)) * 11 // 10 + 64:
        problems.append("its pixels are not compressed (%d bytes, %d at level 9)" % (len(idat), len(zlib.compress(raw, 9))))
    if colour_type != 3 and depth == 8:
        count = colours_up_to(raw, width, height, CHANNELS[colour_type], 256)
        if count <= 256:
            problems.append("has %d colours but no palette" % count)
    return problems


def check(root):
    """Yields (case name, problems)."""
    root = os.path.abspath(root)
    pages = [os.path.join(d, f) for d, _, fs in os.walk(root) for f in sorted(fs) if f.endswith(".html")]
    parsed = {p: parse(p) for p in pages}
    shown = set()
    for path, page in sorted(parsed.items()):
        problems = ["id \"%s\" twice" % d for d in page.duplicates]
        here = os.path.dirname(path)
        for link in page.links:
            parts = urlsplit(link)
            if parts.scheme in ("http", "https", "mailto"):
                continue
            target = os.path.normpath(os.path.join(here, unquote(parts.path))) if parts.path else path
            if not os.path.isfile(target):
                problems.append("link %s: no file %s" % (link, os.path.relpath(target, root)))
            elif parts.fragment and target.endswith(".html"):
                if parts.fragment not in parsed.get(target, parse(target)).ids:
                    problems.append("link %s: no anchor \"%s\"" % (link, parts.fragment))
        for src in page.images:
            target = os.path.normpath(os.path.join(here, unquote(src)))
            if not os.path.isfile(target):
                problems.append("image %s: no file" % src)
            shown.add(target)
        yield os.path.relpath(path, root), problems
    for d, _, fs in os.walk(root):
        for f in sorted(fs):
            if f.endswith(".png"):
                path = os.path.join(d, f)
                problems = image_problems(path)
                if path not in shown:
                    problems.append("no page shows it")
                yield os.path.relpath(path, root), problems


def main():
    args = sys.argv[1:]
    root = args[0] if args else "help/manual"
    report = args[args.index("--json") + 1] if "--json" in args else None
    cases = list(check(root))
    if "--render" in args:
        cases += list(render.check(root, "--update-reference" in args))
    failed = [(name, problems) for name, problems in cases if problems]
    for name, problems in failed:
        for problem in problems:
            print("FAILED %s: %s" % (name, problem))
    if report:
        suite = [{"name": name, "status": "RUN", "result": "COMPLETED",
                  "failures": [{"failure": p} for p in problems]} for name, problems in cases]
        with open(report, "w", encoding="utf-8") as f:
            json.dump({"testsuites": [{"name": "Manual", "testsuite": suite}]}, f, ensure_ascii=False, indent=1)
    print("manual: %d passed, %d failed" % (len(cases) - len(failed), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
