"""The three knob families: base, pointer, pointer glow, sheen and light spill.

A knob is a black satin skirt with a rounded, fluted rim and a spun-aluminium cap
with a polished chamfer.  The layers add back up when the panel stacks them:

  base     the whole body without the cap's specular (never rotated);
  pointer  the ivory light-pipe mark alone, pointing up, rotated with the value;
  glow     the same mark lit amber with a halo, rotated, drawn at the knob's brightness;
  sheen    the cap's specular as an overlay (never rotated), so the bow-tie
           highlight stays put while the pointer turns under it;
  spill    amber light the pointer throws on the plate, RGB on black, rotated.

The base's cap is pre-divided by what the sheen's alpha will take away, so that
base + sheen equals the full shading wherever the pointer is not.
"""

from collections import namedtuple

import cairo
import numpy as np
from scipy import ndimage

import lighting as L
import palette as P
import texture
from imaging import Grid, cover, finish_display_rgb, finish_rgba, layer, smoothstep
from masks import Vector

SS = 4
RIM_BOX = 0.20         # satin reflection of the soft box on the skirt's rim (linear)
RIM_FILL = 0.028       # and of the low fill light on the far side

Style = namedtuple("Style", "size spill skirt cap flutes pointer_w")

STYLES = {
    "large": Style(120, 200, 47.0, 34.5, 72, 3.0),
    "small": Style(60, 128, 23.5, 17.0, 40, 1.9),
    "mix": Style(64, 133, 25.0, 18.0, 44, 2.0),
}


class KnobModel:
    """Geometry and shading of one knob family on its supersampled grid."""

    def __init__(self, family):
        st = STYLES[family]
        self.family, self.st = family, st
        self.grid = g = Grid(st.size, st.size, SS)
        c = st.size / 2.0
        self.c = c
        r, ang, dx, dy = g.polar(c, c)
        self.r, self.dx, self.dy = r, dx, dy
        R, Rc = st.skirt, st.cap
        phi = np.radians(ang)
        # fluted rim: the outline breathes by a fraction of a unit
        flute = 0.5 + 0.5 * np.cos(st.flutes * phi)
        self.flute = flute
        r_edge = R - 0.006 * R * flute
        self.alpha = cover(r - r_edge, g.px)

        e = 0.075 * R                      # rim rounding radius
        hs = 0.16 * R                      # skirt height at the start of the rim
        t = np.clip((r - (r_edge - e)) / e, 0.0, 0.985)
        self.rim = smoothstep(r_edge - e - 0.6, r_edge - e + 0.4, r)
        rim = e * (np.sqrt(1.0 - t * t) - 1.0)
        cone = 0.16 * np.clip(R - e - r, 0.0, None)
        skirt_h = hs + rim + cone
        gw = 0.035 * R                     # groove round the cap
        groove = 0.03 * R * np.exp(-((r - (Rc + gw * 0.6)) / (gw * 0.6)) ** 2)
        skirt_h = skirt_h - groove

        ch = 0.045 * R                     # polished chamfer on the cap
        hc = 0.30 * R
        dome = 0.012 * R * (1.0 - np.clip(r / Rc, 0, 1) ** 2)
        cap_h = hc + dome - np.clip(r - (Rc - ch), 0.0, None) * 0.9
        wall = smoothstep(Rc + g.px, Rc - g.px, r)
        self.h = np.where(wall > 0.5, cap_h, skirt_h).astype(np.float32)
        self.h = ndimage.gaussian_filter(self.h, 0.7)

        self.cap_mask = wall
        self.chamfer = smoothstep(Rc - ch - 0.25, Rc - ch + 0.25, r) * wall
        self.cap_top = wall * (1.0 - self.chamfer)
        self.groove_ao = 1.0 - 0.75 * np.exp(-((r - (Rc + gw * 0.5)) / (gw * 1.2)) ** 2) * (1 - wall)
        self.n = L.normals(self.h, g.px)
        self.rings = texture.rings(r, "knob:" + family, 0.035)
        self.rings_coarse = texture.rings(r, "knob2:" + family, 0.6)

    # -- shading -----------------------------------------------------------------
    def shade(self):
        """Linear colour of the body without and with the cap's specular."""
        n = self.n
        lam = L.lambert(n)
        env = L.environment(n)
        fres = L.fresnel(n, 0.04)

        # skirt: black satin with a soft gloss and the studio in its rim
        skirt = P.SKIRT[:, None, None] * (0.30 + 1.1 * lam)
        skirt = skirt + 0.035 * L.blinn(n, 30.0) + 0.02 * L.blinn(n, 6.0) + fres * env * 0.55
        # the rounded outer rim: satin mirrors the soft box as a broad band on the
        # side facing the light, and the low fill as a thin line on the far side,
        # which is what keeps a black skirt apart from the black plate
        refl = L.reflect_view(n)
        rim_zone = self.rim * (1.0 - self.cap_mask)
        box = np.exp((L.dot3(refl, L.LIGHT) - 1.0) / 0.20)
        fill_dir = np.array([0.78, 0.25, 0.57], dtype=np.float32)
        fill_dir /= np.linalg.norm(fill_dir)
        fill = np.exp((L.dot3(refl, fill_dir) - 1.0) / 0.10)
        knurl = 0.72 + 0.28 * self.flute
        skirt = skirt + rim_zone * knurl * (RIM_BOX * box + RIM_FILL * fill)
        # faint light from the rim's flutes
        skirt = skirt * self.groove_ao

        # cap: spun aluminium, mostly what the grooves reflect
        tang = L.tangent_about(self.dx, self.dy, n)
        marks = 1.0 + 0.035 * self.rings + 0.03 * self.rings_coarse
        diffuse = P.CAP[:, None, None] * (0.03 + 0.14 * lam) * marks
        aniso = L.anisotropic(n, tang, 180.0) * (0.55 + 0.45 * lam)
        aniso_soft = L.anisotropic(n, tang, 14.0) * 0.16
        # a second, weaker bow-tie from the studio fill light on the right
        fill_h = np.array([0.55, 0.05, 0.83], dtype=np.float32)
        fill_h /= np.linalg.norm(fill_h)
        th = L.dot3(tang, fill_h)
        fill = np.sqrt(np.clip(1 - th * th, 0, 1)) ** 90 * 0.10
        spec = (aniso * 1.25 + aniso_soft + fill) * (1.0 + 0.12 * self.rings) * marks
        spec = P.CAP[:, None, None] * spec + 0.02 * L.blinn(n, 12.0)
        # radial falloff of the highlight towards the centre spindle mark
        r = self.r
        centre = smoothstep(0.0, 0.12 * self.st.cap, r)
        spec = spec * (0.35 + 0.65 * centre)

        chamfer = P.CAP[:, None, None] * (0.06 + env * 0.9) + 0.04 * lam
        cap_diffuse = diffuse * self.cap_top + chamfer * self.chamfer
        cap_spec = spec * self.cap_top

        m = self.cap_mask
        base = skirt * (1.0 - m) + cap_diffuse
        return base.astype(np.float32), cap_spec.astype(np.float32)

    # -- layers ------------------------------------------------------------------
    def base_and_sheen(self):
        base, spec = self.shade()
        alpha = self.alpha
        sheen_a = np.clip(spec.max(axis=0), 0.0, 1.0)
        keep = np.clip(1.0 - sheen_a, 0.02, 1.0)
        base_pre = np.where(sheen_a[None] > 0, base / keep[None], base)
        base_pre = np.clip(base_pre, 0.0, 1.0)
        b = layer(np.moveaxis(base_pre, 0, -1), alpha)
        safe = np.where(sheen_a > 1e-5, sheen_a, 1.0)
        sheen_col = np.clip(spec / safe[None], 0.0, 1.0)
        s = layer(np.moveaxis(sheen_col, 0, -1), sheen_a * alpha)
        return b, s

    def pointer_shape(self, grow=0.0):
        st = self.st
        v = Vector(self.grid)
        r0, r1 = 0.30 * st.cap, 0.86 * st.cap
        v.radial_line(self.c, self.c, 0.0, r0, r1, st.pointer_w + 2 * grow,
                      cap=cairo.LINE_CAP_ROUND)
        return v.mask()

    def pointer(self):
        g = self.grid
        inner = self.pointer_shape()
        rim = self.pointer_shape(grow=0.35 if self.family == "large" else 0.25)
        # light-pipe body: brighter along its middle, lit by the flat top
        core = ndimage.gaussian_filter(inner, self.st.pointer_w * 0.25 / g.px)
        body = P.POINTER[:, None, None] * (0.42 + 0.30 * core) * (0.35 + 0.65 * L.LIGHT[2])
        groove = np.array([0.012, 0.012, 0.013], dtype=np.float32)[:, None, None]
        col = body * inner + groove * (1.0 - inner)
        return layer(np.moveaxis(col, 0, -1), np.maximum(inner, rim * 0.85))

    def glow(self):
        g = self.grid
        inner = self.pointer_shape()
        w = self.st.pointer_w
        halo = ndimage.gaussian_filter(inner, 1.1 * w / g.px)
        halo = halo / (halo.max() + 1e-9)
        wide = ndimage.gaussian_filter(inner, 2.6 * w / g.px)
        wide = wide / (wide.max() + 1e-9)
        a_halo = np.clip(0.55 * halo + 0.25 * wide, 0.0, 1.0) * smoothstep(
            self.st.size / 2.0, self.st.size / 2.0 - 4.0, self.r)
        hot = ndimage.gaussian_filter(inner, 0.22 * w / g.px)
        core_col = P.AMBER_HOT[:, None, None] * (0.75 + 0.25 * hot)
        halo_col = P.AMBER_DEEP[:, None, None] * np.ones_like(inner)
        a = np.maximum(inner * 0.96, a_halo)
        t = np.clip(inner * 0.96 / np.maximum(a, 1e-6), 0.0, 1.0)
        col = halo_col * (1 - t) + core_col * t
        return layer(np.moveaxis(col, 0, -1), a)

    def spill(self):
        """Amber light thrown on the plate, in display units, RGB (H, W, 3)."""
        st = self.st
        g = Grid(st.spill, st.spill, SS)
        half = st.spill / 2.0
        r, ang, dx, dy = g.polar(half, half)
        R = st.skirt
        d = np.clip(r - R, 0, None)
        # everything dies out smoothly by 80 % of the half-width, so that no turn
        # of the square ever shows its edge; the light's reach is measured in the
        # room between the skirt and that limit
        end = 0.80 * half
        room = end - R
        # the light fans out as it travels: the lobe widens with distance
        spread = 28.0 + 22.0 * np.clip(d / room, 0.0, 1.0)
        lobe = np.exp(-0.5 * (ang / spread) ** 2) + 0.10 * np.exp(-0.5 * (ang / 90.0) ** 2)
        # a bright pool at the skirt's foot and a long, faint tail onto the plate
        rise = smoothstep(R - 1.0, R + 0.22 * R, r)
        outside = rise * (np.exp(-d / (0.56 * room)) + 0.35 * np.exp(-d / (1.25 * room)))
        on_knob = 0.22 * smoothstep(0.5 * R, R, r) * (1 - smoothstep(R - 1.5, R + 2.5, r))
        window = 1.0 - smoothstep(end - 0.55 * room, end, r)
        i = (outside + on_knob) * lobe * window
        i = i / i.max()
        amber = np.array([1.0, 0.56, 0.17], dtype=np.float32)
        peak = 0.62
        # hotter colour close to the source, deeper amber as it spreads
        warm = np.clip(i, 0, 1)[..., None]
        col = amber * (0.85 + 0.15 * warm) * peak * i[..., None]
        col[..., 1] *= (0.8 + 0.2 * warm[..., 0])
        col[r >= end] = 0.0
        return col.astype(np.float32), g


def render(family):
    """All five images of a family: {file name: (2x pixels, 1x pixels)}."""
    k = KnobModel(family)
    g = k.grid
    base, sheen = k.base_and_sheen()
    out = {}
    pre = "knob_%s_" % family
    out[pre + "base.png"] = finish_rgba(base, g, pre + "base")
    out[pre + "pointer.png"] = finish_rgba(k.pointer(), g, pre + "pointer")
    out[pre + "pointer_glow.png"] = finish_rgba(k.glow(), g, pre + "pointer_glow")
    out[pre + "sheen.png"] = finish_rgba(sheen, g, pre + "sheen")
    spill, sg = k.spill()
    out[pre + "spill.png"] = finish_display_rgb(spill, sg, pre + "spill")
    return out


def footprint(family):
    """Outer radius of the skirt (design units), for the plate's shadows."""
    return STYLES[family].skirt
