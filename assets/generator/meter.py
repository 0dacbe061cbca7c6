"""The gain-reduction meter: dial face (part of the plate), needle and glass.

The dial is round, 270 degrees of travel over the top, with the digital readout in
the open quarter at the bottom.  The face sits a few units below a polished bezel,
so the bezel's own shadow lies along the face's upper-left rim.
"""

import math

import numpy as np
from scipy import ndimage

import geometry as G
import lighting as L
import palette as P
import scales
import texture
from imaging import Grid, cover, finish_rgba, layer, mix, over, rgb, smoothstep
from masks import Printer, Vector

SS = 4
FACE_R = 60.5          # visible dial radius
BEZEL_R = 65.5         # outer radius of the bezel ring
DEPTH = 3.2            # how far the dial sits below the bezel's crest
WINDOW = (332.5, 107.5, 49.0, 31.5, 2.6)   # readout window on the dial: x, y, w, h, corner
NEEDLE_LEN = 47.5
RED_ZONE = rgb("#c2452a")


def _grid(ss):
    x, y, w, h = G.METER
    return Grid(w, h, ss, origin=(x, y))


def face(ss):
    """Bezel and dial as a premultiplied layer over the meter rectangle."""
    g = _grid(ss)
    cx, cy = G.PIVOT
    r, ang, dx, dy = g.polar(cx, cy)

    # bezel: a rounded ring with a polished crest
    mid = (FACE_R + BEZEL_R) / 2.0
    half = (BEZEL_R - FACE_R) / 2.0
    t = np.clip((r - mid) / (half + 0.4), -0.999, 0.999)
    h = 2.4 * np.sqrt(1.0 - t * t)
    h = np.where(r < FACE_R, -DEPTH, h).astype(np.float32)
    h = ndimage.gaussian_filter(h, 0.45 / g.px)
    n = L.normals(h, g.px)
    env = L.environment(n)
    lam = L.lambert(n)
    # polished: dark where it mirrors the room, bright where it mirrors the soft box
    bezel = P.CHROME[:, None, None] * (0.03 + 0.07 * lam + env * 0.95) + 0.12 * L.blinn(n, 120.0)
    bezel = np.moveaxis(bezel, 0, -1)

    # dial: deep satin black, shadowed along the upper left by the bezel
    off = DEPTH * L.SHADOW_PER_HEIGHT
    rs = np.sqrt((dx - off * L.SHADOW_DIR[0]) ** 2 + (dy - off * L.SHADOW_DIR[1]) ** 2)
    occl = smoothstep(FACE_R - 3.5, FACE_R + 1.5, rs)
    ao = smoothstep(FACE_R - 0.5, FACE_R - 6.0, r)
    grain = texture.grain(r.shape, "dial", 0.8)
    light = (0.55 + 0.45 * L.LIGHT[2]) * (1.0 - 0.75 * occl) * (0.55 + 0.45 * ao)
    # a faint falloff from the upper left, as under a soft box
    light = light * (1.0 - 0.10 * smoothstep(-60, 60, dx + dy))
    dial = P.FACE * (light * (1.0 + 0.04 * grain))[..., None]

    # readout window: a cut-out in the dial with a smoked pane behind it; the dial's
    # edge shades the pane along the top and left, the cut's far wall catches light
    wx, wy, ww, wh, wr = WINDOW
    v = Vector(g)
    v.rounded_rect(wx, wy, ww, wh, wr)
    v.ctx.fill()
    win = v.mask()
    inner = ndimage.gaussian_filter(win, 1.2 / g.px)
    lip = 0.9
    shifted = ndimage.shift(win, (lip * L.SHADOW_DIR[1] / g.px, lip * L.SHADOW_DIR[0] / g.px), order=1)
    wall = np.clip(win - ndimage.shift(win, (-0.7 / g.px, -0.7 / g.px), order=1), 0, 1)
    shade = np.clip(win - ndimage.gaussian_filter(shifted, 0.9 / g.px), 0, 1)
    pane = rgb("#050506") * (1.0 - 0.7 * shade)[..., None] * (0.75 + 0.25 * inner)[..., None]
    dial = mix(dial, pane, win[..., None]) + (0.018 * wall)[..., None]

    # graduations and numerals
    pr = Printer(g)
    vec = Vector(g)
    scales.print_dial(pr, vec)
    ink = np.maximum(pr.mask(), vec.mask())
    cov = ink * (0.93 + 0.05 * texture.grain(ink.shape, "dial-ink", 1.2))
    ink_col = P.INK * (0.80 * (1.0 - 0.55 * occl))[..., None]
    dial = mix(dial, ink_col, cov[..., None])
    # 10 to 20 dB: a thin red band inside the graduations
    zone = Vector(g)
    zone.arc(cx, cy, scales.DIAL["r0"] - 2.0, G.needle_angle(20), G.needle_angle(10), 2.2)
    zm = zone.mask() * (1.0 - ink)
    dial = mix(dial, RED_ZONE * (0.7 * (1.0 - 0.55 * occl))[..., None], (zm * 0.9)[..., None])

    inside = cover(r - FACE_R, g.px)
    col = dial * inside[..., None] + bezel * (1.0 - inside[..., None])
    alpha = cover(r - BEZEL_R, g.px)
    return layer(col, alpha), g


def needle():
    """Needle pointing straight up from the image centre, which is the pivot."""
    g = Grid(132, 132, SS)
    c = 66.0
    v = Vector(g)
    ctx = v.ctx
    # tapered blade from the pivot to the tip
    ctx.move_to(c - 0.95, c + 2.0)
    ctx.line_to(c - 0.32, c - NEEDLE_LEN + 0.6)
    ctx.curve_to(c - 0.25, c - NEEDLE_LEN - 0.2, c + 0.25, c - NEEDLE_LEN - 0.2,
                 c + 0.32, c - NEEDLE_LEN + 0.6)
    ctx.line_to(c + 0.95, c + 2.0)
    ctx.close_path()
    ctx.fill()
    blade = v.mask()
    t = Vector(g)
    # short tail with a counterweight
    t.ctx.rectangle(c - 0.8, c, 1.6, 9.0)
    t.ctx.fill()
    t.rounded_rect(c - 2.3, c + 6.0, 4.6, 6.0, 1.2)
    t.ctx.fill()
    tail = t.mask()

    x = g.x - c
    # lacquered blade: a soft ridge along its length catches the light
    ridge = np.exp(-((x + 0.15) / 0.55) ** 2)
    blade_col = P.POINTER * 0.78 * (0.75 + 0.25 * ridge)[..., None]
    blade_col = np.broadcast_to(blade_col, blade.shape + (3,))
    # black counterweight, rounded across: a soft sheen along its middle (it
    # turns, so nothing about it may depend on the light's side)
    sheen = np.exp(-((g.x - c) / 1.3) ** 2) * np.ones_like(tail)
    tail_col = rgb("#0c0c0d") * (0.8 + 1.6 * sheen)[..., None]

    shadow = ndimage.gaussian_filter(np.maximum(blade, tail), 1.1 / g.px)
    out = layer(np.zeros(3, np.float32), shadow * 0.45)
    over(out, layer(tail_col, tail))
    over(out, layer(blade_col, blade))
    return out, g


def glass():
    """Glass over the dial: reflections of the room and the pivot cap."""
    g = _grid(SS)
    cx, cy = G.PIVOT
    r, ang, dx, dy = g.polar(cx, cy)
    inside = cover(r - (FACE_R + 0.3), g.px)

    # the room, faintly, all over the pane
    veil = 0.045 * inside
    # the soft box mirrored in the domed pane: a crescent along the upper left
    # with a crisp outer edge against the rim, a firm inner edge and a gentle
    # gradient inside, thinning out into horns round the sides
    off = 11.0
    r2 = np.sqrt((dx - off * L.SHADOW_DIR[0]) ** 2 + (dy - off * L.SHADOW_DIR[1]) ** 2)
    outer = cover(r - (FACE_R - 1.6), 0.35)
    inner = smoothstep(FACE_R - 5.0, FACE_R - 3.0, r2)
    depth = np.clip((r2 - (FACE_R - 5.0)) / 10.0, 0.0, 1.0)
    toward = np.clip(-(dx + dy) / (math.sqrt(2.0) * (r + 1e-6)), 0, 1)
    # the box's frame divides its reflection into two panes
    mullion = 1.0 - 0.45 * np.exp(-((ang + 58.0) / 2.2) ** 2)
    band = outer * inner * smoothstep(0.15, 0.55, toward) * inside * mullion \
        * (0.06 + 0.14 * depth ** 1.5)
    # crisp rim light where the pane meets the bezel, upper left, and its echo low right
    rim = np.exp(-((r - (FACE_R - 0.9)) / 0.4) ** 2) * inside
    lit_side = np.clip(-(dx + dy) / (r + 1e-6), 0, 1) ** 2
    dark_side = np.clip((dx + dy) / (r + 1e-6), 0, 1) ** 3
    rim_a = rim * (0.38 * lit_side + 0.12 * dark_side)
    # a thin sliver of the fill light low on the right
    sliver = cover(r - (FACE_R - 2.2), 0.3) * smoothstep(FACE_R - 4.2, FACE_R - 3.4, r) \
        * smoothstep(0.75, 0.95, (dx * 0.8 + dy * 0.6) / (r + 1e-6)) * inside * 0.10
    band = band + sliver

    a = np.clip(veil + band + rim_a, 0, 1)
    col = np.ones(r.shape + (3,), np.float32)
    col *= np.where(a > 0, (0.6 * veil + band + rim_a) / np.maximum(a, 1e-6), 0)[..., None]
    col = np.clip(col, 0, 1) * rgb("#f4f6fa")
    out = layer(col, a)

    # pivot cap: a small black dome with a lit crown, and its own contact shadow
    pr = 5.2
    sh = cover(np.sqrt((dx - 0.9) ** 2 + (dy - 0.9) ** 2) - pr, g.px)
    sh = ndimage.gaussian_filter(sh, 1.0 / g.px)
    over(out, layer(np.zeros(3, np.float32), sh * 0.5))
    t = np.clip(r / pr, 0, 0.999)
    hcap = 2.6 * np.sqrt(1 - t * t)
    n = L.normals(hcap.astype(np.float32), g.px)
    env = L.environment(n)
    cap_col = rgb("#141415")[:, None, None] * (0.3 + 0.9 * L.lambert(n)) + env * 0.10 \
        + 0.25 * L.blinn(n, 120.0)
    cap_col = np.moveaxis(cap_col, 0, -1)
    # the turned ring on its rim, lit on the light's side
    ring = np.exp(-((r - (pr - 0.8)) / 0.28) ** 2)
    lit = np.clip(-(dx + dy) / (math.sqrt(2.0) * (r + 1e-6)), 0.0, 1.0)
    cap_col = cap_col + (ring * (0.012 + 0.07 * lit ** 2))[..., None]
    over(out, layer(cap_col, cover(r - pr, g.px)))
    return out, g


def render():
    out = {}
    nd, g = needle()
    out["meter_needle.png"] = finish_rgba(nd, g, "meter_needle")
    gl, g = glass()
    out["meter_glass.png"] = finish_rgba(gl, g, "meter_glass")
    return out
