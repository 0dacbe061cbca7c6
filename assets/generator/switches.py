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
    cap_h = 7.6 if len(label) < 3 else 6.6
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

NUT_R = 8.4            # hex nut, corner radius
BUSHING_R = 4.4
LEVER_LEN = 13.5       # projected length of the lever from the pivot


def toggle(up):
    g = Grid(46, 46, SS)
    c = 23.0
    x = np.broadcast_to(g.x, (g.ph, g.pw)) - c
    y = np.broadcast_to(g.y, (g.ph, g.pw)) - c
    r = np.sqrt(x * x + y * y)
    phi = np.arctan2(y, x)

    # hex nut with a chamfered crown, then the threaded bushing
    sector = (phi + math.pi / 6.0) % (math.pi / 3.0) - math.pi / 6.0
    hex_r = r * np.cos(sector) / math.cos(math.pi / 6.0)      # 'radius' to the corners
    nut_in = cover(hex_r - NUT_R, g.px)
    h_nut = 2.6 - np.clip(r - (NUT_R * 0.86 - 1.4), 0, None) * 0.9
    h_nut = np.minimum(h_nut, 2.6)
    bush_t = np.clip(r / BUSHING_R, 0, 0.999)
    h_bush = 4.2 + 0.9 * np.sqrt(1 - bush_t ** 8)
    h = np.where(r < BUSHING_R, h_bush, h_nut).astype(np.float32)
    h = ndimage.gaussian_filter(h, 0.3 / g.px)
    n = L.normals(h, g.px)
    env = L.environment(n)
    lam = L.lambert(n)
    threads = 0.5 + 0.5 * np.cos(r / 0.42 * 2 * math.pi)
    metal = P.CHROME[:, None, None] * (0.04 + 0.16 * lam + env * 0.75) + 0.10 * L.blinn(n, 90.0)
    metal = metal * (1.0 - 0.25 * threads * (r < BUSHING_R))
    # dark bore where the lever leaves the bushing
    bore = cover(r - 2.2, g.px)
    metal = metal * (1.0 - 0.85 * bore)
    body = np.moveaxis(metal, 0, -1)

    # lever: a tapered, polished bat tilted towards the top (on) or the bottom (off)
    tip_y = -LEVER_LEN if up else LEVER_LEN
    a = y / tip_y                                   # 0 at the pivot, 1 at the tip
    t = np.clip(a, 0.0, 1.0)
    w0, w1 = 1.6, 2.75
    half_w = w0 + (w1 - w0) * t ** 1.4
    tip = np.sqrt(x * x + (y - tip_y) ** 2)
    d_body = np.abs(x) - half_w
    d_base = np.sqrt(x * x + y * y) - w0
    d_tip = tip - w1
    lever_d = np.where(a < 0, d_base, np.where(a > 1, d_tip, np.minimum(d_body, d_tip)))
    lever_in = cover(lever_d, g.px)
    # height of the rounded lever: it rises away from the panel towards its tip
    wx = np.clip(x / half_w, -0.999, 0.999)
    hl = 6.0 + t * 14.0 + half_w * np.sqrt(1 - wx * wx)
    tip_t = np.clip(tip / w1, 0, 0.999)
    hl = np.where(a > 1, 20.0 + w1 * np.sqrt(1 - tip_t ** 2), hl)
    hl = ndimage.gaussian_filter(hl.astype(np.float32), 0.25 / g.px)
    nl = L.normals(hl, g.px)
    envl = L.environment(nl)
    laml = L.lambert(nl)
    # polished: the soft box shows as a streak left of the lever's spine, the room
    # as a dimmer band on the right
    u = x / half_w
    streak = np.exp(-((u + 0.38) / 0.20) ** 2) * (0.75 + 0.25 * (1 - t))
    room = np.exp(-((u - 0.55) / 0.18) ** 2) * 0.12
    edge = np.clip(np.abs(u), 0, 1) ** 6
    lever = P.CHROME[:, None, None] * (0.05 + 0.12 * laml + envl * 0.45 + streak * 0.75 + room) \
        * (1.0 - 0.6 * edge) + 0.25 * L.blinn(nl, 140.0)
    lever = np.moveaxis(lever, 0, -1)

    # the lever's soft shadow on nut and plate, cast away from the light
    sh_off = 3.2
    sh = ndimage.shift(lever_in, (sh_off * L.SHADOW_DIR[1] / g.px, sh_off * L.SHADOW_DIR[0] / g.px),
                       order=1)
    sh = ndimage.gaussian_filter(sh, 1.8 / g.px) * 0.55
    nut_shade = 1.0 - sh * nut_in
    out = layer(np.zeros(3, np.float32), sh * (1.0 - nut_in))
    over(out, layer(body * nut_shade[..., None], nut_in))
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
    """Bezel and unlit jewel on the plate (premultiplied)."""
    cx, cy = G.LAMP_CENTRE
    r, ang, dx, dy = grid.polar(cx, cy)
    phi = np.arctan2(dy, dx)
    # knurled bezel ring
    t = np.clip((r - (JEWEL_R + LAMP_BEZEL_R) / 2.0) / ((LAMP_BEZEL_R - JEWEL_R) / 2.0 + 0.3), -0.999, 0.999)
    knurl = 0.12 * (0.5 + 0.5 * np.cos(phi * 36))
    hb = 1.9 * np.sqrt(1 - t * t) + knurl * (np.abs(t) < 0.8)
    hj = _jewel_height(r, phi)
    h = np.where(r < JEWEL_R, hj, hb).astype(np.float32)
    h = ndimage.gaussian_filter(h, 0.25 / grid.px)
    n = L.normals(h, grid.px)
    env = L.environment(n)
    lam = L.lambert(n)
    bezel = P.CHROME[:, None, None] * (0.04 + 0.18 * lam + env * 0.8) + 0.08 * L.blinn(n, 90.0)
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
    glow = np.exp(-np.clip(r - JEWEL_R, 0, None) / 1.1) * (1.0 - smoothstep(LAMP_BEZEL_R - 1.6, 8.95, r))
    out = layer(P.LAMP_RED * 1.0, glow * 0.55 * (1 - jin))
    over(out, layer(col, jin))
    return out, g


def lamp_images():
    img, g = lamp_lit()
    return {"lamp_dirty_on.png": finish_rgba(img, g, "lamp_dirty_on")}
