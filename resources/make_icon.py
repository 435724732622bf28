#!/usr/bin/env python3
"""Writes Quillet's application icon to the path given (resources/quillet.ico).

The icon is a blue square in a navy frame holding a white page ruled with
blue lines: the program's file list. It holds 16, 20, 24, 32, 40, 48 and 64
pixel palette images and a 256 pixel PNG.

Windows shows the image nearest the size it wants and shrinks a larger one
with no regard for the pixel grid, so a ruled page shrunk from a big master
turns to grey mush. Each size is therefore drawn on its own grid from its own
row of GEOMETRY: every edge falls on a whole pixel, the ruling keeps one
pitch, and the small sizes get fewer, bolder rules. Only the fold's crease
and the drop shadow of the two large sizes are soft.

The build does not run this; the .ico is kept in the tree.
"""
import math
import os
import struct
import sys
import zlib

NAVY = (32, 48, 96)      # frame, drop shadow
BLUE = (46, 92, 184)     # ground
RULE = (64, 96, 160)     # rules, the page's edge, the fold
PAPER = (244, 244, 240)  # page
FLAP = tuple(round(p + (r - p) * 0.3) for p, r in zip(PAPER, RULE))

# Per size: frame width; page left, top, width, height (edge included); the
# page's right and bottom edge width; rules: margin above the first (and
# below the last), inset from the page's sides, thickness, pitch, count.
# Only the large sizes have a fold (side of the turned-down corner), a drop
# shadow (dx, dy, blur radius, opacity) and a soft (anti-aliased) crease.
GEOMETRY = {
    16: dict(frame=1, page=(4, 2, 8, 12), edge=1, rules=(2, 1, 1, 2, 4)),
    20: dict(frame=1, page=(5, 3, 10, 14), edge=1, rules=(2, 1, 1, 2, 5)),
    24: dict(frame=1, page=(6, 3, 12, 18), edge=1, rules=(2, 2, 1, 3, 5)),
    32: dict(frame=1, page=(8, 4, 16, 24), edge=1, rules=(3, 2, 1, 4, 5)),
    40: dict(frame=1, page=(10, 5, 20, 30), edge=1, rules=(4, 3, 1, 4, 6)),
    48: dict(frame=2, page=(12, 6, 24, 36), edge=2, rules=(4, 3, 2, 6, 5)),
    64: dict(frame=2, page=(16, 8, 32, 48), edge=2, rules=(4, 4, 2, 6, 7),
             fold=8, shadow=(2, 2, 1, 0.45)),
    256: dict(frame=8, page=(64, 32, 128, 192), edge=8, rules=(16, 16, 8, 24, 7),
              fold=32, shadow=(5, 7, 3, 0.45), soft=True),
}


def check(size, g):
    """Refuses a row whose rules do not sit centred in the page's white."""
    x, y, w, h = g["page"]
    top, inset, thick, pitch, count = g["rules"]
    white_h, white_w = h - g["edge"], w - g["edge"]
    below = white_h - top - (count - 1) * pitch - thick
    assert below == top, f"{size}: rules leave {top} above, {below} below"
    assert 2 * inset < white_w, f"{size}: rules wider than the page"
    assert 0 < thick < pitch, f"{size}: rules touch"
    assert (x * 2, y * 2) == (size - w, size - h), f"{size}: page off centre"


class Canvas:
    def __init__(self, size, color):
        self.size = size
        self.px = [[list(map(float, color)) for _ in range(size)] for _ in range(size)]

    def paint(self, x, y, color, alpha):
        if alpha <= 0:
            return
        p = self.px[y][x]
        for i in range(3):
            p[i] += (color[i] - p[i]) * min(alpha, 1.0)

    def rect(self, x0, y0, x1, y1, color):
        for y in range(max(y0, 0), min(y1, self.size)):
            for x in range(max(x0, 0), min(x1, self.size)):
                self.px[y][x] = list(map(float, color))

    def cover(self, cov, color, alpha=1.0):
        for (x, y), c in cov.items():
            if 0 <= x < self.size and 0 <= y < self.size:
                self.paint(x, y, color, c * alpha)

    def rgb(self):
        return [[tuple(round(v) for v in p) for p in row] for row in self.px]


def below_diagonal(i, j, k, soft):
    """Share of pixel (i, j), fold square coordinates, where i - j < k.

    The crease runs at 45 degrees; hard sizes take a pixel whole by its
    centre, the soft ones by the exact area."""
    s = k - (i - j)
    if not soft:
        return 1.0 if s > 0 else 0.0
    if s <= -1:
        return 0.0
    if s <= 0:
        return (1 + s) ** 2 / 2
    if s <= 1:
        return 1 - (1 - s) ** 2 / 2
    return 1.0


def page_shape(g, dx=0, dy=0):
    """Coverage of the page, its folded corner cut away, moved by dx, dy."""
    x, y, w, h = g["page"]
    fold, soft = g.get("fold", 0), g.get("soft", False)
    crease = 0.0 if soft else 0.5
    cov = {}
    for py in range(y, y + h):
        for px in range(x, x + w):
            c = 1.0
            i, j = px - (x + w - fold), py - y
            if fold and i >= 0 and j < fold:
                c = below_diagonal(i, j, crease, soft)
            if c > 0:
                cov[(px + dx, py + dy)] = c
    return cov


def blur(cov, size, radius, passes=3):
    """Box blur, three passes to round it towards a Gaussian."""
    n = 2 * radius + 1
    grid = [[cov.get((x, y), 0.0) for x in range(size)] for y in range(size)]
    for _ in range(2 * passes):
        grid = [[sum(row[max(0, x - radius):x + radius + 1]) / n for x in range(size)]
                for row in grid]
        grid = [list(col) for col in zip(*grid)]  # the next pass runs down
    return {(x, y): v for y, row in enumerate(grid) for x, v in enumerate(row) if v > 0.002}


def draw(size):
    g = GEOMETRY[size]
    check(size, g)
    x, y, w, h = g["page"]
    edge, fold, soft = g["edge"], g.get("fold", 0), g.get("soft", False)
    top, inset, thick, pitch, count = g["rules"]

    c = Canvas(size, NAVY)
    f = g["frame"]
    c.rect(f, f, size - f, size - f, BLUE)

    if "shadow" in g:
        dx, dy, radius, opacity = g["shadow"]
        c.cover(blur(page_shape(g, dx, dy), size, radius), NAVY, opacity)

    c.cover(page_shape(g), PAPER)
    c.rect(x + w - edge, y + fold, x + w, y + h, RULE)
    c.rect(x, y + h - edge, x + w - edge, y + h, RULE)

    fold_left = x + w - fold
    for n in range(count):
        ry = y + top + n * pitch
        right = x + w - edge - inset
        if fold and ry < y + fold:
            right = min(right, fold_left - thick)
        c.rect(x + inset, ry, right, ry + thick, RULE)

    if fold:
        # The turned-down corner: a tinted triangle whose legs and crease are
        # drawn as thin rule-coloured strokes.
        stroke = max(1, edge // 2)
        crease = 0.0 if soft else 0.5
        band = stroke * math.sqrt(2) if soft else stroke
        for j in range(fold):
            for i in range(fold):
                inside = below_diagonal(i, j, crease, soft)
                if inside <= 0:
                    continue
                px, py = fold_left + i, y + j
                c.paint(px, py, FLAP, inside)
                line = inside - below_diagonal(i, j, crease - band, soft)
                if i < stroke or j >= fold - stroke:
                    line = inside
                c.paint(px, py, RULE, line)
    return c.rgb()


def dib(rgb):
    """Palette BITMAPINFOHEADER image, bottom-up, height doubled for the mask.

    The icon is linked into the program file, which is kept small, and every
    pixel is opaque: a palette of the colours used costs 4 or 8 bits a pixel
    where 32-bit BGRA costs 32, with an alpha byte that is always 255."""
    size = len(rgb)
    colors = sorted({p for row in rgb for p in row})
    # No size draws more than 256 colours; one that did would need its
    # shadow's blend levels quantised, which is not done here.
    assert len(colors) <= 256, f"{size}: {len(colors)} colours"
    bits = 4 if len(colors) <= 16 else 8
    index = {p: i for i, p in enumerate(colors)}
    row_bytes = (size * bits + 31) // 32 * 4
    mask_row = (size + 31) // 32 * 4
    rows = []
    for row in reversed(rgb):
        ids = [index[p] for p in row]
        if bits == 4:
            ids += [0] * (len(ids) % 2)
            ids = [hi << 4 | lo for hi, lo in zip(ids[::2], ids[1::2])]
        rows.append(bytes(ids).ljust(row_bytes, b"\0"))
    pixels = b"".join(rows)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colors)
    mask = bytes(mask_row * size)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(pixels) + len(mask), 0, 0, len(colors), 0)
    return header + palette + pixels + mask


def png(rgb):
    size = len(rgb)
    raw = b"".join(b"\0" + bytes(v for r, g, b in row for v in (r, g, b, 255)) for row in rgb)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico(images):
    """ICONDIR, one 16-byte entry per image (0 means 256), then the images.

    An entry's bit count is read from its DIB's header, so the two agree;
    bColorCount is the palette's size below 8 bits, else 0."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = 0 if size >= 256 else size
        bits = 32 if data.startswith(b"\x89PNG") else struct.unpack_from("<H", data, 14)[0]
        colors = 1 << bits if bits < 8 else 0
        out += struct.pack("<BBBBHHII", side, side, colors, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "quillet.ico")
    images = [(s, png(draw(s)) if s >= 256 else dib(draw(s))) for s in sorted(GEOMETRY)]
    with open(path, "wb") as f:
        f.write(ico(images))


if __name__ == "__main__":
    main()
