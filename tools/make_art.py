#!/usr/bin/python3
"""Generates the launcher's artwork: the login skin, every button state and the icon.

Every image is drawn twice: at its design size into resources/images/, and at twice that size,
with coordinates, strokes and fonts scaled, into resources/images/2x/ for displays at 200 %. The
skin and the login window's buttons are also resampled from their twins for the most common
scales in between, at the sizes the launcher lays them out at, into resources/images/125/ and
150/, so that the launcher starts there without resampling.
The build only embeds the committed files, so rerun this script after editing it and
commit its output together with it. `--check` verifies the committed files without
regenerating them.
"""
import io
import math
import os
import random
import struct
import sys
import zlib

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
IMAGES = os.path.join(RESOURCES, "images")
FONTS = "/usr/share/fonts/truetype/dejavu/"
SS = 4  # supersampling factor for anti-aliased shapes
S = 1   # the scale being drawn: 1, or 2 for the twins shown on displays at 200 %; design units stay 1x
TWINS = os.path.join(IMAGES, "2x")
PERCENTS = (125, 150)  # the common scales in between: their art is resampled here, not at start-up

SKIN_SIZE = (1186, 954)
HOLE = (477, 450, 1050, 734)      # inclusive; the web view shows through it
WEB_TOP_ROW = 449                 # the row just above the hole, where the page begins, stays opaque
PANEL = (438, 330, 1090, 774)
CREST_X = 760                     # centre of the gap between the two middle link buttons
TITLE_BAR = (0x30, 0x29, 0x21)
NOTICE = (0x1C, 0x16, 0x2E)       # the panel of the page notice (windows/PageNotice.cpp)

# name: (position on the skin or None, size, label)
BUTTONS = {
    "minimize": ((1014, 364), (22, 22), None),
    "close": ((1045, 364), (22, 22), None),
    "forum": ((789, 406), (80, 37), "Forum"),
    "recharge": ((652, 405), (80, 37), "Recharge"),
    "service": ((897, 406), (80, 37), "Service"),
    "site": ((542, 405), (80, 37), "Official Site"),
    "game_minimize": (None, (30, 27), None),
    "game_maximize": (None, (30, 27), None),
    "game_close": (None, (30, 27), None),
    "retry": (None, (96, 37), "Retry"),
}
STATES = ("normal", "hover", "pressed")

GOLD = [(0.0, (250, 228, 160)), (0.45, (214, 170, 84)), (0.55, (176, 128, 52)), (1.0, (232, 196, 112))]
DARK_GOLD = [(0.0, (150, 112, 50)), (1.0, (96, 66, 26))]
INK = (10, 8, 16)


# ---------------------------------------------------------------- drawing helpers

def font(name, size):
    return ImageFont.truetype(FONTS + name, size * S)


def sized(size):
    return (size[0] * S, size[1] * S)


def pixel_box(x0, y0, x1, y1):
    """An inclusive pixel box of design coordinates at the scale drawn."""
    return [x0 * S, y0 * S, (x1 + 1) * S - 1, (y1 + 1) * S - 1]


def grow(n=1):
    return ImageFilter.MaxFilter(2 * n * S + 1)


def shrink(n):
    return ImageFilter.MinFilter(2 * n * S + 1)


def blur(radius):
    return ImageFilter.GaussianBlur(radius * S)


def colour_at(stops, t):
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            f = 0 if t1 == t0 else (t - t0) / (t1 - t0)
            c = tuple(round(a + (b - a) * f) for a, b in zip(c0, c1))
            return c if len(c) == 4 else c + (255,)
    return colour_at(stops, stops[-1][0])


def gradient(size, stops, horizontal=False):
    n = size[0] if horizontal else size[1]
    line = Image.new("RGBA", (n, 1) if horizontal else (1, n))
    line.putdata([colour_at(stops, max(0.0, min(1.0, i / max(n - 1, 1)))) for i in range(n)])
    return line.resize(size, Image.Resampling.NEAREST)


def aa_mask(size, shapes):
    """shapes(draw, k) draws white shapes of design coordinates times k; the result is box-filtered down."""
    big = Image.new("L", (size[0] * SS, size[1] * SS), 0)
    shapes(ImageDraw.Draw(big), SS * S)
    return big.resize(size, Image.Resampling.BOX)


def scaled(points, k):
    return [(x * k, y * k) for x, y in points]


def rounded(size, box, radius):
    return aa_mask(size, lambda d, k: d.rounded_rectangle([c * k for c in box], radius * k, fill=255))


def polygon(size, points):
    return aa_mask(size, lambda d, k: d.polygon(scaled(points, k), fill=255))


def paint(canvas, mask, source, alpha=1.0):
    """Composites a colour or an image of the canvas size onto the canvas through a mask."""
    layer = Image.new("RGBA", canvas.size, source) if isinstance(source, tuple) else source.copy()
    a = ImageChops.multiply(layer.getchannel("A"), mask)
    if alpha != 1.0:
        a = a.point(lambda v: round(v * alpha))
    layer.putalpha(a)
    canvas.alpha_composite(layer)


def ring(mask, width):
    """The band of a mask that lies within `width` pixels of its edge."""
    return ImageChops.subtract(mask, mask.filter(shrink(width)))


def shadow(mask, offset, blur, opacity):
    moved = Image.new("L", mask.size, 0)
    moved.paste(mask, (offset[0] * S, offset[1] * S))
    return moved.filter(ImageFilter.GaussianBlur(blur * S)).point(lambda v: round(v * opacity))


def bezier(p0, c, p1, steps=24):
    return [((1 - t) ** 2 * p0[0] + 2 * t * (1 - t) * c[0] + t * t * p1[0],
             (1 - t) ** 2 * p0[1] + 2 * t * (1 - t) * c[1] + t * t * p1[1])
            for t in (i / steps for i in range(steps + 1))]


def text(canvas, xy, label, fnt, fill, shade=INK, anchor="mm"):
    d = ImageDraw.Draw(canvas)
    d.text((xy[0] * S, (xy[1] + 1) * S), label, font=fnt, fill=shade, anchor=anchor)
    d.text((xy[0] * S, xy[1] * S), label, font=fnt, fill=fill, anchor=anchor)


# ---------------------------------------------------------------- emblem

def shield_outline(cx, top, half, shoulder, tip, pinch):
    """A kite shield: arched top, straight sides down to `shoulder`, curving in to `tip`."""
    right = [(cx + half, top + 8)] + bezier((cx + half, shoulder), (cx + half * pinch, tip - (tip - shoulder) * 0.45), (cx, tip))
    left = [(2 * cx - x, y) for x, y in reversed(right)]
    arch = bezier((cx - half, top + 8), (cx, top - 10), (cx + half, top + 8))
    return arch + right + left[1:]


def star(cx, cy, outer, inner, points, turn=0.0):
    return [(cx + (outer if i % 2 == 0 else inner) * math.sin(turn + i * math.pi / points),
             cy - (outer if i % 2 == 0 else inner) * math.cos(turn + i * math.pi / points))
            for i in range(2 * points)]


def draw_crest(canvas, cx, top, half, shoulder, tip, pinch, bold=1):
    """Gold-rimmed shield with a compass star: the launcher's emblem, on the skin and the icon."""
    size = canvas.size
    unit = half / 62.0
    edge = grow(bold)
    body = polygon(size, shield_outline(cx, top, half, shoulder, tip, pinch))
    paint(canvas, body.filter(edge), INK)
    paint(canvas, body, gradient(size, [(0, (236, 206, 128)), (0.5, (170, 120, 48)), (1, (120, 82, 30))]))
    rim = round(5 * unit * bold)
    inner = body.filter(shrink(rim))
    paint(canvas, inner, INK)
    field = inner.filter(shrink(bold))
    waist = (shoulder - top) / (tip - top)
    paint(canvas, field, gradient(size, [(0, (40, 58, 120)), (waist, (26, 34, 82)), (1, (14, 16, 44))]))
    cy = top + (tip - top) * 0.3
    radius = min(0.8 * half, cy - top - rim - 6 * unit)
    glow = aa_mask(size, lambda d, k: d.ellipse([(cx - radius) * k, (cy - radius) * k, (cx + radius) * k, (cy + radius) * k], fill=255))
    paint(canvas, ImageChops.multiply(glow.filter(blur(radius / 3)), field), (120, 170, 255), 0.55)
    for outer, waist, turn, colours in ((0.85, 0.2 * bold, math.pi / 4, [(0, (200, 160, 80)), (1, (110, 76, 30))]),
                                        (1.0, 0.2 * bold, 0.0, GOLD)):
        shape = polygon(size, star(cx, cy, outer * radius, waist * radius, 4, turn))
        paint(canvas, shape.filter(edge), INK, 0.8)
        paint(canvas, shape, gradient(size, colours))
    r = radius * 0.16 * bold
    paint(canvas, aa_mask(size, lambda d, k: d.ellipse([(cx - r) * k, (cy - r) * k, (cx + r) * k, (cy + r) * k], fill=255)),
          gradient(size, [(0, (255, 120, 110)), (cy / (size[1] / S), (200, 30, 40)), (1, (90, 0, 10))]))
    spark = (cx - r * 0.5, cy - r * 0.75, cx - r * 0.1, cy - r * 0.35)
    paint(canvas, aa_mask(size, lambda d, k: d.ellipse([c * k for c in spark], fill=255)), (255, 240, 230), 0.9)


def feather(root, angle, length, width, bend):
    """A tapered, slightly curved feather from root along angle (radians, y down)."""
    ux, uy = math.cos(angle), math.sin(angle)
    nx, ny = -uy, ux
    side_a, side_b = [], []
    for i in range(25):
        t = i / 24
        w = width / 2 * math.sin(math.pi * t ** 0.75) ** 0.8
        off = bend * math.sin(math.pi * t)
        px, py = root[0] + ux * length * t + nx * off, root[1] + uy * length * t + ny * off
        side_a.append((px + nx * w, py + ny * w))
        side_b.append((px - nx * w, py - ny * w))
    return side_a + list(reversed(side_b))


def draw_wings(canvas, cx, cy):
    size = canvas.size
    for i in range(6):
        length, width = 186 - i * 17, 30 - i * 1.5
        for sign in (-1, 1):
            angle = math.radians(-22 + i * 9.5)
            a = math.pi - angle if sign < 0 else angle
            root = (cx + sign * 30, cy + i * 4)
            shape = polygon(size, feather(root, a, length, width, 6))
            paint(canvas, shape.filter(grow()), INK)
            shade = 1 - i * 0.09
            paint(canvas, shape, gradient(size, [(c[0], tuple(round(v * shade) for v in c[1])) for c in GOLD]))
            vein = polygon(size, feather(root, a, length * 0.8, 2.0, 6))
            paint(canvas, vein, (120, 84, 34), 0.8)


def draw_ribbon(canvas, box, label):
    size = canvas.size
    x0, y0, x1, y1 = box
    h = y1 - y0
    for sign, edge in ((-1, x0), (1, x1)):
        tail = [(edge - sign * 14, y0 + 8), (edge + sign * 34, y0 + 8), (edge + sign * 22, y1 + 8 - h / 2 + 4),
                (edge + sign * 34, y1 + 8), (edge - sign * 14, y1 + 8)]
        m = polygon(size, tail)
        paint(canvas, m.filter(grow()), INK)
        paint(canvas, m, gradient(size, [(0, (112, 26, 34)), (1, (54, 10, 16))]))
        fold = polygon(size, [(edge, y1), (edge - sign * 14, y1 + 8), (edge - sign * 14, y1 - 4)])
        paint(canvas, fold, (40, 6, 10))
    band = polygon(size, [(x0, y0), (x1, y0), (x1, y1), (x0, y1)])
    paint(canvas, band.filter(grow()), INK)
    paint(canvas, band, gradient(size, [(0, (190, 58, 60)), (0.35, (146, 32, 40)), (1, (78, 12, 20))]))
    for y in (y0 + 2, y1 - 3):
        paint(canvas, polygon(size, [(x0, y), (x1, y), (x1, y + 1), (x0, y + 1)]), (232, 190, 104), 0.9)
    fnt = font("DejaVuSerif-Bold.ttf", 19)
    spaced = " ".join(label)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    glyphs = Image.new("L", size, 0)
    ImageDraw.Draw(glyphs).text((cx * S, cy * S), spaced, font=fnt, fill=255, anchor="mm")
    paint(canvas, ImageChops.offset(glyphs, 0, S).filter(grow()), (40, 4, 8))
    top, bottom = cy - 9, cy + 9
    rows = size[1] / S
    paint(canvas, glyphs, gradient(size, [(0, (255, 246, 200)), (top / rows, (255, 246, 200)),
                                          (cy / rows, (236, 194, 100)), (bottom / rows, (196, 140, 56)), (1, (196, 140, 56))]))


# ---------------------------------------------------------------- skin

def sky(size, rng):
    """The dusk landscape behind the panel: gradient sky, stars, a glow behind the crest, ridges."""
    art = gradient(size, [(0, (16, 18, 44)), (0.36, (16, 18, 44)), (0.41, (44, 38, 90)),
                          (0.445, (118, 64, 92)), (0.475, (40, 26, 50)), (1, (12, 10, 22))])
    stars = Image.new("L", size, 0)
    d = ImageDraw.Draw(stars)
    for _ in range(140):
        x, y = rng.uniform(PANEL[0], PANEL[2]), rng.uniform(PANEL[1], 425)
        r = rng.choice((0.5, 0.6, 0.8, 1.1))
        d.ellipse([(x - r) * S, (y - r) * S, (x + r) * S, (y + r) * S], fill=rng.randint(90, 255))
    paint(art, stars, (255, 244, 220))
    for x, y in ((505, 352), (980, 398), (612, 392), (930, 346)):
        twinkle = polygon(size, star(x, y, 5, 0.9, 4))
        paint(art, twinkle, (255, 246, 226), 0.9)
    glow = Image.new("L", size, 0)
    ImageDraw.Draw(glow).ellipse([(CREST_X - 150) * S, 290 * S, (CREST_X + 150) * S, 470 * S], fill=255)
    paint(art, glow.filter(blur(50)), (255, 176, 110), 0.55)
    for base, amp, colour in ((405, 22, (70, 50, 100)), (419, 15, (44, 32, 68)), (431, 10, (24, 18, 38))):
        phases = [rng.uniform(0, 6.3) for _ in range(3)]
        ridge = [(x, base - amp * (0.55 * abs(math.sin(x / 61 + phases[0])) + 0.3 * math.sin(x / 23 + phases[1])
                                   + 0.15 * math.sin(x / 9 + phases[2])))
                 for x in range(PANEL[0] - 4, PANEL[2] + 8, 4)]
        m = polygon(size, ridge + [(PANEL[2] + 8, 460), (PANEL[0] - 4, 460)])
        paint(art, m, colour)
    mist = Image.new("L", size, 0)
    ImageDraw.Draw(mist).rectangle(pixel_box(PANEL[0], 414, PANEL[2], 440), fill=255)
    paint(art, mist.filter(blur(8)), (150, 110, 150), 0.18)
    return art


def draw_frame(canvas):
    """Bevelled gold frame round the web view, with rivets at its corners."""
    x0, y0, x1, y1 = HOLE[0] - 1, WEB_TOP_ROW, HOLE[2] + 1, HOLE[3] + 1
    d = ImageDraw.Draw(canvas)
    d.rectangle(pixel_box(x0 - 8, y0 - 7, x1 + 8, y1 + 7), fill=INK)
    frame = gradient(sized((x1 - x0 + 15, y1 - y0 + 13)), GOLD)
    canvas.paste(frame, ((x0 - 7) * S, (y0 - 6) * S))
    d.rectangle(pixel_box(x0 - 3, y0 - 2, x1 + 3, y1 + 3), fill=(110, 76, 30))
    d.rectangle(pixel_box(x0 - 2, y0 - 1, x1 + 2, y1 + 2), fill=(58, 38, 14))
    d.rectangle(pixel_box(x0, y0, x1, y1), fill=INK)
    for x, y in ((x0 - 3, y0 - 3), (x1 + 3, y0 - 3), (x0 - 3, y1 + 3), (x1 + 3, y1 + 3)):
        stud = polygon(canvas.size, star(x, y, 9, 4, 4))
        paint(canvas, stud.filter(grow()), INK)
        paint(canvas, stud, gradient(canvas.size, [(0, (250, 230, 170)), (y / (canvas.size[1] / S), (214, 170, 84)), (1, (120, 80, 30))]))
        gem = aa_mask(canvas.size, lambda dr, k: dr.ellipse([(x - 2.5) * k, (y - 2.5) * k, (x + 2.5) * k, (y + 2.5) * k], fill=255))
        paint(canvas, gem, (200, 36, 44))


def draw_ornament(canvas, cx, cy, reach, radius, horizontal):
    """A gem on a gold line that fades out both ways; marks the middle of a panel margin."""
    size = canvas.size
    n, c = (size[0] / S, cx) if horizontal else (size[1] / S, cy)
    fade = gradient(size, [(0, (0,) * 3), ((c - reach) / n, (0,) * 3), (c / n, (255,) * 3),
                           ((c + reach) / n, (0,) * 3), (1, (0,) * 3)], horizontal).getchannel("R")
    line = Image.new("L", size, 0)
    ends = [(cx - reach, cy), (cx + reach, cy)] if horizontal else [(cx, cy - reach), (cx, cy + reach)]
    ImageDraw.Draw(line).line([(x * S, y * S) for x, y in ends], fill=255, width=S)
    paint(canvas, ImageChops.multiply(line, fade), (214, 170, 84))
    gem = polygon(size, star(cx, cy, radius, radius, 2))
    paint(canvas, gem.filter(grow()), INK)
    paint(canvas, gem, gradient(size, GOLD))
    paint(canvas, polygon(size, star(cx, cy, radius / 2, radius / 2, 2)), (200, 36, 44))


def skin_background():
    """The skin without the buttons; button images are cut from it so they blend in exactly."""
    rng = random.Random(1186954)
    size = sized(SKIN_SIZE)
    skin = Image.new("RGBA", size, (0, 0, 0, 0))
    panel = rounded(size, PANEL, 22)

    emblem = Image.new("RGBA", size, (0, 0, 0, 0))
    draw_wings(emblem, CREST_X, 292)
    draw_crest(emblem, CREST_X, 238, 62, 318, 447, 0.62)
    draw_ribbon(emblem, (CREST_X - 112, 352, CREST_X + 112, 384), "LAUNCHER")

    silhouette = ImageChops.lighter(panel, emblem.getchannel("A"))
    paint(skin, shadow(silhouette, (0, 12), 14, 0.75), (0, 0, 0))
    halo = Image.new("L", size, 0)
    ImageDraw.Draw(halo).ellipse([(CREST_X - 210) * S, 200 * S, (CREST_X + 210) * S, 360 * S], fill=255)
    paint(skin, halo.filter(blur(40)), (255, 190, 110), 0.35)

    paint(skin, panel, sky(size, rng))
    paint(skin, ring(panel, 4), gradient(size, [(0, GOLD[0][1]), (PANEL[1] / SKIN_SIZE[1], GOLD[0][1]),
                                                     (PANEL[3] / SKIN_SIZE[1], GOLD[2][1]), (1, GOLD[2][1])]))
    paint(skin, ring(panel.filter(shrink(4)), 1), (10, 8, 16), 0.9)
    paint(skin, ring(panel.filter(shrink(5)), 1), (214, 170, 84), 0.55)
    draw_frame(skin)
    middle = (HOLE[1] + HOLE[3]) / 2
    draw_ornament(skin, CREST_X, (HOLE[3] + PANEL[3]) // 2 + 5, 200, 10, True)
    draw_ornament(skin, (PANEL[0] + HOLE[0]) // 2 + 1, middle, 110, 7, False)
    draw_ornament(skin, (PANEL[2] + HOLE[2]) // 2 + 1, middle, 110, 7, False)
    skin.alpha_composite(emblem)
    return skin


# ---------------------------------------------------------------- buttons

def plaque(background, state, label):
    """A link button: a gold-edged plaque on the skin's own pixels."""
    img = background.copy()
    w, h = (v // S for v in img.size)
    shift = 1 if state == "pressed" else 0
    box = (2 + shift, 2 + shift, w - 3 + shift, h - 4 + shift)
    body = rounded(img.size, box, 5)
    if state == "hover":
        paint(img, body.filter(grow(2)).filter(blur(1.5)), (255, 210, 120), 0.9)
    paint(img, body.filter(grow()), INK)
    rim = {"normal": GOLD, "hover": [(0, (255, 244, 196)), (0.5, (240, 200, 110)), (1, (255, 226, 150))],
           "pressed": DARK_GOLD}[state]
    paint(img, body, gradient(img.size, rim))
    face = body.filter(shrink(2))
    fill = {"normal": [(0, (70, 56, 104)), (0.5, (40, 30, 66)), (1, (26, 18, 44))],
            "hover": [(0, (104, 84, 150)), (0.5, (66, 50, 104)), (1, (42, 30, 70))],
            "pressed": [(0, (16, 10, 28)), (1, (40, 30, 60))]}[state]
    paint(img, face, gradient(img.size, fill))
    if state != "pressed":
        gloss = rounded(img.size, (box[0] + 3, box[1] + 3, box[2] - 3, (box[1] + box[3]) / 2), 3)
        paint(img, gloss, (255, 255, 255), 0.10 if state == "normal" else 0.16)
    size = 12
    while font("DejaVuSansCondensed-Bold.ttf", size).getlength(label) > (w - 14) * S:
        size -= 1
    colour = {"normal": (242, 226, 186), "hover": (255, 250, 226), "pressed": (200, 178, 128)}[state]
    text(img, ((box[0] + box[2] + 1) / 2, (box[1] + box[3] + 1) / 2), label,
         font("DejaVuSansCondensed-Bold.ttf", size), colour)
    return img


def cross_mask(size, centre, half, width):
    cx, cy = centre

    def draw(d, k):
        for sx in (-1, 1):
            d.line([((cx - sx * half) * k, (cy - half) * k), ((cx + sx * half) * k, (cy + half) * k)], fill=255, width=round(width * k))
    return aa_mask(size, draw)


def dash_mask(size, centre, half, width):
    cx, cy = centre
    return aa_mask(size, lambda d, k: d.rectangle([(cx - half) * k, (cy - width / 2) * k, (cx + half) * k, (cy + width / 2) * k], fill=255))


def gem_button(background, state, kind):
    """Round minimise / close gem of the login window."""
    img = background.copy()
    shift = 1 if state == "pressed" else 0
    box = (1 + shift, 1 + shift, 20 + shift, 20 + shift)
    disc = aa_mask(img.size, lambda d, k: d.ellipse([c * k for c in box], fill=255))
    if state == "hover":
        halo = aa_mask(img.size, lambda d, k: d.ellipse([0, 0, 22 * k, 22 * k], fill=255))
        paint(img, halo.filter(blur(1)), (255, 210, 120), 0.9)
    paint(img, disc, gradient(img.size, GOLD if state != "pressed" else DARK_GOLD))
    face = aa_mask(img.size, lambda d, k: d.ellipse([(box[0] + 2) * k, (box[1] + 2) * k, (box[2] - 2) * k, (box[3] - 2) * k], fill=255))
    fills = {("normal", "minimize"): (60, 48, 96), ("hover", "minimize"): (98, 80, 150), ("pressed", "minimize"): (22, 16, 36),
             ("normal", "close"): (120, 26, 34), ("hover", "close"): (200, 48, 52), ("pressed", "close"): (70, 10, 16)}
    top = fills[(state, kind)]
    paint(img, face, gradient(img.size, [(0, tuple(min(255, v + 40) for v in top)), (1, tuple(v // 2 for v in top))]))
    c = 10.5 + shift
    g = cross_mask(img.size, (c, c), 4.5, 2.2) if kind == "close" else dash_mask(img.size, (c, c), 5, 2.2)
    paint(img, g.filter(grow()), INK, 0.5)
    paint(img, g, {"normal": (244, 230, 196), "hover": (255, 255, 255), "pressed": (200, 178, 128)}[state])
    return img


def title_button(state, kind):
    """Flat title-bar button of the game window; glyphs are pixel-aligned to stay crisp."""
    hover_bg = (178, 46, 40) if kind == "game_close" else (74, 64, 54)
    pressed_bg = (116, 26, 22) if kind == "game_close" else (24, 20, 16)
    bg = {"normal": TITLE_BAR, "hover": hover_bg, "pressed": pressed_bg}[state]
    img = Image.new("RGBA", sized(BUTTONS[kind][1]), bg + (255,))
    colour = {"normal": (214, 202, 182), "hover": (255, 255, 255), "pressed": (240, 196, 104)}[state]
    s = 1 if state == "pressed" else 0
    d = ImageDraw.Draw(img)
    if kind == "game_minimize":
        d.rectangle(pixel_box(10 + s, 18 + s, 19 + s, 19 + s), fill=colour)
    elif kind == "game_maximize":
        for x, y in ((12 + s, 8 + s), (9 + s, 11 + s)):  # back window, then the front one over it
            d.rectangle(pixel_box(x, y, x + 8, y + 8), fill=bg, outline=colour, width=S)
            d.rectangle(pixel_box(x, y, x + 8, y + 1), fill=colour)
    else:
        paint(img, cross_mask(img.size, (14.5 + s, 13.5 + s), 4.5, 1.8), colour)
    return img


# ---------------------------------------------------------------- icon

def icon_image(size):
    img = Image.new("RGBA", (256, 256), (0, 0, 0, 0))
    bold = {16: 4, 32: 2, 48: 2}.get(size, 1)
    draw_crest(img, 128, 16, 92, 118, 246, 0.7, bold)
    if size == 256:
        return img
    return img.resize((size, size), Image.Resampling.LANCZOS)


def write_ico(path, images):
    """Writes 32-bit BMP entries for the small sizes and a PNG entry for 256, as Windows expects."""
    entries, blobs, offset = [], [], 6 + 16 * len(images)
    for im in images:
        w, h = im.size
        if w == 256:
            buf = io.BytesIO()
            im.save(buf, "PNG")
            data = buf.getvalue()
        else:
            pixels = im.transpose(Image.Transpose.FLIP_TOP_BOTTOM).tobytes("raw", "BGRA")
            header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(pixels), 0, 0, 0, 0)
            data = header + pixels + bytes(((w + 31) // 32) * 4 * h)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset))
        blobs.append(data)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


# ---------------------------------------------------------------- output

def scaled_area(x0, y0, x1, y1):
    """An area of design coordinates, right and bottom exclusive, at the scale drawn."""
    return (x0 * S, y0 * S, x1 * S, y1 * S)


def folder():
    return IMAGES if S == 1 else TWINS


def save_skin(skin, path):
    """The skin at 100 % whole; at the other scales cropped to its pixels that are not wholly
    transparent, with their place on the whole skin in an oFFs chunk (in pixels), so that the
    launcher decodes only those."""
    if skin.size == SKIN_SIZE:
        skin.save(path)
        return
    box = skin.getchannel("A").getbbox()
    encoded = io.BytesIO()
    skin.crop(box).save(encoded, "PNG")
    data = encoded.getvalue()
    # After the signature and the header chunk, where PNG wants it; PIL writes no such chunk.
    place = b"oFFs" + struct.pack(">iiB", box[0], box[1], 0)
    chunk = struct.pack(">I", len(place) - 4) + place + struct.pack(">I", zlib.crc32(place))
    with open(path, "wb") as f:
        f.write(data[:33] + chunk + data[33:])


def open_skin(path, size):
    """A skin as the launcher places it: its pixels at their oFFs place on a transparent canvas."""
    with open(path, "rb") as f:
        data = f.read()
    offset, at = (0, 0), 8
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"oFFs" and data[at + 16] == 0:
            offset = struct.unpack(">ii", data[at + 8:at + 16])
        if kind == b"IDAT":
            break
        at += 12 + length
    image = Image.open(io.BytesIO(data)).convert("RGBA")
    assert offset[0] + image.width <= size[0] and offset[1] + image.height <= size[1], (path, offset, image.size)
    canvas = Image.new("RGBA", size, (0, 0, 0, 0))
    canvas.paste(image, offset)
    return canvas


def generate():
    global S
    os.makedirs(TWINS, exist_ok=True)
    for S in (1, 2):
        background = skin_background()
        skin = background.copy()
        for name, (pos, size, label) in BUTTONS.items():
            for state in STATES:
                if pos is None and label:
                    img = plaque(Image.new("RGBA", sized(size), NOTICE + (255,)), state, label)
                elif pos is None:
                    img = title_button(state, name)
                else:
                    crop = background.crop(scaled_area(pos[0], pos[1], pos[0] + size[0], pos[1] + size[1]))
                    img = plaque(crop, state, label) if label else gem_button(crop, state, name)
                    if state == "normal":
                        skin.paste(img, (pos[0] * S, pos[1] * S))
                img.save(os.path.join(folder(), f"{name}_{state}.png"))
        skin.paste((0, 0, 0, 0), scaled_area(HOLE[0], HOLE[1], HOLE[2] + 1, HOLE[3] + 1))
        save_skin(skin, os.path.join(folder(), "skin.png"))
    S = 1
    resample_between()
    write_ico(os.path.join(RESOURCES, "launcher.ico"), [icon_image(s) for s in (16, 32, 48, 256)])


def edge(value, percent):
    """A design edge at a scale as the launcher rounds it: to the nearest pixel, halves up."""
    dpi = 96 * percent // 100
    return (value * dpi + 48) // 96


def edges(box, percent):
    return tuple(edge(v, percent) for v in box)


def hole_at(percent):
    """The hole's pixels at a scale: those it covers wholly, and those it touches (exclusive)."""
    dpi = 96 * percent // 100
    box = (HOLE[0], HOLE[1], HOLE[2] + 1, HOLE[3] + 1)
    inner = tuple(-(-v * dpi // 96) if i < 2 else v * dpi // 96 for i, v in enumerate(box))
    outer = tuple(v * dpi // 96 if i < 2 else -(-v * dpi // 96) for i, v in enumerate(box))
    return inner, outer


def frame_around(size, outer):
    """A mask of the four pixels around the pixels the hole touches, where the frame is opaque."""
    frame = Image.new("L", size, 0)
    ImageDraw.Draw(frame).rectangle((outer[0] - 4, outer[1] - 4, outer[2] + 3, outer[3] + 3), fill=255)
    ImageDraw.Draw(frame).rectangle((outer[0], outer[1], outer[2] - 1, outer[3] - 1), fill=0)
    return frame


def login_buttons():
    return [(name, pos, size) for name, (pos, size, _) in BUTTONS.items() if pos]


def resample_between():
    """The skin and the login buttons at each of PERCENTS, from their twins with Lanczos; the
    hole stays transparent over the pixels it covers and the frame around it opaque."""
    for percent in PERCENTS:
        out = os.path.join(IMAGES, str(percent))
        os.makedirs(out, exist_ok=True)
        twin = open_skin(os.path.join(TWINS, "skin.png"), (2 * SKIN_SIZE[0], 2 * SKIN_SIZE[1]))
        skin = twin.resize(edges(SKIN_SIZE, percent), Image.Resampling.LANCZOS)
        inner, outer = hole_at(percent)
        alpha = skin.getchannel("A")
        alpha.paste(255, mask=frame_around(skin.size, outer))
        skin.putalpha(alpha)
        skin.paste((0, 0, 0, 0), inner)
        save_skin(skin, os.path.join(out, "skin.png"))
        for name, pos, size in login_buttons():
            box = edges((pos[0], pos[1], pos[0] + size[0], pos[1] + size[1]), percent)
            for state in STATES:
                twin = Image.open(os.path.join(TWINS, f"{name}_{state}.png"))
                twin.resize((box[2] - box[0], box[3] - box[1]), Image.Resampling.LANCZOS).save(
                    os.path.join(out, f"{name}_{state}.png"))


def check_between(percent):
    folder_at = os.path.join(IMAGES, str(percent))
    skin = open_skin(os.path.join(folder_at, "skin.png"), edges(SKIN_SIZE, percent))
    assert skin.mode == "RGBA" and skin.size == edges(SKIN_SIZE, percent), (percent, skin.mode, skin.size)
    inner, outer = hole_at(percent)
    alpha = skin.getchannel("A")
    assert alpha.crop(inner).getextrema() == (0, 0), f"hole not transparent at {percent} %"
    frame = ImageChops.lighter(alpha, ImageChops.invert(frame_around(skin.size, outer)))
    assert frame.getextrema() == (255, 255), f"frame around the hole not opaque at {percent} %"
    for name, pos, size in login_buttons():
        box = edges((pos[0], pos[1], pos[0] + size[0], pos[1] + size[1]), percent)
        for state in STATES:
            img = Image.open(os.path.join(folder_at, f"{name}_{state}.png"))
            assert img.size == (box[2] - box[0], box[3] - box[1]), (percent, name, state, img.size)


def check():
    """Each image and its twin at twice its size: the same layout, the hole at twice its place;
    the art in between at the launcher's sizes."""
    global S
    for S in (1, 2):
        check_scale()
    S = 1
    for percent in PERCENTS:
        check_between(percent)
    ico = Image.open(os.path.join(RESOURCES, "launcher.ico"))
    assert {(16, 16), (32, 32), (48, 48), (256, 256)} <= set(ico.info["sizes"]), ico.info["sizes"]
    print("artwork ok")


def check_scale():
    skin = open_skin(os.path.join(folder(), "skin.png"), sized(SKIN_SIZE))
    assert skin.mode == "RGBA" and skin.size == sized(SKIN_SIZE), (S, skin.mode, skin.size)
    alpha = skin.getchannel("A")
    assert alpha.crop(scaled_area(HOLE[0], HOLE[1], HOLE[2] + 1, HOLE[3] + 1)).getextrema() == (0, 0), "hole not transparent"
    assert alpha.crop(scaled_area(HOLE[0], WEB_TOP_ROW, HOLE[2] + 1, WEB_TOP_ROW + 1)).getextrema() == (255, 255), "row 449 not opaque"
    assert 0 < sum(1 for v in alpha.getdata() if 0 < v < 255), "no partial alpha"
    for name, (pos, size, label) in BUTTONS.items():
        states = [Image.open(os.path.join(folder(), f"{name}_{state}.png")) for state in STATES]
        for state, img in zip(STATES, states):
            assert img.mode == "RGBA" and img.size == sized(size), (S, name, state, img.mode, img.size)
            assert img.getchannel("A").getextrema() == (255, 255), f"{name}_{state} not opaque"
            # the game window's page area is keyed on magenta; a magenta pixel would be a hole
            assert pos or (255, 0, 255, 255) not in set(img.getdata()), f"{name}_{state} holds the colour key"
        for a, b in ((0, 1), (0, 2), (1, 2)):
            assert ImageChops.difference(states[a].convert("RGB"), states[b].convert("RGB")).getbbox(), f"{name}: {STATES[a]} and {STATES[b]} look alike"
        if pos is None and label:
            w, h = sized(size)
            corners = {states[0].getpixel((x, y))[:3] for x in (0, w - 1) for y in (0, h - 1)}
            assert corners == {NOTICE}, f"{name} does not blend into the notice's panel: {corners}"
        if pos:
            on_skin = skin.crop(scaled_area(pos[0], pos[1], pos[0] + size[0], pos[1] + size[1]))
            assert not ImageChops.difference(on_skin.convert("RGB"), states[0].convert("RGB")).getbbox(), f"skin lacks the {name} button"


if __name__ == "__main__":
    if "--check" not in sys.argv[1:]:
        generate()
    check()
