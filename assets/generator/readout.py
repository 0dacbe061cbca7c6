"""The readout: amber segment glyphs and their captions.

Glyphs are narrow (about 6 units with their slant) because the panel sets them at
a pitch of 6.48 units while each cell is 23 units wide: the cells overlap and only
their glow margins meet.  The glow dies out well inside each cell.

The glyph row is drawn at a whole design unit (y = 104), so at 1x every
horizontal stroke can sit exactly on one pixel row: strokes are one unit thick
and the top, middle and bottom bars lie on rows 10, 15 and 20 of the cell.  Only
the horizontal position is fractional (the pitch is), which the panel's resampling
softens by itself.
"""

import math

import cairo
import numpy as np
from scipy import ndimage

import geometry as G
import palette as P
from imaging import Grid, finish_rgba, layer, mix, smoothstep
from masks import Printer, Vector, text_extent

SS = 4
GLYPH_W = 4.9          # segment box width (design units)
GLYPH_H = 11.0         # outer height: bars on whole rows at 1x
STROKE = 1.0
GAP = 0.22
GLYPH_CY = 15.5        # vertical centre of a glyph in its cell (middle of row 15)
SLANT = math.tan(math.radians(5.0))

SEGMENTS = {
    "0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc",
    "5": "afgcd", "6": "afgedc", "7": "abc", "8": "abcdefg", "9": "abcdfg",
    "-": "g",
}


def _hbar(ctx, x0, x1, y, s):
    h = s / 2.0
    ctx.move_to(x0, y)
    ctx.line_to(x0 + h, y - h)
    ctx.line_to(x1 - h, y - h)
    ctx.line_to(x1, y)
    ctx.line_to(x1 - h, y + h)
    ctx.line_to(x0 + h, y + h)
    ctx.close_path()


def _vbar(ctx, x, y0, y1, s):
    h = s / 2.0
    ctx.move_to(x, y0)
    ctx.line_to(x + h, y0 + h)
    ctx.line_to(x + h, y1 - h)
    ctx.line_to(x, y1)
    ctx.line_to(x - h, y1 - h)
    ctx.line_to(x - h, y0 + h)
    ctx.close_path()


def draw_glyph(v, ch, cx, cy):
    """Path of one character, centred on (cx, cy), slanted like the display."""
    ctx = v.ctx
    ctx.save()
    ctx.translate(cx, cy)
    ctx.transform(_slant_matrix())
    s, gap = STROKE, GAP
    x0, x1 = -GLYPH_W / 2 + s / 2, GLYPH_W / 2 - s / 2
    y0, y1 = -GLYPH_H / 2 + s / 2, GLYPH_H / 2 - s / 2
    segs = SEGMENTS.get(ch, "")
    if "a" in segs:
        _hbar(ctx, x0 + gap, x1 - gap, y0, s)
    if "g" in segs:
        _hbar(ctx, x0 + gap, x1 - gap, 0.0, s)
    if "d" in segs:
        _hbar(ctx, x0 + gap, x1 - gap, y1, s)
    if "f" in segs:
        _vbar(ctx, x0, y0 + gap, -gap, s)
    if "b" in segs:
        _vbar(ctx, x1, y0 + gap, -gap, s)
    if "e" in segs:
        _vbar(ctx, x0, gap, y1 - gap, s)
    if "c" in segs:
        _vbar(ctx, x1, gap, y1 - gap, s)
    if ch == "+":
        # a plain cross, arms as long as each other, on whole rows
        ctx.rectangle(-0.5 * s, -2.5, s, 5.0)
        ctx.rectangle(-2.5, -0.5 * s, 5.0, s)
    if ch == ".":
        ctx.rectangle(-0.7, y1 - 0.5 * s, 1.4, s)
    if ch == "%":
        # two solid dots and a slash: hollow rings close up at this size
        dw, dh = 1.7, 2.0
        ctx.rectangle(-GLYPH_W / 2 + 0.1, -GLYPH_H / 2, dw, dh)
        ctx.rectangle(GLYPH_W / 2 - dw - 0.1, GLYPH_H / 2 - dh, dw, dh)
        ctx.fill()
        ctx.set_line_width(0.95)
        ctx.set_line_cap(cairo.LINE_CAP_BUTT)
        ctx.move_to(-GLYPH_W / 2 + 0.35, GLYPH_H / 2 - 0.1)
        ctx.line_to(GLYPH_W / 2 - 0.35, -GLYPH_H / 2 + 0.1)
        ctx.stroke()
    ctx.fill()
    ctx.restore()


def _slant_matrix():
    return cairo.Matrix(1.0, 0.0, -SLANT, 1.0, 0.0, 0.0)


def _lit(mask, grid, cell_windows, intensity=1.0):
    """Amber emission with a two-stage halo, windowed to stay inside the cells."""
    px = grid.px
    hot = ndimage.gaussian_filter(mask, 0.28 / px)
    near = ndimage.gaussian_filter(mask, 0.9 / px)
    far = ndimage.gaussian_filter(mask, 2.6 / px)
    near /= max(near.max(), 1e-6)
    far /= max(far.max(), 1e-6)
    halo_a = np.clip(0.34 * near + 0.16 * far, 0, 1) * cell_windows * intensity
    core = mix(P.AMBER[None, None], P.AMBER_HOT[None, None], np.clip(hot - 0.35, 0, 1)[..., None] * 0.9)
    core = core * intensity
    a = np.maximum(mask, halo_a)
    t = np.clip(mask / np.maximum(a, 1e-6), 0, 1)[..., None]
    col = mix(P.AMBER_DEEP[None, None], core, t)
    return layer(col, a)


def glyph_strip():
    cw, chh = G.GLYPH_CELL
    n = len(G.GLYPH_CHARS)
    g = Grid(cw * n, chh, SS)
    v = Vector(g)
    for i, ch in enumerate(G.GLYPH_CHARS):
        draw_glyph(v, ch, cw * i + cw / 2.0, GLYPH_CY)
    mask = v.mask()
    # each cell's glow fades to nothing a few units inside its edges
    local = (g.x % cw) - cw / 2.0
    win = (1.0 - smoothstep(7.5, 10.5, np.abs(local))) * (1.0 - smoothstep(10.0, 14.0, np.abs(g.y - GLYPH_CY)))
    win = np.broadcast_to(win, mask.shape)
    return _lit(mask, g, win), g


CAPTION_CAP = 7.0      # whole units: the capitals span rows 127 to 134 exactly
CAPTION_TRACK = 1.1
CAPTION_Y = 130.5      # centre of the caption's capitals, design space


def caption(text, width):
    h = G.CAPTION_HEIGHT
    g = Grid(width, h, SS)
    pr = Printer(g)
    # centred, with the first stem started on a whole unit
    ink_w, _ = text_extent(text, CAPTION_CAP, tracking=CAPTION_TRACK)
    left = round(width / 2.0 - ink_w / 2.0)
    pr.text(text, left, CAPTION_Y - G.READOUT_CAPTION_TOP, CAPTION_CAP, tracking=CAPTION_TRACK,
            align="left", weight=0.05)
    mask = pr.mask()
    x = np.broadcast_to(g.x, mask.shape)
    y = np.broadcast_to(g.y, mask.shape)
    edge = np.minimum.reduce([x, y, width - x, h - y])
    win = smoothstep(0.3, 3.0, edge)
    return _lit(mask, g, win, intensity=0.78), g


def render():
    out = {}
    img, g = glyph_strip()
    out["readout_glyphs.png"] = finish_rgba(img, g, "readout_glyphs")
    for file, text, width in G.CAPTIONS:
        img, g = caption(text, width)
        out[file] = finish_rgba(img, g, file[:-4])
    return out
