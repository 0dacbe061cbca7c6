"""Pixel plumbing shared by every picture.

All drawing happens in linear light on float32 arrays at the 2x density times a
supersampling factor.  A picture is a premultiplied RGBA array (H, W, 4).  It is
reduced by box averaging (premultiplied, so edges keep their true colour) to the
2x density, and the 2x result is reduced again to 1x, which keeps the two densities
in step.  Encoding to 8 bits uses the sRGB curve plus a seeded dither of one LSB.
"""

import zlib

import numpy as np
from PIL import Image

# Render pixels per design unit at the 2x density.
DENSITY_2X = 2


class Grid:
    """Pixel grid of one picture: `w` x `h` design units at `ss` samples per 2x pixel.

    `n` is the number of render pixels per design unit.  `x` and `y` hold the
    design-unit coordinates of the pixel centres (broadcastable, shape (1, W) and
    (H, 1)), relative to `origin` (the picture's top-left corner in design space).
    """

    def __init__(self, w, h, ss, origin=(0.0, 0.0)):
        self.w, self.h, self.ss = w, h, ss
        self.n = DENSITY_2X * ss
        self.pw, self.ph = int(round(w * self.n)), int(round(h * self.n))
        self.px = 1.0 / self.n  # design units per render pixel
        ox, oy = origin
        self.origin = (ox, oy)
        self.x = (np.arange(self.pw, dtype=np.float32)[None, :] + 0.5) / self.n + ox
        self.y = (np.arange(self.ph, dtype=np.float32)[:, None] + 0.5) / self.n + oy

    def polar(self, cx, cy):
        """Radius and screen angle (degrees, 0 = up, clockwise) about (cx, cy)."""
        dx, dy = np.broadcast_arrays(self.x - cx, self.y - cy)
        dx, dy = dx.astype(np.float32), dy.astype(np.float32)
        r = np.sqrt(dx * dx + dy * dy)
        ang = np.degrees(np.arctan2(dx, -dy))
        return r, ang, dx, dy

    def zeros(self, channels=None):
        shape = (self.ph, self.pw) if channels is None else (self.ph, self.pw, channels)
        return np.zeros(shape, dtype=np.float32)

    def full(self, value):
        return np.full((self.ph, self.pw), value, dtype=np.float32)


def seed_for(name):
    """A stable 32-bit seed derived from a text (independent of Python's hash salt)."""
    return zlib.crc32(name.encode("ascii")) & 0xFFFFFFFF


def rng_for(name):
    return np.random.default_rng(seed_for(name))


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def cover(d, px):
    """Anti-aliased coverage of a shape from its signed distance d (negative inside)."""
    return np.clip(0.5 - d / px, 0.0, 1.0)


def mix(a, b, t):
    return a + (b - a) * t


# --- sRGB ---------------------------------------------------------------------

def srgb_to_linear(c):
    c = np.asarray(c, dtype=np.float32)
    return np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4).astype(np.float32)


def linear_to_srgb(c):
    c = np.clip(c, 0.0, 1.0)
    return np.where(c <= 0.0031308, c * 12.92, 1.055 * np.power(c, 1.0 / 2.4) - 0.055)


def rgb(hexcode):
    """Linear colour from an sRGB hex code such as '#1c1c1e'."""
    h = hexcode.lstrip("#")
    v = [int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)]
    return srgb_to_linear(np.array(v, dtype=np.float32))


# --- compositing (premultiplied) ------------------------------------------------

def layer(color, alpha):
    """Premultiplied RGBA from a colour (3,) or (H, W, 3) and an alpha map (H, W)."""
    a = np.clip(alpha, 0.0, 1.0).astype(np.float32)
    c = np.asarray(color, dtype=np.float32)
    if c.ndim == 1:
        c = np.broadcast_to(c, a.shape + (3,))
    out = np.empty(a.shape + (4,), dtype=np.float32)
    out[..., :3] = c * a[..., None]
    out[..., 3] = a
    return out


def over(dst, src):
    """Porter-Duff source-over of premultiplied `src` onto premultiplied `dst`, in place."""
    k = 1.0 - src[..., 3:4]
    dst *= k
    dst += src
    return dst


# --- reduction and encoding -----------------------------------------------------

def box_reduce(a, f):
    if f == 1:
        return a
    h, w = a.shape[0] // f, a.shape[1] // f
    a = a[: h * f, : w * f]
    shape = (h, f, w, f) + a.shape[2:]
    return a.reshape(shape).mean(axis=(1, 3), dtype=np.float32)


def _dither(shape, rng):
    return rng.random(shape, dtype=np.float32) - 0.5


def encode_rgba(premul, rng):
    """8-bit straight-alpha sRGB RGBA from a premultiplied linear array."""
    a = np.clip(premul[..., 3], 0.0, 1.0)
    safe = np.where(a > 1e-6, a, 1.0)
    straight = premul[..., :3] / safe[..., None]
    s = linear_to_srgb(straight) * 255.0 + _dither(straight.shape, rng)
    a8 = a * 255.0 + _dither(a.shape, rng)
    a8 = np.where(a >= 1.0, 255.0, np.where(a <= 0.0, 0.0, a8))
    out = np.empty(premul.shape[:2] + (4,), dtype=np.uint8)
    out[..., :3] = np.clip(np.rint(s), 0, 255).astype(np.uint8)
    out[..., 3] = np.clip(np.rint(a8), 0, 255).astype(np.uint8)
    out[out[..., 3] == 0] = 0
    return out


def encode_display(values, rng):
    """8-bit RGB from values that are already in display (encoded) units, 0..1.

    Used for the light spill, which the panel screen-blends in 8-bit encoded space;
    exact zeros stay exactly zero so the frame stays black.
    """
    v = np.clip(values, 0.0, 1.0) * 255.0
    d = np.rint(v + _dither(v.shape, rng))
    d = np.where(values > 0.0, d, 0.0)
    return np.clip(d, 0, 255).astype(np.uint8)


def finish_rgba(premul, grid, name):
    """Reduce a render to the 2x and 1x densities and encode both as RGBA."""
    p2 = box_reduce(premul, grid.ss)
    p1 = box_reduce(p2, 2)
    rng = rng_for(name)
    return encode_rgba(p2, rng), encode_rgba(p1, rng)


def finish_display_rgb(values, grid, name):
    p2 = box_reduce(values, grid.ss)
    p1 = box_reduce(p2, 2)
    rng = rng_for(name)
    return encode_display(p2, rng), encode_display(p1, rng)


def write_png(path, pixels):
    """Write an 8-bit RGB or RGBA PNG with fixed options and no metadata chunks."""
    mode = "RGBA" if pixels.shape[2] == 4 else "RGB"
    img = Image.fromarray(np.ascontiguousarray(pixels), mode)
    img.save(path, format="PNG", optimize=False, compress_level=9)
