"""Ratio buttons, the clean toggle and the dirty lamp.

The plate carries what does not change with state: the wells the ratio buttons sit
in, the lamp's bezel and unlit jewel, and the shadows.  The images carry what does:
the button caps (released, or pressed and lit with light leaking round them), the
toggle's nut and lever with the lever's own shadow, and the lit jewel.
"""

import math

import numpy as np
from scipy import ndimage

import geometry as G
import lighting as L
import palette as P
import texture
from imaging import Grid, cover, finish_rgba, layer, mix, over, rgb, smoothstep
from masks import Printer

SS = 4

CAP_COLOUR = rgb("#1b1b1c")
WELL = (36.0, 29.0, 3.6)        # ratio well: width, height, corner radius
CAP_CORNER = 3.0


def _rounded_box_sdf(x, y, cx, cy, w, h, rad):
    qx = np.abs(x - cx) - (w / 2.0 - rad)
    qy = np.abs(y - cy) - (h / 2.0 - rad)
    ox = np.maximum(qx, 0.0)
    oy = np.maximum(qy, 0.0)
    return np.sqrt(ox * ox + oy * oy) + np.minimum(np.maximum(qx, qy), 0.0) - rad


# --- ratio buttons -----------------------------------------------------------------

def ratio_button(label, lit):
    iw, ih = G.RATIO_IMAGE
    fw, fh = G.RATIO_FACE
    g = Grid(iw, ih, SS)
    cx, cy = iw / 2.0, ih / 2.0
    x = np.broadcast_to(g.x, (g.ph, g.pw))
    y = np.broadcast_to(g.y, (g.ph, g.pw))
    d = _rounded_box_sdf(x, y, cx, cy, fw, fh, CAP_CORNER)
    inside = cover(d, g.px)

    # a pillow-edged cap; pressed caps sit lower, which the well's rim shades
    bev = 2.6
    t = np.clip(-d / bev, 0.0, 1.0)
    h = (1.8 * np.sqrt(1.0 - (1.0 - t) ** 2)).astype(np.float32)
    h = ndimage.gaussian_filter(h, 0.3 / g.px)
    n = L.normals(h, g.px)
    lam = L.lambert(n)
    env = L.environment(n)
    fres = L.fresnel(n, 0.04)
    grain = texture.grain(h.shape, "ratio-cap", 0.9)
    base = CAP_COLOUR[:, None, None] * (0.35 + 1.0 * lam) * (1.0 + 0.05 * grain)
    col = base + 0.05 * L.blinn(n, 25.0) + fres * env * 0.45
    if lit:
        # sunk by the press: the rim of the well shades the cap's upper-left edge
        upper_left = smoothstep(0.0, -6.0, (x - cx) + (y - cy))
        col = col * (1.0 - 0.40 * (1.0 - smoothstep(-3.2, -0.4, d)) * upper_left)
    col = np.moveaxis(col, 0, -1)

    # legend: ivory print, or amber light through the cap when lit
    pr = Printer(g)
    cap_h = 8.0 if len(label) < 3 else 7.0
    pr.text(label, cx, cy, cap_h, tracking=0.6 if len(label) > 2 else 0.3)
    ink = pr.mask()
    if lit:
        # smoked translucent cap with a lamp behind it: the legend burns, the face glows
        hot = ndimage.gaussian_filter(ink, 0.35 / g.px)
        ink_col = mix(P.AMBER[None, None], P.AMBER_HOT[None, None], np.clip(hot * 1.3, 0, 1)[..., None])
        bloom = ndimage.gaussian_filter(ink, 1.6 / g.px)
        bloom /= max(bloom.max(), 1e-6)
        centre = np.exp(-(((x - cx) / (fw * 0.55)) ** 2 + ((y - cy) / (fh * 0.6)) ** 2))
        face_glow = P.AMBER_DEEP * (0.008 + 0.026 * centre + 0.12 * bloom)[..., None]
        col = col + face_glow * inside[..., None]
        col = mix(col, ink_col, ink[..., None])
    else:
        col = mix(col, P.INK * 0.62, (ink * 0.95)[..., None])

    out = np.zeros(col.shape[:2] + (4,), np.float32)
    if lit:
        # light leaking out of the gap round the cap, then a soft halo on the plate
        ring = np.exp(-((d - 1.4) / 1.3) ** 2) * (d > 0)
        halo = np.exp(-np.clip(d, 0, None) / 3.5) * (d > 0)
        wide = np.exp(-np.clip(d, 0, None) / 9.0) * (d > 0)
        fade = smoothstep(0.0, 6.0, np.minimum.reduce([x, y, iw - x, ih - y]))
        a = np.clip(0.14 * ring + 0.20 * halo + 0.08 * wide, 0.0, 1.0) * fade
        gcol = mix(P.AMBER_DEEP[None, None], P.AMBER[None, None], np.clip(ring, 0, 1)[..., None])
        over(out, layer(gcol, a))
    over(out, layer(col, inside))
    return out, g


def ratio_images():
    out = {}
    for b in G.RATIO_BUTTONS:
        key = b.label.lower()
        for lit, state in ((False, "off"), (True, "on")):
            img, g = ratio_button(b.label, lit)
            name = "ratio_%s_%s" % (key, state)
            out[name + ".png"] = finish_rgba(img, g, name)
    return out


def ratio_well(grid, button):
    """The opening a ratio button sits in, drawn onto the plate (premultiplied)."""
    cx, cy = G.ratio_face_centre(button)
    x = np.broadcast_to(grid.x, (grid.ph, grid.pw))
    y = np.broadcast_to(grid.y, (grid.ph, grid.pw))
    ww, wh, wr = WELL
    d = _rounded_box_sdf(x, y, cx, cy, ww, wh, wr)
    a = cover(d, grid.px)
    # the far (lower-right) wall of the opening catches the light, the near one does not
    toward = (x - cx) / ww + (y - cy) / wh
    wall = np.exp(-((d + 0.5) / 0.55) ** 2)
    lit = wall * np.clip(toward * 2.0, 0, 1) * 0.06
    col = rgb("#060607") + lit[..., None]
    return layer(col, a)


# --- clean toggle -----------------------------------------------------------------

WASHER_R = 8.7         # flat washer under the panel nut
NUT_R = 8.0            # hex nut, corner radius
BUSHING_R = 4.3        # threaded bushing
THREAD_PITCH = 0.9
BORE_R = 2.0
LEVER_LEN = 13.5       # projected length of the lever from the pivot
BALL_R = 2.7           # the lever's round tip


def _chrome(n, spark=0.3, haze=1.0):
    """Polished metal: almost all mirror, so it is as bright as what it reflects.

    `haze` scales the little diffuse light that fine scratches add.
    """
    env = L.environment(n)
    lam = L.lambert(n)
    return (P.CHROME[:, None, None] * (haze * (0.10 + 0.14 * lam) + 1.05 * env)
            + spark * L.blinn(n, 160.0)).astype(np.float32)


def _toggle_body(g, x, y):
    """Washer, hex nut and threaded bushing: colour (H, W, 3) and coverage."""
    r = np.sqrt(x * x + y * y)
    phi = np.arctan2(y, x)
    sector = (phi + math.pi / 6.0) % (math.pi / 3.0) - math.pi / 6.0
    hex_r = r * np.cos(sector) / math.cos(math.pi / 6.0)   # 'radius' towards the corners
    flat = NUT_R * math.cos(math.pi / 6.0)

    washer_in = cover(r - WASHER_R, g.px)
    nut_in = cover(hex_r - NUT_R, g.px)
    bush_in = cover(r - BUSHING_R, g.px)

    # washer: thin, with a rounded outer edge
    tw = np.clip((r - (WASHER_R - 0.8)) / 0.8, 0.0, 0.999)
    h_washer = 0.6 * np.sqrt(1.0 - tw * tw)
    # nut: a flat top with turning marks, its six top edges bevelled (each bevel
    # a facet of its own under the light) and the chamfer cone cutting the corners
    to_flat = r * np.cos(sector)
    h_nut = 0.6 + 2.5 - np.maximum(np.clip(to_flat - (flat - 1.3), 0.0, None) * 0.9,
                                   np.clip(r - (flat + 0.2), 0.0, None) * 1.2)
    # bushing: threads seen end-on, then a rounded lip round the bore
    rt = np.clip((r - (BUSHING_R - 1.7)) / 1.7, 0.0, 1.0)
    crest = 0.5 + 0.5 * np.cos(2.0 * math.pi * (r / THREAD_PITCH + phi / (2.0 * math.pi)))
    h_bush = 6.2 - 1.8 * rt ** 2 - 0.32 * crest * rt
    h = np.where(bush_in > 0.5, h_bush, np.where(nut_in > 0.5, h_nut, h_washer)).astype(np.float32)
    h = ndimage.gaussian_filter(h, 0.22 / g.px)
    n = L.normals(h, g.px)

    turn = texture.rings(r, "toggle-nut", 0.05)
    # bushing: polished; nut and washer: turned steel, duller, so their faces
    # show the light's direction (bright corners upper left, dark lower right)
    chrome = _chrome(n)
    satin = (P.STEEL[:, None, None] * (0.22 + 1.10 * L.lambert(n) ** 3 + 0.30 * L.environment(n))
             * (1.0 + 0.08 * turn)[None] + 0.10 * L.blinn(n, 50.0))
    satin = satin * np.where(nut_in > 0.5, 1.0, 0.6)[None]
    col = np.where(bush_in[None] > 0.5, chrome, satin)
    # contact darkening where each part stands on the next one
    foot_nut = 1.0 - 0.55 * np.exp(-np.clip(hex_r - NUT_R, 0, None) / 0.5) * (1.0 - nut_in)
    foot_bush = 1.0 - 0.60 * np.exp(-np.clip(r - BUSHING_R, 0, None) / 0.45) * (1.0 - bush_in)
    col = col * (foot_nut * foot_bush)[None]
    # dark bore the lever comes out of
    col = col * (1.0 - 0.9 * cover(r - BORE_R, g.px))[None]
    return np.moveaxis(col, 0, -1), washer_in


def _lever(g, x, y, up):
    """Tapered shaft with a ball tip: colour, coverage, and the position along
    the lever (0 at the pivot, 1 at the ball's centre) for its shadow."""
    tip_y = -LEVER_LEN if up else LEVER_LEN
    a = y / tip_y                                  # 0 at the pivot, 1 at the ball's centre
    t = np.clip(a, 0.0, 1.0)
    w0, w1 = 1.9, 1.3
    half_w = w0 + (w1 - w0) * t
    ball = np.sqrt(x * x + (y - tip_y) ** 2)
    d_shaft = np.where(a < 0, np.sqrt(x * x + y * y) - w0, np.abs(x) - half_w)
    d_shaft = np.where(a > 1, ball - w1, d_shaft)
    lever_d = np.minimum(d_shaft, ball - BALL_R)
    lever_in = cover(lever_d, g.px)
    # the shaft rises away from the panel towards the ball (heights in units)
    wx = np.clip(x / half_w, -0.999, 0.999)
    h_shaft = 6.0 + t * 13.0 + half_w * np.sqrt(1.0 - wx * wx)
    bt = np.clip(ball / BALL_R, 0.0, 0.999)
    h_ball = 19.0 + BALL_R * np.sqrt(1.0 - bt * bt)
    hl = np.where(ball < BALL_R, np.maximum(h_ball, h_shaft * (a <= 1)), h_shaft)
    hl = ndimage.gaussian_filter(hl.astype(np.float32), 0.18 / g.px)
    nl = L.normals(hl, g.px)
    col = _chrome(nl, spark=0.45)
    # a polished shaft shows the soft box as a streak left of its spine
    u = np.clip(x / half_w, -1.0, 1.0)
    shaft = (ball > BALL_R).astype(np.float32)
    streak = np.exp(-((u + 0.40) / 0.22) ** 2) * shaft * (0.6 + 0.4 * (1.0 - t))
    room = np.exp(-((u - 0.55) / 0.16) ** 2) * shaft * 0.18
    col = col * (1.0 - 0.55 * np.abs(u) ** 4 * shaft)[None] \
        + P.CHROME[:, None, None] * (0.9 * streak + room)[None]
    return np.moveaxis(col, 0, -1), lever_in, a


def toggle(up):
    g = Grid(46, 46, SS)
    c = 23.0
    x = np.broadcast_to(g.x, (g.ph, g.pw)) - c
    y = np.broadcast_to(g.y, (g.ph, g.pw)) - c
    body, body_in = _toggle_body(g, x, y)
    lever, lever_in, a = _lever(g, x, y, up)

    # the lever's shadow: cast in six slices along it, each further out and softer
    # the higher that slice stands; it falls on the nut and on the plate
    sh = np.zeros_like(lever_in)
    slices = 6
    index = np.clip(np.floor(a * slices), 0, slices - 1)   # the ball joins the last slice
    for k in range(slices):
        part = lever_in * (index == k)
        hgt = 6.0 + 13.0 * (k + 0.5) / slices + 1.5           # mid-slice height of the top
        off = 0.24 * hgt * L.SHADOW_PER_HEIGHT
        moved = ndimage.shift(part, (off * L.SHADOW_DIR[1] / g.px, off * L.SHADOW_DIR[0] / g.px), order=1)
        moved = ndimage.gaussian_filter(moved, (0.4 + 0.07 * hgt) / g.px)
        sh = np.maximum(sh, moved)
    edge = np.minimum.reduce([x + c, y + c, c - x, c - y])
    sh = sh * 0.75 * smoothstep(0.5, 4.0, edge)

    out = layer(np.zeros(3, np.float32), sh * (1.0 - body_in))
    over(out, layer(body * (1.0 - sh)[..., None], body_in))
    over(out, layer(lever, lever_in))
    return out, g


def toggle_images():
    out = {}
    for up, name in ((True, "toggle_clean_on"), (False, "toggle_clean_off")):
        img, g = toggle(up)
        out[name + ".png"] = finish_rgba(img, g, name)
    return out


# --- dirty lamp ---------------------------------------------------------------------

JEWEL_R = 6.1
LAMP_BEZEL_R = 8.9


def _jewel_height(r, phi):
    facet = 2 * math.pi / 12
    sector = (phi % facet) - facet / 2.0
    oct_r = r * np.cos(sector) / math.cos(facet / 2.0)
    h = 2.4 - 0.30 * np.clip(oct_r - 2.2, 0.0, None) - 0.02 * oct_r ** 2
    return h.astype(np.float32)


def lamp_socket(grid):
    """Chrome bezel and unlit jewel on the plate (premultiplied)."""
    cx, cy = G.LAMP_CENTRE
    r, ang, dx, dy = grid.polar(cx, cy)
    phi = np.arctan2(dy, dx)
    # polished bezel: a rounded crest between a small lip round the jewel and
    # the plate, so that it mirrors the soft box upper left and the dark room below
    mid = JEWEL_R + 0.42 * (LAMP_BEZEL_R - JEWEL_R)
    t = np.clip((r - mid) / np.where(r < mid, mid - JEWEL_R + 0.25, LAMP_BEZEL_R - mid + 0.2),
                -0.999, 0.999)
    hb = 1.0 + 1.1 * np.sqrt(1 - t * t)
    hj = _jewel_height(r, phi)
    h = np.where(r < JEWEL_R, hj, hb).astype(np.float32)
    h = ndimage.gaussian_filter(h, 0.2 / grid.px)
    n = L.normals(h, grid.px)
    bezel = _chrome(n, spark=0.5, haze=0.35)
    # the jewel sits in a dark seat just inside the lip
    seat = np.exp(-((r - JEWEL_R) / 0.35) ** 2)
    bezel = bezel * (1.0 - 0.7 * seat)[None]
    jewel = _unlit_jewel(n, r)
    jin = cover(r - JEWEL_R, grid.px)[None]
    col = bezel * (1 - jin) + jewel * jin
    return layer(np.moveaxis(col, 0, -1), cover(r - LAMP_BEZEL_R, grid.px))


def _unlit_jewel(n, r):
    env = L.environment(n)
    deep = rgb("#3a0c04")
    body = deep[:, None, None] * (0.35 + 0.35 * L.lambert(n)) * (1.0 - 0.4 * np.clip(r / JEWEL_R, 0, 1))
    return body + env * 0.10 + 0.20 * L.blinn(n, 160.0)


def lamp_lit():
    g = Grid(18, 18, SS, origin=(G.LAMP[0], G.LAMP[1]))
    cx, cy = G.LAMP_CENTRE
    r, ang, dx, dy = g.polar(cx, cy)
    phi = np.arctan2(dy, dx)
    h = ndimage.gaussian_filter(_jewel_height(r, phi), 0.25 / g.px)
    n = L.normals(h, g.px)
    env = L.environment(n)
    # light from the filament behind the facets: white-hot middle, red-amber rim
    q = np.clip(r / JEWEL_R, 0, 1)
    facet_var = 0.94 + 0.06 * np.cos(phi * 12 + 0.4)
    emit = mix(P.AMBER_HOT[None, None], P.LAMP_RED[None, None], (q ** 0.8)[..., None])
    core = np.exp(-(r / 2.2) ** 2)
    emit = emit * ((0.62 - 0.30 * q ** 2) * facet_var + 0.55 * core)[..., None]
    col = emit + (env * 0.10 + 0.25 * L.blinn(n, 160.0))[..., None]
    jin = cover(r - JEWEL_R, g.px)
    # glow over the bezel, gone before the edge of the image
    # the lit jewel shows in the bezel's inner wall and warms its crest a little;
    # the chrome stays visible under it
    glow = (0.50 * np.exp(-np.clip(r - JEWEL_R, 0, None) / 0.6) + 0.10 * np.exp(-np.clip(r - JEWEL_R, 0, None) / 2.0)) \
        * (1.0 - smoothstep(LAMP_BEZEL_R - 1.2, 8.95, r))
    out = layer(P.LAMP_RED * 1.0, glow * (1 - jin))
    over(out, layer(col, jin))
    return out, g


def lamp_images():
    img, g = lamp_lit()
    return {"lamp_dirty_on.png": finish_rgba(img, g, "lamp_dirty_on")}
