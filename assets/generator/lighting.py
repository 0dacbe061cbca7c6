"""One light for the whole unit, and the shading of height fields under it.

The light is a large soft source at the upper left, 40 degrees above the panel.
Image coordinates: x to the right, y downwards, z out of the panel towards the
viewer.  Heights are in design units.  Shading returns linear light.
"""

import math

import numpy as np

ELEVATION = math.radians(40.0)
AZIMUTH = math.radians(135.0)  # measured from +x towards -y (up): 135 = upper left

LIGHT = np.array([
    math.cos(ELEVATION) * math.cos(AZIMUTH),
    -math.cos(ELEVATION) * math.sin(AZIMUTH),
    math.sin(ELEVATION),
], dtype=np.float32)
VIEW = np.array([0.0, 0.0, 1.0], dtype=np.float32)
HALF = (LIGHT + VIEW) / np.linalg.norm(LIGHT + VIEW)

# Where a shadow falls for one unit of height: away from the light, along the panel.
SHADOW_DIR = np.array([-LIGHT[0], -LIGHT[1]], dtype=np.float32)
SHADOW_DIR /= np.linalg.norm(SHADOW_DIR)
SHADOW_PER_HEIGHT = 1.0 / math.tan(ELEVATION)


def normals(height, px):
    """Unit normals (3, H, W) of a height field sampled every `px` design units."""
    gy, gx = np.gradient(height, px)
    nz = np.ones_like(height)
    inv = 1.0 / np.sqrt(gx * gx + gy * gy + 1.0)
    return np.stack([-gx * inv, -gy * inv, nz * inv]).astype(np.float32)


def dot3(n, v):
    return n[0] * v[0] + n[1] * v[1] + n[2] * v[2]


def lambert(n):
    return np.clip(dot3(n, LIGHT), 0.0, 1.0)


def blinn(n, exponent):
    """Normalised Blinn-Phong lobe about the fixed half vector."""
    nh = np.clip(dot3(n, HALF), 0.0, 1.0)
    return nh ** exponent * ((exponent + 8.0) / (8.0 * math.pi))


def fresnel(n, f0):
    c = np.clip(n[2], 0.0, 1.0)
    return f0 + (1.0 - f0) * (1.0 - c) ** 5


def reflect_view(n):
    """Mirror direction of the view ray about the normal."""
    d = 2.0 * n[2]
    return np.stack([d * n[0], d * n[1], d * n[2] - 1.0])


def environment(n):
    """Brightness of the studio around the unit as seen in a mirror with normal n.

    A soft box at the light's position, a dim ceiling, and a dark floor and room
    behind the camera.  Gives chrome and glossy edges something to reflect.
    """
    r = reflect_view(n)
    box = np.exp((dot3(r, LIGHT) - 1.0) / 0.05)
    ceiling = 0.10 * np.clip(-r[1] * 0.7 + r[2] * 0.3 + 0.3, 0.0, 1.0)
    floor = 0.02
    # a faint second source, low at the right, keeps the lower-right edges alive
    fill_dir = np.array([0.78, 0.25, 0.57], dtype=np.float32)
    fill_dir /= np.linalg.norm(fill_dir)
    fill = 0.06 * np.exp((dot3(r, fill_dir) - 1.0) / 0.04)
    return box * 1.4 + ceiling + fill + floor


def anisotropic(n, tangent, exponent):
    """Kajiya-Kay highlight for fine grooves running along `tangent` (3, H, W).

    For spun metal the grooves run around the centre; the highlight then forms the
    familiar bow-tie across the centre, pointing towards the light.
    """
    th = dot3(tangent, HALF)
    sin_th = np.sqrt(np.clip(1.0 - th * th, 0.0, 1.0))
    return sin_th ** exponent


def tangent_about(dx, dy, n):
    """Unit tangent running around a centre, projected into the surface of normal n."""
    r = np.sqrt(dx * dx + dy * dy) + 1e-6
    t = np.stack([-dy / r, dx / r, np.zeros_like(dx)])
    # remove the normal component
    d = dot3(t, n)
    t = t - n * d
    t /= np.sqrt(dot3(t, t)) + 1e-6
    return t.astype(np.float32)


def cast_shadow(mask, height, px, softness, strength):
    """Soft shadow of an object whose footprint is `mask` standing `height` tall.

    Returns a darkening factor field (0 = no shadow, 1 = black) on the same grid,
    offset away from the light and blurred by `softness` design units.
    """
    from scipy import ndimage

    off = height * SHADOW_PER_HEIGHT
    shift = (off * SHADOW_DIR[1] / px, off * SHADOW_DIR[0] / px)
    moved = ndimage.shift(mask, shift, order=1, mode="constant", cval=0.0)
    if softness > 0:
        moved = ndimage.gaussian_filter(moved, softness / px, mode="constant")
    return np.clip(moved * strength, 0.0, 1.0)
