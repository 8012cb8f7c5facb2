#!/usr/bin/env python3
"""Regenerates Purgix's artwork in res/.

    tools/make-art.py [output-directory]      (default: res/ next to tools/)

Everything is drawn from code so the pictures can be tweaked and rebuilt
without an image editor. Only the Python standard library is used and the
output is byte-for-byte reproducible: no timestamps, no randomness, fixed
zlib settings.

Icons are described with signed distance functions (negative inside) and
rasterised with supersampling: each pixel near an edge is sampled on an
NxN grid and the hits averaged, which is the same as rendering N times
larger and box-filtering down, only cheaper because pixels far from any
edge are settled from one distance look-up.
"""

import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# Shapes: each is a function (x, y) -> signed distance in pixels.
# --------------------------------------------------------------------------


def rounded_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def sdf(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def polygon(points):
    """Exact distance to a simple polygon; the sign comes from even-odd."""
    pts = list(points)
    edges = []
    for i, (ax, ay) in enumerate(pts):
        bx, by = pts[(i + 1) % len(pts)]
        ex, ey = bx - ax, by - ay
        edges.append((ax, ay, bx, by, ex, ey, ex * ex + ey * ey))

    def sdf(x, y):
        best = float("inf")
        inside = False
        for ax, ay, bx, by, ex, ey, ee in edges:
            wx, wy = x - ax, y - ay
            t = min(max((wx * ex + wy * ey) / ee, 0.0), 1.0)
            dx, dy = wx - ex * t, wy - ey * t
            d = dx * dx + dy * dy
            if d < best:
                best = d
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * ex / ey:
                    inside = not inside
        d = math.sqrt(best)
        return -d if inside else d
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grow(shape, d):
    return lambda x, y: shape(x, y) - d


def ring(shape, width):
    """The band of the given width just inside the outline of a shape."""
    return lambda x, y: max(shape(x, y), -(shape(x, y) + width))


def moved(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# --------------------------------------------------------------------------
# Colour and paint
# --------------------------------------------------------------------------


def rgb(hex_colour):
    v = int(hex_colour.lstrip("#"), 16)
    return ((v >> 16) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0)


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def linear(x0, y0, c0, x1, y1, c1):
    """A gradient from c0 at (x0, y0) to c1 at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    dd = dx * dx + dy * dy
    return lambda x, y: mix(c0, c1, ((x - x0) * dx + (y - y0) * dy) / dd)


def smoothstep(e0, e1, v):
    t = min(max((v - e0) / (e1 - e0), 0.0), 1.0)
    return t * t * (3.0 - 2.0 * t)


class Canvas:
    """Premultiplied RGBA in floats, composited with 'over'.

    Shapes, paints and boxes are given in design pixels; a canvas of scale s
    has s pixels for each of them (a skin's twice-size picture), and draws
    the same design with edges as sharp as its own pixels allow.
    """

    def __init__(self, w, h, s=1):
        self.w, self.h, self.s = w * s, h * s, s
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]

    def pixels(self, box):
        """The pixel ranges a box in design pixels covers: (i0, j0, i1, j1)."""
        s = self.s
        x0, y0, x1, y1 = box or (0, 0, self.w / s, self.h / s)
        return (max(int(x0 * s), 0), max(int(y0 * s), 0),
                min(int(math.ceil(x1 * s)), self.w), min(int(math.ceil(y1 * s)), self.h))

    def _put(self, i, j, colour, a):
        if a <= 0.0:
            return
        p = self.px[j * self.w + i]
        k = 1.0 - a
        p[0] = colour[0] * a + p[0] * k
        p[1] = colour[1] * a + p[1] * k
        p[2] = colour[2] * a + p[2] * k
        p[3] = a + p[3] * k

    def fill(self, shape, paint, opacity=1.0, ss=8, box=None):
        """Fills a shape; `paint` is an (r, g, b) tuple or f(x, y)."""
        s = self.s
        x0, y0, x1, y1 = self.pixels(box)
        offsets = [(k + 0.5) / ss for k in range(ss)]
        n = float(ss * ss)
        for j in range(y0, y1):
            for i in range(x0, x1):
                d = shape((i + 0.5) / s, (j + 0.5) / s) * s   # in this canvas's pixels
                if d >= 0.71:
                    continue
                if d <= -0.71:
                    cover = 1.0
                else:
                    hits = 0
                    for oy in offsets:
                        for ox in offsets:
                            if shape((i + ox) / s, (j + oy) / s) < 0.0:
                                hits += 1
                    if not hits:
                        continue
                    cover = hits / n
                colour = paint((i + 0.5) / s, (j + 0.5) / s) if callable(paint) else paint
                self._put(i, j, colour, cover * opacity)

    def glow(self, shape, colour, opacity, spread, box=None):
        """A soft-edged fill (drop shadows): fades over +-spread design pixels."""
        s = self.s
        x0, y0, x1, y1 = self.pixels(box)
        for j in range(y0, y1):
            for i in range(x0, x1):
                d = shape((i + 0.5) / s, (j + 0.5) / s)
                self._put(i, j, colour, opacity * (1.0 - smoothstep(-spread, spread, d)))

    def rgba8(self):
        """Straight (not premultiplied) 8-bit RGBA rows, top row first."""
        out = []
        for j in range(self.h):
            row = []
            for i in range(self.w):
                r, g, b, a = self.px[j * self.w + i]
                if a <= 0.0:
                    row.append((0, 0, 0, 0))
                    continue
                q = lambda v: min(max(int(round(v / a * 255.0)), 0), 255)
                row.append((q(r), q(g), q(b), min(max(int(round(a * 255.0)), 0), 255)))
            out.append(row)
        return out


# --------------------------------------------------------------------------
# The chip
# --------------------------------------------------------------------------

TEAL = rgb("#2ED8C3")
BLUE = rgb("#1C5FD6")
RIM_TOP = rgb("#0F5AA8")
RIM_BOTTOM = rgb("#0A3577")
PIN_LIGHT = rgb("#EEF3F7")
PIN_MID = rgb("#C3CFDB")
PIN_DARK = rgb("#8E9FB3")
PIN_RIM = rgb("#4B5F78")
WHITE = (1.0, 1.0, 1.0)
INK = rgb("#082B63")
ARROW_FOOT = rgb("#DDEFFC")


def draw_chip(size, tray=False):
    """The chip with its release arrow, drawn on a 16-unit grid scaled to size.

    Coordinates are chosen on whole units so that at 16 and 32 pixels the
    straight edges fall on pixel boundaries and stay sharp; only curves and
    diagonals get grey levels. Finer touches (shadow, pin-one mark, sheen)
    are only added where there are enough pixels to carry them.
    """
    k = size / 16.0
    c = Canvas(size, size)
    big = size >= 48

    if tray:
        # The notification area shows 16 pixels on a busy, often dark,
        # taskbar: use the whole square and a longer arrow.
        body = (2, 0, 14, 16)
        pin_rows = (2, 7, 12)
        pin_h = 2
        arrow = dict(tip=2.0, head=6.0, half=4.0, shaft=1.0, foot=14.0)
    else:
        body = (2, 1, 14, 15)
        pin_rows = (3, 7, 11)
        pin_h = 2
        arrow = dict(tip=3.0, head=7.0, half=4.0, shaft=1.0, foot=12.5)
        if size >= 256:
            # Room for a fourth pair of legs and a slimmer arrow.
            pin_rows = (2.75, 5.75, 8.75, 11.75)
            pin_h = 1.5
            arrow = dict(tip=3.25, head=7.0, half=3.75, shaft=1.25, foot=12.25)

    bx0, by0, bx1, by1 = (v * k for v in body)
    radius = {16: 1.6, 32: 3.0, 48: 4.5}.get(size, 1.6 * k)
    rim = {16: 1.0, 32: 1.25, 48: 1.75}.get(size, size / 40.0)

    chip = rounded_rect(bx0, by0, bx1, by1, radius)

    if size >= 32 and not tray:
        # Soft shadow below so the chip lifts off light desktops.
        shadow = moved(rounded_rect(bx0 + 0.5 * k, by0, bx1 - 0.5 * k, by1, radius),
                       0, 0.35 * k)
        c.glow(shadow, INK, 0.35 if big else 0.25, max(0.45 * k, 1.0))

    # Pins: metal legs on both long sides, tucked under the body.
    pin_r = 0.0 if size <= 16 else min(0.45 * k, 2.5 if size < 256 else 0.3 * k)
    for row in pin_rows:
        y0, y1 = row * k, (row + pin_h) * k
        for (x0, x1) in ((0.0, bx0 + radius), (bx1 - radius, 16.0 * k)):
            leg = rounded_rect(x0, y0, x1, y1, pin_r)
            if size <= 16:
                # Too small for a rim: use a mid tone that shows on both
                # light and dark taskbars.
                c.fill(leg, linear(0, y0, PIN_MID, 0, y1, PIN_DARK))
            else:
                metal = linear(0, y0, PIN_LIGHT, 0, y1, PIN_DARK)
                c.fill(leg, PIN_RIM)
                edge = max(k * 0.25, 1.0)
                c.fill(grow(leg, -edge), metal)

    # Body: teal to blue from the top-left corner, with a darker rim.
    body_paint = linear(bx0, by0, TEAL, bx1 * 0.8, by1, BLUE)
    c.fill(chip, linear(0, by0, RIM_TOP, 0, by1, RIM_BOTTOM))
    c.fill(grow(chip, -rim), body_paint)

    if big:
        # Sheen across the upper half and a pin-one mark: cheap details
        # that make the large icon read as an object rather than a flat tile.
        inner = grow(chip, -rim)
        sheen = intersect(inner, circle((bx0 + bx1) / 2, by0 - 5.0 * k, 10.6 * k))
        c.fill(sheen, WHITE, opacity=0.16)
        c.fill(ring(inner, max(k * 0.12, 1.0)), WHITE, opacity=0.18)
        c.fill(circle(bx0 + 2.0 * k, by0 + 2.0 * k, 0.7 * k), RIM_BOTTOM, opacity=0.45)

    # The release arrow.
    mid = (bx0 + bx1) / 2.0
    tip, head, half = arrow["tip"] * k, arrow["head"] * k, arrow["half"] * k
    shaft, foot = arrow["shaft"] * k, arrow["foot"] * k
    pts = [(mid, tip), (mid + half, head), (mid + shaft, head), (mid + shaft, foot),
           (mid - shaft, foot), (mid - shaft, head), (mid - half, head)]
    soft = 0.0
    if big:
        # Round the corners a little; the polygon is pulled in by the same
        # amount so the arrow keeps its size.
        soft = 0.18 * k
        pts = inset_arrow(pts, soft)
    shape = grow(polygon(pts), soft)
    if size >= 32:
        c.glow(moved(shape, 0, 0.3 * k), INK, 0.35, max(0.3 * k, 0.8))
    c.fill(shape, linear(0, tip, WHITE, 0, foot, ARROW_FOOT) if big else WHITE)
    return c


def inset_arrow(pts, d):
    """Moves every edge of a polygon inwards by d (mitred corners)."""
    n = len(pts)
    area = sum(pts[i][0] * pts[(i + 1) % n][1] - pts[(i + 1) % n][0] * pts[i][1]
               for i in range(n))
    sign = 1.0 if area > 0 else -1.0
    lines = []
    for i in range(n):
        (ax, ay), (bx, by) = pts[i], pts[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        length = math.hypot(ex, ey)
        nx, ny = -ey / length * sign, ex / length * sign   # inward normal
        lines.append((ax + nx * d, ay + ny * d, ex, ey))
    out = []
    for i in range(n):
        ax, ay, ex, ey = lines[i - 1]
        bx, by, fx, fy = lines[i]
        den = ex * fy - ey * fx
        t = ((bx - ax) * fy - (by - ay) * fx) / den
        out.append((ax + ex * t, ay + ey * t))
    return out


# --------------------------------------------------------------------------
# File formats
# --------------------------------------------------------------------------


def png_bytes(rows):
    """Rows of 8-bit (r, g, b, a) or (r, g, b) pixels."""
    h, w = len(rows), len(rows[0])
    colour_type = 6 if len(rows[0][0]) == 4 else 2
    bpp = len(rows[0][0])
    raw = bytearray()
    previous = bytes(w * bpp)
    for row in rows:
        line = b"".join(bytes(px) for px in row)
        # Each row with the filter that leaves the smallest residues (the usual
        # heuristic): gradients and flat areas shrink to a fraction.
        best = None
        for kind in range(5):
            out = bytearray(len(line))
            for i, x in enumerate(line):
                a = line[i - bpp] if i >= bpp else 0
                b = previous[i]
                c = previous[i - bpp] if i >= bpp else 0
                if kind == 0:
                    p = 0
                elif kind == 1:
                    p = a
                elif kind == 2:
                    p = b
                elif kind == 3:
                    p = (a + b) // 2
                else:
                    pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                    p = a if pa <= pb and pa <= pc else b if pb <= pc else c
                out[i] = (x - p) & 0xFF
            cost = sum(v if v < 128 else 256 - v for v in out)
            if best is None or cost < best[0]:
                best = (cost, kind, out)
        raw.append(best[1])
        raw += best[2]
        previous = line

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, colour_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def and_mask(rows, opaque):
    """1 bit per pixel, bottom-up, rows padded to 32 bits; 1 = transparent."""
    w = len(rows[0])
    stride = (w + 31) // 32 * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for i, px in enumerate(row):
            if not opaque(px):
                line[i >> 3] |= 0x80 >> (i & 7)
        out += line
    return bytes(out)


def dib_header(w, h, bits, colours=0):
    # Icon images store the XOR and AND bitmaps stacked, hence 2 * h.
    return struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, 0, 0, 0, colours, 0)


def icon_entry_8bit(rows):
    """A 256-colour image for shells without alpha: edges are thresholded."""
    h, w = len(rows), len(rows[0])
    solid = [p[:3] for row in rows for p in row if p[3] >= 128]
    palette = median_cut(solid, 255)
    index = {}

    def nearest(c):
        if c not in index:
            index[c] = min(range(len(palette)), key=lambda n: sum(
                (c[t] - palette[n][t]) ** 2 for t in range(3)))
        return index[c]
    table = [(0, 0, 0)] + palette
    table += [(0, 0, 0)] * (256 - len(table))
    data = bytearray(dib_header(w, h, 8, 256))
    for r, g, b in table:
        data += bytes((b, g, r, 0))
    stride = (w + 3) // 4 * 4
    for row in reversed(rows):
        line = bytearray(stride)
        for i, p in enumerate(row):
            line[i] = 1 + nearest(p[:3]) if p[3] >= 128 else 0
        data += line
    data += and_mask(rows, lambda p: p[3] >= 128)
    return bytes(data), 8, 0


def median_cut(colours, limit):
    if len(set(colours)) <= limit:
        return sorted(set(colours))
    boxes = [sorted(colours)]
    while len(boxes) < limit:
        best, axis, spread = None, 0, -1
        for n, box in enumerate(boxes):
            if len(set(box)) < 2:
                continue
            for t in range(3):
                vals = [c[t] for c in box]
                s = max(vals) - min(vals)
                if s > spread:
                    best, axis, spread = n, t, s
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda c: (c[axis], c))
        m = len(box) // 2
        boxes += [box[:m], box[m:]]
    out = []
    for box in boxes:
        out.append(tuple(int(round(sum(c[t] for c in box) / len(box))) for t in range(3)))
    return sorted(set(out))


def write_ico(path, images):
    """images: list of (width, height, data, bits, colour_count)."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for w, h, data, bits, colours in images:
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, 1, bits,
                               len(data), offset)
        blobs += data
        offset += len(data)
    with open(path, "wb") as f:
        f.write(header + entries + blobs)


# Every size Windows asks for between 100 % and 300 % scaling: small icons
# (16 at 100 %, 20 at 125 %, 24 at 150 %, 32 at 200 %, 40 at 250 %, 48 at 300 %)
# and large ones (32, 40, 48, ...), so that nothing is stretched.
ICON_SIZES = (48, 40, 32, 24, 20, 16)


def make_program_icon(path):
    # Every 32-bit image PNG-compressed, as Windows reads them since Vista: a
    # third of the bytes of raw pixels, which the program carries inside itself.
    images = []
    for size in (256,) + ICON_SIZES:
        rows = draw_chip(size).rgba8()
        images.append((size, size, png_bytes(rows), 32, 0))
        if size == 32:
            rows32 = rows
    data, bits, colours = icon_entry_8bit(rows32)
    images.append((32, 32, data, bits, colours))
    write_ico(path, images)


def make_tray_icon(path):
    images = [(size, size, png_bytes(draw_chip(size, tray=True).rgba8()), 32, 0) for size in ICON_SIZES]
    write_ico(path, images)


# --------------------------------------------------------------------------
# Hand cursor
# --------------------------------------------------------------------------

# X black, o white, anything else transparent. The finger tip is the black
# run on row 0 centred on column 5, which is where the hot spot goes.
HAND = """
....XXX.........................
...XoooX........................
...XoooX........................
...XoooX........................
...XoooX........................
...XoooX........................
...XoooXXXX.....................
...XoooXoooXXXX.................
...XoooXoooXoooXXX..............
...XoooXoooXoooXooX.............
...XoooXoooXoooXooX.............
...XoooooooooooooooX............
.XXXoooooooooooooooX............
XoooXooooooooooooooX............
XooooXoooooooooooooX............
.XoooooooooooooooooX............
.XooooooooooooooooX.............
..XoooooooooooooooX.............
...XoooooooooooooX..............
....XooooooooooooX..............
....XooooooooooooX..............
....XXXXXXXXXXXXXX..............
"""

HAND_HOTSPOT = (5, 0)


# The cursor sizes of 100 %, 150 % and 200 % scaling.
CURSOR_SIZES = (32, 48, 64)


def hand_grid(size):
    """The hand's pixel art at size x size: each art pixel covers the pixels
    whose centres fall in it, so the finger keeps its tip at the hot spot."""
    art = [(line + "." * 32)[:32] for line in HAND.strip("\n").split("\n")]
    art += ["." * 32] * (32 - len(art))
    return ["".join(art[int((y + 0.5) * 32 / size)][int((x + 0.5) * 32 / size)] for x in range(size)) for y in range(size)]


def make_hand_cursor(path):
    entries, blobs = b"", b""
    offset = 6 + 16 * len(CURSOR_SIZES)
    for size in CURSOR_SIZES:
        row_bytes = (size + 31) // 32 * 4
        xor, andm = bytearray(), bytearray()
        for line in reversed(hand_grid(size)):
            xrow, arow = bytearray(row_bytes), bytearray(row_bytes)
            for i, ch in enumerate(line):
                bit = 0x80 >> (i & 7)
                if ch == "o":
                    xrow[i >> 3] |= bit          # palette entry 1: white
                elif ch != "X":
                    arow[i >> 3] |= bit          # keep the screen
            xor += xrow
            andm += arow
        dib = dib_header(size, size, 1, 2) + bytes((0, 0, 0, 0, 255, 255, 255, 0)) + xor + andm
        # The hot spot scaled with the hand: the middle of the fingertip's top row.
        hx, hy = (HAND_HOTSPOT[0] * size + size // 2) // 32, HAND_HOTSPOT[1]
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 2, 0, hx, hy, len(dib), offset)
        blobs += dib
        offset += len(dib)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 2, len(CURSOR_SIZES)) + entries + blobs)


# --------------------------------------------------------------------------
# Page indicators: vertical labels in a small pixel font
# --------------------------------------------------------------------------

# Glyph cells are 9 rows: 7 for capitals and ascenders, 2 for descenders.
# Lower case has a 5-row x-height, so the whole cell fits the 11-pixel strip
# with a pixel to spare on each side.
FONT = {
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "h": ["#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "i": [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "r": ["....", "....", "#.##", "##..", "#...", "#...", "#..."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "t": [".#..", ".#..", "###.", ".#..", ".#..", ".#..", "..##"],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
    " ": ["..", "..", "..", "..", "..", "..", ".."],
}
CELL_ROWS = 9
TEXT_COLOUR = (0x26, 0x26, 0x26)


def set_line(text):
    """Lays the text out horizontally: a list of CELL_ROWS strings."""
    lines = [""] * CELL_ROWS
    for n, ch in enumerate(text):
        glyph = FONT[ch]
        width = len(glyph[0])
        for r in range(CELL_ROWS):
            lines[r] += (glyph[r] if r < len(glyph) else "." * width)
            if n + 1 < len(text):
                lines[r] += "."
    return lines


def write_indicator(path, text, w, h):
    """A strip w wide and h tall with the text reading upwards.

    The label is turned a quarter left: the tops of the letters face the
    left edge and the first letter sits at the bottom. Descender rows are
    dropped from the height when the text has none, so narrow strips still
    centre the letters.
    """
    lines = set_line(text)
    while lines and "#" not in lines[-1]:
        lines.pop()
    if len(lines) > w or len(lines[0]) > h:
        raise SystemExit("%s: %r does not fit in %dx%d" % (path, text, w, h))
    across = (w - len(lines)) // 2
    # Centred along the strip; an odd pixel goes below the text so it
    # leans towards the lower edge it is aligned with.
    along = (h - len(lines[0]) + 1) // 2
    ink = set()
    for r, line in enumerate(lines):
        for x, ch in enumerate(line):
            if ch == "#":
                ink.add((across + r, h - 1 - (along + x)))
    # One bit a pixel, bottom-up rows padded to 32 bits: palette entry 1 is
    # the ink, which the program makes opaque, and 0 the clear background.
    r, g, b = TEXT_COLOUR
    stride = (w + 31) // 32 * 4
    pixels = bytearray()
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            if (x, y) in ink:
                row[x >> 3] |= 0x80 >> (x & 7)
        pixels += row
    palette = bytes((0, 0, 0, 0, b, g, r, 0))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 1, 0, len(pixels), 2835, 2835, 2, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(palette) + len(pixels), 0, 0,
                       14 + len(info) + len(palette))
    with open(path, "wb") as f:
        f.write(head + info + palette + pixels)


# --------------------------------------------------------------------------


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, os.pardir, "res")
    os.makedirs(out, exist_ok=True)
    make_program_icon(os.path.join(out, "Purgix.ico"))
    make_tray_icon(os.path.join(out, "Tray.ico"))
    make_hand_cursor(os.path.join(out, "Hand.cur"))
    write_indicator(os.path.join(out, "Indicator0.bmp"), "Zarvex Report", 11, 89)
    write_indicator(os.path.join(out, "Indicator1.bmp"), "Chart", 9, 36)
    write_indicator(os.path.join(out, "Indicator2.bmp"), "Options", 11, 51)


if __name__ == "__main__":
    main()
