"""Surface noise: grain, mottling, brushing and spun rings.

Every function takes its own seeded generator so that a picture always gets the
same surface, whatever else was drawn before it.
"""

import numpy as np
from scipy import ndimage

from imaging import rng_for


def grain(shape, name, sigma_px=0.7):
    """Fine isotropic grain, zero mean, unit standard deviation."""
    rng = rng_for(name + ":grain")
    g = rng.standard_normal(shape, dtype=np.float32)
    if sigma_px > 0:
        g = ndimage.gaussian_filter(g, sigma_px)
    return (g / (g.std() + 1e-9)).astype(np.float32)


def mottle(shape, name, scale_px, octaves=3):
    """Low-frequency blotchy variation, zero mean, unit standard deviation.

    Built on a coarse grid and enlarged, so it stays cheap on large pictures.
    """
    rng = rng_for(name + ":mottle")
    out = np.zeros(shape, dtype=np.float32)
    amp = 1.0
    s = scale_px
    for _ in range(octaves):
        cw = max(2, int(shape[1] / s) + 3)
        ch = max(2, int(shape[0] / s) + 3)
        coarse = rng.standard_normal((ch, cw), dtype=np.float32)
        coarse = ndimage.gaussian_filter(coarse, 0.8)
        zoomed = ndimage.zoom(coarse, (shape[0] / (ch - 2), shape[1] / (cw - 2)), order=3)
        out += amp * zoomed[: shape[0], : shape[1]]
        amp *= 0.5
        s *= 0.5
    return (out - out.mean()) / (out.std() + 1e-9)


def brushing(shape, name, length_px):
    """Streaks along x (brushed metal), zero mean, unit standard deviation."""
    rng = rng_for(name + ":brush")
    g = rng.standard_normal(shape, dtype=np.float32)
    g = ndimage.gaussian_filter1d(g, length_px, axis=1, mode="wrap")
    g = ndimage.gaussian_filter1d(g, 0.6, axis=0)
    return (g - g.mean()) / (g.std() + 1e-9)


def rings(r, name, pitch, count=4096):
    """Concentric turning marks: a random 1-D profile looked up by radius.

    `r` is in design units, `pitch` the typical spacing of the marks.
    """
    rng = rng_for(name + ":rings")
    prof = rng.standard_normal(count).astype(np.float32)
    prof = ndimage.gaussian_filter1d(prof, 0.8, mode="wrap")
    prof /= prof.std() + 1e-9
    idx = r / pitch
    i0 = np.floor(idx).astype(np.int64)
    f = (idx - i0).astype(np.float32)
    a = prof[i0 % count]
    b = prof[(i0 + 1) % count]
    return a + (b - a) * f
