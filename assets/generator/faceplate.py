"""The panel face: anodised plate, screen print, screws, bezels and baked shadows.

Everything that never moves is here, including the shadows of the parts that sit
on the plate (knobs, buttons, toggle, lamp, meter bezel, screws), each cast away
from the one light at the upper left: a soft offset shadow, a tight contact shadow
and a little ambient occlusion.
"""

import math

import numpy as np
from scipy import ndimage

import geometry as G
import knobs
import lighting as L
import meter
import palette as P
import scales
import switches
import texture
from imaging import Grid, cover, finish_rgba, layer, mix, over, smoothstep
from masks import Printer, Vector

SS = 2
BEVEL = 3.0
SHADOW_N = 2          # shadows are soft: work them out at the 2x density only


# --- shadows -------------------------------------------------------------------------

class ShadowField:
    """Light left on the plate after every part's shadow, on a coarse grid."""

    def __init__(self):
        self.grid = Grid(G.WIDTH, G.HEIGHT, 1)
        self.light = self.grid.full(1.0)

    def _window(self, x0, y0, x1, y1):
        g = self.grid
        n = g.n
        i0, j0 = max(0, int(x0 * n)), max(0, int(y0 * n))
        i1, j1 = min(g.pw, int(math.ceil(x1 * n))), min(g.ph, int(math.ceil(y1 * n)))
        xs = (np.arange(i0, i1, dtype=np.float32)[None, :] + 0.5) / n
        ys = (np.arange(j0, j1, dtype=np.float32)[:, None] + 0.5) / n
        return (slice(j0, j1), slice(i0, i1)), xs, ys

    def add(self, sdf, bbox, lift, blur, strength):
        """Shadow of a footprint given by its signed distance function.

        The footprint is moved away from the light by `lift` (its effective height
        in design units times the shadow slope) and blurred by `blur` units.
        """
        ox, oy = lift * L.SHADOW_DIR[0], lift * L.SHADOW_DIR[1]
        pad = 3.0 * blur + abs(ox) + abs(oy) + 2.0
        x0, y0, x1, y1 = bbox
        win, xs, ys = self._window(x0 - pad, y0 - pad, x1 + pad, y1 + pad)
        d = sdf(xs - ox, ys - oy)
        m = cover(d, self.grid.px)
        if blur > 0:
            m = ndimage.gaussian_filter(m, blur * self.grid.n, mode="constant")
        self.light[win] *= 1.0 - np.clip(m * strength, 0.0, 1.0)

    def disc(self, cx, cy, radius, height, soft=1.0, strength=1.0, tight=0.0):
        def sdf(x, y):
            return np.sqrt((x - cx) ** 2 + (y - cy) ** 2) - radius

        bbox = (cx - radius, cy - radius, cx + radius, cy + radius)
        self._stack(sdf, bbox, radius, height, soft, strength)
        if tight > 0:
            # a dark line where a wide part meets the plate and no sky reaches
            self.add(sdf, bbox, 0.35, 0.45, tight)

    def box(self, cx, cy, w, h, rad, height, soft=1.0, strength=1.0):
        def sdf(x, y):
            return switches._rounded_box_sdf(x, y, cx, cy, w, h, rad)

        bbox = (cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2)
        self._stack(sdf, bbox, min(w, h) / 2.0, height, soft, strength)

    def _stack(self, sdf, bbox, size, height, soft, strength):
        slope = L.SHADOW_PER_HEIGHT
        # the soft box is large: the cast shadow is short and very soft
        self.add(sdf, bbox, height * slope * 0.45, (0.9 + height * 0.55) * soft, 0.72 * strength)
        # contact shadow right at the foot of the part
        self.add(sdf, bbox, height * 0.06, 0.55 + height * 0.04, 0.80 * strength)
        # ambient occlusion: the part hides some of the sky from the plate around it
        self.add(sdf, bbox, 0.0, 0.25 * size + 1.0, 0.38 * strength)

    def upsampled(self, grid):
        f = grid.n // self.grid.n
        return ndimage.zoom(self.light, f, order=1, grid_mode=True, mode="nearest")


def build_shadows():
    sf = ShadowField()
    for k in G.KNOBS:
        R = knobs.STYLES[k.family].skirt
        sf.disc(k.cx, k.cy, R, 0.30 * R * 0.9, tight=0.6)
    for b in G.RATIO_BUTTONS:
        cx, cy = G.ratio_face_centre(b)
        sf.box(cx, cy, switches.WELL[0] + 1.5, switches.WELL[1] + 1.5, 4.0, 1.2, strength=0.6)
        sf.box(cx, cy, G.RATIO_FACE[0], G.RATIO_FACE[1], 3.0, 4.0, strength=0.55)
    tx, ty = G.TOGGLE_CENTRE
    sf.disc(tx, ty, switches.WASHER_R, 2.6)
    lx, ly = G.LAMP_CENTRE
    sf.disc(lx, ly, switches.LAMP_BEZEL_R, 2.2)
    px, py = G.PIVOT
    sf.disc(px, py, meter.BEZEL_R, 2.6, strength=0.9)
    for sx, sy in G.SCREWS:
        sf.disc(sx, sy, SCREW_R, 1.4, strength=0.8)
    return sf


# --- screws ---------------------------------------------------------------------------

SCREW_R = 4.6
SCREW_HOLE_R = 5.5


def screw(grid, cx, cy, turn):
    """A stainless pan-head Phillips screw in a slightly larger hole."""
    r, ang, dx, dy = grid.polar(cx, cy)
    t = np.clip(r / SCREW_R, 0, 0.999)
    h = 1.5 * np.sqrt(1.0 - t ** 2.4)
    # cross recess
    c, s = math.cos(turn), math.sin(turn)
    u = dx * c + dy * s
    v = -dx * s + dy * c
    arm = np.minimum(np.maximum(np.abs(u) - 2.5, np.abs(v) - 0.5),
                     np.maximum(np.abs(v) - 2.5, np.abs(u) - 0.5))
    cone = np.maximum(np.abs(u), np.abs(v))
    recess = cover(arm, grid.px)
    depth = 1.3 - 0.25 * cone
    h = h - recess * np.clip(depth, 0.2, 1.3)
    h = ndimage.gaussian_filter(h.astype(np.float32), 0.3 / grid.px)
    n = L.normals(h, grid.px)
    env = L.environment(n)
    lam = L.lambert(n)
    marks = texture.rings(r, "screw%d" % int(cx + cy), 0.05)
    steel = P.STEEL[:, None, None] * (0.05 + 0.30 * lam + env * 0.55) * (1.0 + 0.05 * marks) \
        + 0.10 * L.blinn(n, 60.0)
    steel = steel * (1.0 - 0.6 * recess)
    head = cover(r - SCREW_R, grid.px)
    hole = cover(r - SCREW_HOLE_R, grid.px)
    gap = np.array([0.004, 0.004, 0.0045], np.float32)[:, None, None]
    col = steel * head + gap * (1 - head)
    out = layer(np.moveaxis(col, 0, -1), hole)
    return out


# --- print ----------------------------------------------------------------------------

LEGEND_CAP = 8.0
LEGEND_TRACK = 1.6
CAPTION_Y_TOP = 40.0
CAPTION_Y_LOW = 241.0


def print_legends(pr, vec):
    for k in G.KNOBS:
        scales.print_knob_scale(pr, vec, k)
        y = CAPTION_Y_TOP if k.family == "large" else CAPTION_Y_LOW
        pr.text(k.label, k.cx, y, LEGEND_CAP, tracking=LEGEND_TRACK)
    # ratio: caption over the row and a bracket spanning the five buttons
    first, last = G.RATIO_BUTTONS[0], G.RATIO_BUTTONS[-1]
    x0 = G.ratio_face_centre(first)[0] - G.RATIO_FACE[0] / 2.0
    x1 = G.ratio_face_centre(last)[0] + G.RATIO_FACE[0] / 2.0
    xc = (x0 + x1) / 2.0
    pr.text("RATIO", xc, CAPTION_Y_LOW, LEGEND_CAP, tracking=LEGEND_TRACK)
    yb = 262.0
    ctx = vec.ctx
    ctx.set_line_width(0.9)
    ctx.move_to(x0, yb + 3.5)
    ctx.line_to(x0, yb)
    ctx.line_to(x1, yb)
    ctx.line_to(x1, yb + 3.5)
    ctx.stroke()
    # toggle and lamp
    tx, ty = G.TOGGLE_CENTRE
    pr.text("CLEAN", tx + 14.5, ty, 7.0, tracking=1.2, align="left")
    lx, ly = G.LAMP_CENTRE
    pr.text("COLOR", lx - 13.0, ly, 7.0, tracking=1.2, align="right")
    # the name and the line under it
    nx, ny = 118.0, 296.0
    pr.text("VANTREL", nx, ny, 24.0, face="display", tracking=5.0)
    pr.text("FET COMPRESSOR", nx, ny + 24.0, 6.0, tracking=3.0, weight=0.1)
    ctx.set_line_width(0.8)
    ctx.move_to(nx - 62.0, ny + 16.5)
    ctx.line_to(nx + 62.0, ny + 16.5)
    ctx.stroke()


# --- the plate ------------------------------------------------------------------------

def _edge_height(grid):
    """Height of the chamfered edge all round the plate (0 inside, negative at the rim)."""
    x, y = grid.x, grid.y
    d = np.minimum(np.minimum(x, G.WIDTH - x), np.minimum(y, G.HEIGHT - y))
    t = np.clip(1.0 - d / BEVEL, 0.0, 1.0)
    return (-1.6 * t ** 1.6).astype(np.float32)


def render():
    g = Grid(G.WIDTH, G.HEIGHT, SS)
    shape = (g.ph, g.pw)

    # anodised surface: low-frequency mottling, fine grain, faint brushing
    mot = texture.mottle(shape, "plate", scale_px=90 * g.n)
    grn = texture.grain(shape, "plate", 0.8)
    brush = texture.brushing(shape, "plate", 60.0)
    tone = 1.0 + 0.045 * mot + 0.035 * grn + 0.022 * brush

    h = _edge_height(g)
    n = L.normals(h, g.px)
    lam = L.lambert(n)
    env = L.environment(n)
    fres = L.fresnel(n, 0.04)
    # the soft box falls off a little towards the lower right of the unit
    fall = 1.0 - 0.06 * smoothstep(-0.6, 1.2, (g.x / G.WIDTH) * 0.8 + (g.y / G.HEIGHT) * 0.6)
    light = (0.40 + 0.95 * lam) * fall
    plate = P.PLATE[:, None, None] * (light * tone)[None] + fres * env * 0.30 + 0.012 * L.blinn(n, 14.0) * fall
    # seen from a finite distance the satin plate mirrors the soft box as a very
    # broad glare towards the upper left
    gx, gy = (g.x - 170.0) / 420.0, (g.y - 40.0) / 260.0
    glare = 0.0010 * np.exp(-(gx * gx + gy * gy))
    plate = plate + glare[None]

    # screen print: slightly uneven coverage, matte, the same light as the plate
    pr = Printer(g)
    vec = Vector(g)
    print_legends(pr, vec)
    ink = np.maximum(pr.mask(), vec.mask())
    cover_var = texture.mottle(shape, "ink", scale_px=3.0 * g.n, octaves=2)
    cov = ink * np.clip(0.92 + 0.05 * cover_var + 0.03 * grn, 0.0, 1.0)
    ink_col = P.INK[:, None, None] * ((0.30 + 0.62 * lam) * fall * (1.0 + 0.02 * grn))[None]
    col = mix(plate, ink_col, cov[None])
    col = np.moveaxis(col, 0, -1).copy()

    # shadows of everything standing on the plate
    sf = build_shadows()
    col *= sf.upsampled(g)[..., None]

    out = layer(col, np.ones(shape, np.float32))

    def stamp(img, origin):
        ox, oy = origin
        i0, j0 = int(round(ox * g.n)), int(round(oy * g.n))
        hh, ww = img.shape[:2]
        over(out[j0:j0 + hh, i0:i0 + ww], img)

    # ratio wells, the lamp socket, the meter and the screws
    for b in G.RATIO_BUTTONS:
        cx, cy = G.ratio_face_centre(b)
        ww, wh, _ = switches.WELL
        x0, y0 = math.floor(cx - ww / 2 - 1), math.floor(cy - wh / 2 - 1)
        sub = Grid(ww + 3, wh + 3, SS, origin=(x0, y0))
        stamp(switches.ratio_well(sub, b), (x0, y0))
    lx, ly, lw, lh = G.LAMP
    sub = Grid(lw, lh, SS, origin=(lx, ly))
    stamp(switches.lamp_socket(sub), (lx, ly))
    face, fg = meter.face(SS)
    stamp(face, fg.origin)
    rng = np.random.default_rng(7)
    for sx, sy in G.SCREWS:
        x0, y0 = sx - 7, sy - 7
        sub = Grid(14, 14, SS, origin=(x0, y0))
        stamp(screw(sub, sx, sy, rng.uniform(0, math.pi)), (x0, y0))

    return {"background.png": finish_rgba(out, g, "background")}
