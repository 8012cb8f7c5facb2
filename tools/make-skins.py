#!/usr/bin/env python3
"""Regenerates the skins that ship with Purgix, in skins/.

    tools/make-skins.py [--check] [skins-folder [help-folder]]   (default: skins/ and help/)

It also marks the control areas on the first skin for the help, as
help/skin-layout.png. With --check it writes nothing and fails when the
committed files are not what the code draws.

Each skin is a background picture of the whole client area (480 x 210) and
an .ini file with its three colours. The pictures are drawn from code with
the shapes and the chip of tools/make-art.py, so the logo matches the
program icon and a skin can be retouched by editing numbers.

The output is byte-for-byte reproducible: PNG and BMP are written here with
fixed settings; the JPEG is encoded by ImageMagick's convert from a plain
pixel dump with metadata stripped, which is deterministic for a given
ImageMagick. The committed files are what the build ships, so only someone
changing the art needs this script (and convert, for the JPEG).
"""

import importlib.util
import math
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def _load_art():
    found = importlib.util.spec_from_file_location("make_art", os.path.join(HERE, "make-art.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


art = _load_art()
Canvas = art.Canvas
rounded_rect, circle, polygon = art.rounded_rect, art.circle, art.polygon
union, intersect = art.union, art.intersect
grow, ring, moved = art.grow, art.ring, art.moved
rgb, mix, linear, smoothstep = art.rgb, art.mix, art.linear, art.smoothstep
png_bytes = art.png_bytes
WHITE = (1.0, 1.0, 1.0)

W, H = 480, 210

# Where the window puts its controls over the picture (client pixels).
LOGO = (8, 8, 113, 49)            # the click area that opens the home page
TAB_BUTTON = (424, 72, 41, 41)    # cycles the pages
RELEASE_BUTTON = (424, 128, 41, 41)
PAGE = (56, 80, 337, 97)          # the table covers all of it; chart and options do not
INDICATOR_SLOT = (19, 83, 21, 99)  # round the page indicator: x 24..34, y 88..176


# --------------------------------------------------------------------------
# Shapes make-art does not have
# --------------------------------------------------------------------------


def segment(ax, ay, bx, by, r):
    """A stroke of half-width r from a to b with round ends."""
    ex, ey = bx - ax, by - ay
    ee = ex * ex + ey * ey or 1e-12

    def sdf(x, y):
        wx, wy = x - ax, y - ay
        t = min(max((wx * ex + wy * ey) / ee, 0.0), 1.0)
        return math.hypot(wx - ex * t, wy - ey * t) - r
    return sdf


def arc(cx, cy, radius, a0, a1, r):
    """A stroke of half-width r along a circle, from angle a0 to a1.

    Angles are in degrees on the screen (y down), so growing angles turn
    clockwise. The ends are round, like segment().
    """
    span = (a1 - a0) % 360.0 or 360.0
    ends = [(cx + radius * math.cos(math.radians(a)), cy + radius * math.sin(math.radians(a)))
            for a in (a0, a1)]

    def sdf(x, y):
        dx, dy = x - cx, y - cy
        a = (math.degrees(math.atan2(dy, dx)) - a0) % 360.0
        if a <= span:
            return abs(math.hypot(dx, dy) - radius) - r
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - r
    return sdf


def leaf(bx, by, angle, length, width):
    """A pointed leaf from its base along angle (radians): where two discs overlap."""
    radius = (length * length / 4.0 + width * width / 4.0) / width
    mx, my = bx + math.cos(angle) * length / 2.0, by + math.sin(angle) * length / 2.0
    nx, ny = -math.sin(angle), math.cos(angle)
    off = radius - width / 2.0
    return intersect(circle(mx + nx * off, my + ny * off, radius),
                     circle(mx - nx * off, my - ny * off, radius))


def rect(x0, y0, x1, y1):
    return rounded_rect(x0, y0, x1, y1, 0.0)


# --------------------------------------------------------------------------
# The word mark: a monoline geometric face, just the letters it needs
# --------------------------------------------------------------------------

# Centre lines in font units, y up from the baseline: x-height 8, capitals
# 12, round letters on circles of radius 4. ("S", ax, ay, bx, by) is a
# straight stroke, ("A", cx, cy, radius, from, to) an arc with angles
# counter-clockwise as in a maths book, ("D", x, y, scale) a dot.
GLYPHS = {
    "P": (5.6, [("S", 0, 0, 0, 12), ("S", 0, 12, 2.6, 12), ("A", 2.6, 9.2, 2.8, -90, 90),
                ("S", 0, 6.4, 2.6, 6.4)]),
    "u": (7.6, [("S", 0, 8, 0, 3.8), ("A", 3.8, 3.8, 3.8, 180, 360), ("S", 7.6, 8, 7.6, 0)]),
    "r": (5.2, [("S", 0, 0, 0, 8), ("A", 4.2, 3.8, 4.2, 62, 180)]),
    "g": (7.6, [("A", 3.8, 4.2, 3.8, 0, 360), ("S", 7.6, 8, 7.6, -0.6),
                ("A", 3.8, -0.6, 3.8, 205, 360)]),
    "i": (0.0, [("S", 0, 0, 0, 8), ("D", 0, 11.4, 1.2)]),
    "x": (7.0, [("S", 0, 0, 7, 8), ("S", 0, 8, 7, 0)]),
}


def word(text, x, baseline, scale, weight, tracking):
    """The word's outline as one shape, and its box in pixels.

    weight is the stroke width and tracking the space between letters,
    both in font units.
    """
    half = weight * scale / 2.0
    parts = []
    pen = x + half
    for ch in text:
        advance, strokes = GLYPHS[ch]
        for s in strokes:
            if s[0] == "S":
                _, ax, ay, bx, by = s
                parts.append(segment(pen + ax * scale, baseline - ay * scale,
                                     pen + bx * scale, baseline - by * scale, half))
            elif s[0] == "A":
                _, cx, cy, radius, a0, a1 = s
                parts.append(arc(pen + cx * scale, baseline - cy * scale, radius * scale,
                                 -a1, -a0, half))
            else:
                _, cx, cy, k = s
                parts.append(circle(pen + cx * scale, baseline - cy * scale, half * k))
        pen += (advance + tracking + weight) * scale
    pen -= (tracking + weight) * scale
    box = (x - 1, baseline - (12 + weight) * scale - 1, pen + half + 1,
           baseline + (4.4 + weight) * scale + 1)
    return union(*parts), box


# --------------------------------------------------------------------------
# Painting helpers
# --------------------------------------------------------------------------


def flood(c, paint):
    """Paints every pixel opaque: the base of a background."""
    for j in range(c.h):
        for i in range(c.w):
            r, g, b = paint((i + 0.5) / c.s, (j + 0.5) / c.s)
            c.px[j * c.w + i] = [r, g, b, 1.0]


def wash(c, colour, strength, box):
    """Lays a colour over a box with a per-pixel opacity: glows and ribbons."""
    x0, y0, x1, y1 = (int(v) for v in box)
    for j in range(y0 * c.s, y1 * c.s):
        for i in range(x0 * c.s, x1 * c.s):
            c._put(i, j, colour, strength((i + 0.5) / c.s, (j + 0.5) / c.s))


def paste(c, other, ox, oy):
    """Composites another (premultiplied) canvas over c at a whole-pixel offset (design pixels)."""
    ox, oy = ox * c.s, oy * c.s
    for j in range(other.h):
        for i in range(other.w):
            r, g, b, a = other.px[j * other.w + i]
            if a <= 0.0:
                continue
            p = c.px[(j + oy) * c.w + (i + ox)]
            k = 1.0 - a
            p[0], p[1], p[2], p[3] = r + p[0] * k, g + p[1] * k, b + p[2] * k, a + p[3] * k


def box_of(x0, y0, x1, y1, pad=3):
    return (x0 - pad, y0 - pad, x1 + pad, y1 + pad)


def vertical(y0, c0, y1, c1):
    return linear(0, y0, c0, 0, y1, c1)


# --------------------------------------------------------------------------
# Pieces every skin has
# --------------------------------------------------------------------------


def draw_logo(c, style):
    """The chip of the program icon and the word "Purgix", in the logo area."""
    x, y, w, h = LOGO
    size = 32
    chip = art.draw_chip(size * c.s)
    top = y + (h - size) // 2
    paste(c, chip, x + 4, top)
    # The word's capitals are centred on the chip; the g hangs below.
    scale = 1.21
    shape, box = word("Purgix", x + size + 9, top + size / 2.0 + 6.0 * scale, scale, 2.3, 1.55)
    if style.get("word_shadow"):
        c.glow(moved(shape, 0, 1.0), style["word_shadow"], 0.5, 1.2, box)
    c.fill(shape, vertical(box[1] + 3, style["word"][0], box[3] - 4, style["word"][1]), box=box)
    if box[2] - 1 > x + w:
        raise SystemExit("the word mark runs out of the logo area (to x %.1f)" % (box[2] - 1))


def draw_panel(c, style):
    """The frame round the pages, and the surface the options page sits on."""
    px, py, pw, ph = PAGE
    x0, y0, x1, y1 = px - 5, py - 5, px + pw + 5, py + ph + 5
    outline = rounded_rect(x0, y0, x1, y1, 6)
    area = box_of(x0, y0, x1, y1, 6)
    c.glow(moved(outline, 0, 1.5), style["shadow"], style.get("shadow_opacity", 0.22), 3.0, area)
    c.fill(outline, style["frame_edge"], box=area)
    c.fill(grow(outline, -1), vertical(y0, style["frame"][0], y1, style["frame"][1]), box=area)
    # The pages' own rectangle: a hairline well, then the flat surface the
    # option captions are written on.
    well = rect(px - 1, py - 1, px + pw + 1, py + ph + 1)
    c.fill(well, style["well_edge"], box=area)
    c.fill(rect(px, py, px + pw, py + ph), style["surface"], box=area)


def draw_slot(c, style):
    """The slot that holds the page indicator."""
    x, y, w, h = INDICATOR_SLOT
    outline = rounded_rect(x, y, x + w, y + h, 5)
    area = box_of(x, y, x + w, y + h, 6)
    c.glow(moved(outline, 0, 1.5), style["shadow"], style.get("shadow_opacity", 0.22), 3.0, area)
    c.fill(outline, style["frame_edge"], box=area)
    c.fill(grow(outline, -1), vertical(y, style["frame"][0], y + h, style["frame"][1]), box=area)
    c.fill(rounded_rect(x + 3, y + 3, x + w - 3, y + h - 3, 3), style["well_edge"], box=area)
    c.fill(rounded_rect(x + 4, y + 4, x + w - 4, y + h - 4, 2), style["surface"], box=area)


def cycle_glyph(cx, cy, half):
    """Two arrows chasing each other round a circle: "the next page"."""
    radius = 7.2
    parts = []
    for start in (-160.0, 20.0):
        end = start + 118.0
        parts.append(arc(cx, cy, radius, start, end, half))
        a = math.radians(end + 8.0)
        px, py = cx + radius * math.cos(a), cy + radius * math.sin(a)
        tx, ty = -math.sin(a), math.cos(a)          # clockwise tangent
        nx, ny = math.cos(a), math.sin(a)           # outwards
        head = [(px + tx * 4.6, py + ty * 4.6),
                (px - tx * 0.8 + nx * 4.0, py - ty * 0.8 + ny * 4.0),
                (px - tx * 0.8 - nx * 4.0, py - ty * 0.8 - ny * 4.0)]
        parts.append(grow(polygon(head), 0.35))
    return union(*parts)


def bolt_glyph(cx, cy):
    """A lightning bolt: memory set free at once."""
    pts = [(2.6, -11.0), (-6.4, 1.6), (-0.6, 1.6), (-2.6, 11.0), (6.4, -1.6), (0.6, -1.6)]
    return grow(polygon([(cx + x * 0.95, cy + y * 0.95) for x, y in pts]), 0.45)


def draw_button(c, area, face, glyph, style):
    x, y, w, h = area
    cx, cy = x + w / 2.0, y + h / 2.0
    disc = circle(cx, cy, 18.5)
    box = box_of(x, y, x + w, y + h, 4)
    c.glow(moved(disc, 0, 1.6), style["shadow"], style.get("button_shadow", 0.35), 2.2, box)
    c.fill(disc, face["edge"], box=box)
    c.fill(grow(disc, -1.0), vertical(cy - 18, face["top"], cy + 18, face["bottom"]), box=box)
    # A soft sheen over the upper half reads as a pressable, slightly domed face.
    sheen = intersect(grow(disc, -2.0), circle(cx, cy - 16.0, 17.0))
    c.fill(sheen, WHITE, opacity=face.get("sheen", 0.22), box=box)
    shape = cycle_glyph(cx, cy, 1.25) if glyph == "cycle" else bolt_glyph(cx, cy)
    if face.get("glyph_shadow"):
        c.glow(moved(shape, 0, 0.8), face["glyph_shadow"], 0.4, 0.9, box)
    c.fill(shape, face["glyph"], box=box)


# --------------------------------------------------------------------------
# The skins
# --------------------------------------------------------------------------


def draw_furniture(c, style, secondary, primary):
    """What every skin has in its own colours: the logo, the page panel, the
    page-button slot, the page button and the release button."""
    draw_logo(c, style)
    draw_panel(c, style)
    draw_slot(c, style)
    draw_button(c, TAB_BUTTON, secondary, "cycle", style)
    draw_button(c, RELEASE_BUTTON, primary, "bolt", style)


def aurora(s=1):
    """Light: cool white with a faint aurora over the title band."""
    c = Canvas(W, H, s)
    top, bottom = rgb("#F5F8FC"), rgb("#DFE7F0")
    flood(c, vertical(0, top, H, bottom))
    # Three slow ribbons of light across the free band right of the logo,
    # faded out before they reach the word mark.
    for colour, y0, amp, phase, alpha in ((rgb("#2ED8C3"), 24.0, 9.0, 0.0, 0.30),
                                          (rgb("#3C7BE0"), 34.0, 11.0, 1.3, 0.22),
                                          (rgb("#8A6CF0"), 43.0, 8.0, 2.4, 0.17)):
        def strength(x, y, y0=y0, amp=amp, phase=phase, alpha=alpha):
            centre = y0 + amp * math.sin(x / 70.0 + phase)
            d = abs(y - centre) - 3.0
            return alpha * (1.0 - smoothstep(-8.0, 8.0, d)) * smoothstep(135.0, 280.0, x)
        wash(c, colour, strength, (130, 0, W, 72))
    style = dict(shadow=rgb("#2A4A70"), shadow_opacity=0.20,
                 frame_edge=rgb("#AEBCCD"), frame=(rgb("#FFFFFF"), rgb("#EEF3F8")),
                 well_edge=rgb("#C3CEDB"), surface=rgb("#EAF0F7"),
                 word=(rgb("#1F4F8F"), rgb("#173C6E")))
    secondary = dict(edge=rgb("#A9B8CA"), top=rgb("#FFFFFF"), bottom=rgb("#E3EAF3"),
                     glyph=rgb("#2C67B0"), sheen=0.5)
    primary = dict(edge=rgb("#164A9C"), top=rgb("#33CDBD"), bottom=rgb("#1F5FCF"),
                   glyph=WHITE, glyph_shadow=rgb("#0A2E66"), sheen=0.22)
    draw_furniture(c, style, secondary, primary)
    ini = dict(Obj3D="#DFE7F0", Back="#EAF0F7", Column="#2C67B0")
    return c, ini


def graphite(s=1):
    """Dark: brushed charcoal, a light page panel, amber for the release."""
    c = Canvas(W, H, s)
    top, bottom = rgb("#3B4048"), rgb("#24272C")
    base = vertical(0, top, H, bottom)

    def brushed(x, y):
        # Fine horizontal grain: a fixed hash of the row and a slow drift
        # along it, a percent or two either way.
        j = int(y)
        grain = ((j * 2654435761) >> 7 & 255) / 255.0 - 0.5
        drift = math.sin(x / 37.0 + j * 1.7) * 0.5
        return mix(base(x, y), WHITE if grain + drift * 0.3 > 0 else (0, 0, 0),
                   abs(grain + drift * 0.3) * 0.035)
    flood(c, brushed)
    # A soft light falling on the top left, where the logo is.
    wash(c, rgb("#8FA3BF"), lambda x, y: 0.16 * (1.0 - smoothstep(0.0, 1.0, math.hypot(
        (x - 70.0) / 260.0, (y - 20.0) / 120.0))), (0, 0, W, H))
    # An etched rule under the free band to the right of the logo.
    rule = lambda x, y: abs(y - 64.5) - 0.5
    fade = lambda x: smoothstep(140.0, 220.0, x) * (1.0 - smoothstep(400.0, 470.0, x))
    wash(c, (0, 0, 0), lambda x, y: 0.45 * fade(x) * (1.0 - smoothstep(-0.5, 0.5, rule(x, y))),
         (130, 62, W, 68))
    wash(c, WHITE, lambda x, y: 0.10 * fade(x) * (1.0 - smoothstep(-0.5, 0.5, rule(x, y - 1.0))),
         (130, 62, W, 68))
    style = dict(shadow=(0.0, 0.0, 0.0), shadow_opacity=0.55, button_shadow=0.6,
                 frame_edge=rgb("#121418"), frame=(rgb("#59606A"), rgb("#3D424A")),
                 well_edge=rgb("#1A1C20"), surface=rgb("#E4E7EB"),
                 word=(rgb("#F2F4F7"), rgb("#C3CAD3")), word_shadow=(0.0, 0.0, 0.0))
    secondary = dict(edge=rgb("#111316"), top=rgb("#5A616B"), bottom=rgb("#30353C"),
                     glyph=rgb("#E8EBEF"), glyph_shadow=(0.0, 0.0, 0.0), sheen=0.14)
    primary = dict(edge=rgb("#4A2306"), top=rgb("#FFC15A"), bottom=rgb("#DE6F17"),
                   glyph=WHITE, glyph_shadow=rgb("#6B3008"), sheen=0.2)
    draw_furniture(c, style, secondary, primary)
    ini = dict(Obj3D="#2A2E34", Back="#E4E7EB", Column="#B4581C")
    return c, ini


def meadow(s=1):
    """Green: a pale spring sky over soft hills."""
    c = Canvas(W, H, s)
    flood(c, vertical(0, rgb("#F4F9EE"), H, rgb("#DDEDD0")))
    # Late-morning sun behind the title band, far right.
    wash(c, rgb("#FFF1B8"), lambda x, y: 0.75 * (1.0 - smoothstep(0.0, 1.0, math.hypot(
        (x - 400.0) / 150.0, (y + 10.0) / 80.0))), (200, 0, W, 110))
    # Two hills, the far one paler; the panel stands on them.
    far = circle(150.0, 700.0, 540.0)
    near = circle(420.0, 560.0, 390.0)
    c.fill(far, vertical(150, rgb("#CFE5BE"), H, rgb("#BFDCA8")), box=(0, 150, W, H))
    c.fill(near, vertical(160, rgb("#B7D99C"), H, rgb("#9FCB82")), box=(0, 160, W, H))
    # A sprig on the right of the title band: a curved stem, leaves on
    # alternate sides, growing up and to the right.
    cx, cy, radius = 430.0, 80.0, 82.0
    parts = [arc(cx, cy, radius, 190.0, 244.0, 0.85)]
    for angle, side, length in ((204.0, -1, 19.0), (219.0, 1, 17.0), (233.0, -1, 14.0),
                                (244.0, 1, 11.0)):
        a = math.radians(angle)
        bx, by = cx + radius * math.cos(a), cy + radius * math.sin(a)
        tangent = math.atan2(math.cos(a), -math.sin(a))      # the way the stem grows
        parts.append(leaf(bx, by, tangent + side * math.radians(50.0), length, length * 0.48))
    c.fill(union(*parts), rgb("#74B35C"), opacity=0.55, box=(320, 0, 430, 75))
    style = dict(shadow=rgb("#2E5A23"), shadow_opacity=0.22,
                 frame_edge=rgb("#9CBF8A"), frame=(rgb("#FFFFFF"), rgb("#EEF6E6")),
                 well_edge=rgb("#BCD3AE"), surface=rgb("#EFF6E7"),
                 word=(rgb("#2F7A3D"), rgb("#215C2D")))
    secondary = dict(edge=rgb("#99BC88"), top=rgb("#FFFFFF"), bottom=rgb("#E6F1DD"),
                     glyph=rgb("#2F7D4A"), sheen=0.5)
    primary = dict(edge=rgb("#21603A"), top=rgb("#8AD27A"), bottom=rgb("#2E8B4F"),
                   glyph=WHITE, glyph_shadow=rgb("#1B4D2C"), sheen=0.22)
    draw_furniture(c, style, secondary, primary)
    ini = dict(Obj3D="#DDEDD0", Back="#EFF6E7", Column="#2F7D4A")
    return c, ini


# Listed in the order of their file names, which is the order of the Skins
# menu; the first is what a new user sees.
SKINS = [
    ("Aurora", aurora, "png"),
    ("Graphite", graphite, "bmp"),
    ("Meadow", meadow, "jpg"),
]


# --------------------------------------------------------------------------
# Output
# --------------------------------------------------------------------------

BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def rgb8(c):
    """Opaque 8-bit rows; an ordered dither keeps the long gradients free of bands."""
    rows = []
    for j in range(c.h):
        row = []
        for i in range(c.w):
            r, g, b, a = c.px[j * c.w + i]
            d = (BAYER[j & 3][i & 3] + 0.5) / 16.0
            row.append(tuple(min(max(int(v / a * 255.0 + d), 0), 255) for v in (r, g, b)))
        rows.append(row)
    return rows


def bmp_rgb(rows):
    """24-bit, bottom-up: the plainest bitmap every loader knows."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + bytes(pixels)


def jpeg_rgb(rows):
    h, w = len(rows), len(rows[0])
    ppm = b"P6 %d %d 255\n" % (w, h) + b"".join(bytes(px) for row in rows for px in row)
    # Full-resolution colour (no 4:2:0) keeps the thin coloured edges clean.
    return subprocess.run(["convert", "ppm:-", "-strip", "-sampling-factor", "1x1,1x1,1x1",
                           "-quality", "93", "jpg:-"], input=ppm, stdout=subprocess.PIPE,
                          check=True).stdout


WRITERS = {"png": png_bytes, "bmp": bmp_rgb, "jpg": jpeg_rgb}


def colour_number(hex_colour):
    """The skin file's colour notation: &H00BBGGRR."""
    r, g, b = (int(v * 255 + 0.5) for v in rgb(hex_colour))
    return "&H00%02X%02X%02X" % (b, g, r)


def ini_text(picture, ini):
    lines = ["[SKIN]",
             "color_Obj3D=" + colour_number(ini["Obj3D"]),
             "color_Back=" + colour_number(ini["Back"]),
             "color_Column=" + colour_number(ini["Column"]),
             "Bg=" + picture]
    return "".join(line + "\r\n" for line in lines).encode("ascii")


# The areas a skin author draws around, as the help's "Making a skin" page
# lists them, each with the colour of its swatch there.
LAYOUT_KEY = [
    (LOGO, "#F08C00"),
    (TAB_BUTTON, "#D6336C"),
    (RELEASE_BUTTON, "#D6336C"),
    (PAGE, "#1C7ED6"),
    ((64, 96, 329, 65), "#7048E8"),
    ((24, 88, 11, 89), "#0CA678"),
]


def layout_diagram(canvas):
    """The first skin with its control areas marked, for the help."""
    c = Canvas(W, H)
    c.px = [list(p) for p in canvas.px]
    for (x, y, w, h), colour in LAYOUT_KEY:
        area = rect(x, y, x + w, y + h)
        box = box_of(x, y, x + w, y + h, 2)
        c.fill(area, rgb(colour), opacity=0.16, box=box)
        c.fill(ring(area, 1.0), rgb(colour), box=box)
    return c


def write_all(out, help_dir):
    os.makedirs(out, exist_ok=True)
    os.makedirs(help_dir, exist_ok=True)
    for n, (name, draw, ext) in enumerate(SKINS):
        canvas, ini = draw()
        picture = "%s.%s" % (name, ext)
        with open(os.path.join(out, picture), "wb") as f:
            f.write(WRITERS[ext](rgb8(canvas)))
        # The same design at twice the size, which the program draws from on scaled displays.
        with open(os.path.join(out, "%s@2x.%s" % (name, ext)), "wb") as f:
            f.write(WRITERS[ext](rgb8(draw(2)[0])))
        with open(os.path.join(out, name + ".ini"), "wb") as f:
            f.write(ini_text(picture, ini))
        if n == 0:
            with open(os.path.join(help_dir, "skin-layout.png"), "wb") as f:
                f.write(png_bytes(rgb8(layout_diagram(canvas))))


def check(out, help_dir):
    """Redraws everything aside and compares it with what is committed."""
    import tempfile
    with tempfile.TemporaryDirectory() as tmp:
        write_all(os.path.join(tmp, "skins"), os.path.join(tmp, "help"))
        stale = []
        for sub, real in (("skins", out), ("help", help_dir)):
            for f in sorted(os.listdir(os.path.join(tmp, sub))):
                mine = open(os.path.join(tmp, sub, f), "rb").read()
                there = os.path.join(real, f)
                if not os.path.isfile(there) or open(there, "rb").read() != mine:
                    stale.append(os.path.join(sub, f))
    if stale:
        sys.exit("make-skins: out of date with the drawing code: %s (run tools/make-skins.py)"
                 % ", ".join(stale))
    print("make-skins: the committed art is what the code draws")


def main():
    args = [a for a in sys.argv[1:] if a != "--check"]
    out = args[0] if args else os.path.join(HERE, os.pardir, "skins")
    help_dir = args[1] if len(args) > 1 else os.path.join(HERE, os.pardir, "help")
    if "--check" in sys.argv[1:]:
        check(out, help_dir)
    else:
        write_all(out, help_dir)


if __name__ == "__main__":
    main()
