"""Coverage masks of printed text and vector shapes on a picture's grid.

Text goes through FreeType (PIL) with fonts loaded by file path and the basic
layout engine, so the result does not depend on what fontconfig finds.  Lines,
arcs and outlines go through cairo.  Both give float32 coverage 0..1 on the grid.
"""

import math
import os

import cairo
import numpy as np
from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts"
FONTS = {
    # DIN-style face for legends, scales and captions
    "din": os.path.join(FONT_DIR, "truetype/opendin/OSP-DIN.ttf"),
    # tall condensed display face for the product name
    "display": os.path.join(FONT_DIR, "opentype/bebas-neue/BebasNeue-Bold.otf"),
}

_font_cache = {}
_cap_cache = {}


def font(face, size_px):
    key = (face, size_px)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(FONTS[face], size_px,
                                              layout_engine=ImageFont.Layout.BASIC)
    return _font_cache[key]


def cap_ratio(face):
    """Cap height as a fraction of the em size."""
    if face not in _cap_cache:
        f = font(face, 1000)
        l, t, r, b = f.getbbox("H", anchor="ls")
        _cap_cache[face] = -t / 1000.0
    return _cap_cache[face]


class Printer:
    """Collects printed text on one 8-bit coverage image of the grid."""

    def __init__(self, grid):
        self.grid = grid
        self.img = Image.new("L", (grid.pw, grid.ph), 0)
        self.draw = ImageDraw.Draw(self.img)

    def text(self, text, x, y, cap, face="din", tracking=0.0, align="centre", weight=0.0,
             snap=True):
        """Print `text` with cap height `cap` (design units).

        (x, y) is the centre of the capitals' box for align "centre"; for "left"
        and "right" x is that edge of the ink instead.  `tracking` adds space
        between letters (design units); `weight` thickens the strokes by that
        many design units on each side, for small type that has to hold up at 1x.
        With `snap` the ink's left edge and the capitals' top are moved (by half a
        unit at most) onto whole design units, which are the pixel edges at 1x:
        with a whole-unit cap height, tops, baselines and the first stem then
        fall on pixel edges instead of smearing over two pixels.
        """
        grid = self.grid
        n = grid.n
        size = max(1, int(round(cap * n / cap_ratio(face))))
        f = font(face, size)
        track = tracking * n
        advances = [f.getlength(ch) for ch in text]
        width = sum(advances) + track * (len(text) - 1)
        cap_px = cap_ratio(face) * size
        # centre on the ink of the first and last letters, not on advance boxes
        l0 = f.getbbox(text[0], anchor="ls")[0]
        last = f.getbbox(text[-1], anchor="ls")
        ink_right = width - advances[-1] + last[2]
        ink_w = ink_right - l0
        ox, oy = grid.origin
        px = (x - ox) * n
        if align == "centre":
            left = px - ink_w / 2.0 - l0
        elif align == "left":
            left = px - l0
        else:
            left = px - ink_right
        base = (y - oy) * n + cap_px / 2.0
        if snap:
            ink_left = (left + l0) / n
            left += (round(ink_left + ox) - ox - ink_left) * n
            top = (base - cap_px) / n
            base += (round(top + oy) - oy - top) * n
        pen = left
        stroke = int(round(weight * n))
        for ch, adv in zip(text, advances):
            self.draw.text((pen, base), ch, font=f, fill=255, anchor="ls",
                           stroke_width=stroke, stroke_fill=255)
            pen += adv + track

    def mask(self):
        return np.asarray(self.img, dtype=np.float32) / 255.0


def text_extent(text, cap, face="din", tracking=0.0):
    """Ink width and cap height of a text in design units."""
    size = 1000
    f = font(face, size)
    k = cap / (cap_ratio(face) * size)
    adv = [f.getlength(ch) for ch in text]
    l0 = f.getbbox(text[0], anchor="ls")[0]
    r1 = f.getbbox(text[-1], anchor="ls")[2]
    w = (sum(adv[:-1]) + r1 - l0) * k + tracking * (len(text) - 1)
    return w, cap


class Vector:
    """A cairo A8 surface on the grid, with its context scaled to design units."""

    def __init__(self, grid):
        self.grid = grid
        self.surface = cairo.ImageSurface(cairo.FORMAT_A8, grid.pw, grid.ph)
        self.ctx = cairo.Context(self.surface)
        self.ctx.scale(grid.n, grid.n)
        self.ctx.translate(-grid.origin[0], -grid.origin[1])
        self.ctx.set_source_rgba(0, 0, 0, 1)
        self.ctx.set_antialias(cairo.ANTIALIAS_BEST)

    def mask(self):
        self.surface.flush()
        stride = self.surface.get_stride()
        buf = np.frombuffer(self.surface.get_data(), dtype=np.uint8)
        arr = buf.reshape(self.grid.ph, stride)[:, : self.grid.pw]
        return arr.astype(np.float32) / 255.0

    # helpers in design units -------------------------------------------------
    def radial_line(self, cx, cy, angle_deg, r0, r1, width, cap=cairo.LINE_CAP_BUTT):
        a = math.radians(angle_deg)
        s, c = math.sin(a), -math.cos(a)
        ctx = self.ctx
        ctx.set_line_width(width)
        ctx.set_line_cap(cap)
        ctx.move_to(cx + r0 * s, cy + r0 * c)
        ctx.line_to(cx + r1 * s, cy + r1 * c)
        ctx.stroke()

    def arc(self, cx, cy, r, a0_deg, a1_deg, width):
        """Arc between two screen angles (0 = up, clockwise), a0 < a1."""
        ctx = self.ctx
        ctx.set_line_width(width)
        ctx.set_line_cap(cairo.LINE_CAP_BUTT)
        ctx.new_sub_path()
        ctx.arc(cx, cy, r, math.radians(a0_deg - 90.0), math.radians(a1_deg - 90.0))
        ctx.stroke()

    def rounded_rect(self, x, y, w, h, r):
        ctx = self.ctx
        ctx.new_sub_path()
        ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
        ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
        ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
        ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
        ctx.close_path()
