"""Quick composer for judging the artwork; not part of the product.

Usage: /usr/bin/python3 assets/generator/preview.py [--images DIR] [--out DIR]

Stacks the generated images the way the panel does (background; per knob base,
rotated pointer, rotated glow at the knob's brightness, sheen; screen-blended
spill; ratio buttons, toggle, lamp; readout digits and caption; needle; glass) and
writes, for 1x and 2x:

  panel_rest_<d>.png    the unit at rest: knobs at their nominal positions, ratio 4,
                        clean off (lamp lit), needle at 0 dB, readout "0.0" GR dB
  panel_busy_<d>.png    a second state: knobs moved, ratio ALL, clean on, 7.5 dB of
                        gain reduction, INPUT being dragged (+6.5 on the readout)
  contact_<d>.png       every image on a checkerboard with its name
"""

import argparse
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import geometry as G  # noqa: E402

DEFAULT_IMAGES = os.path.normpath(os.path.join(HERE, "..", "images"))


def brightness(v, d):
    if d >= 0.999:
        return 0.18 + 0.37 * v
    if v <= d:
        return 0.18 + 0.37 * v / d
    return 0.55 + 0.45 * (v - d) / (1.0 - d)


class Composer:
    def __init__(self, folder, density):
        self.folder = os.path.join(folder, "%dx" % density)
        self.d = density
        self.cache = {}

    def img(self, name):
        if name not in self.cache:
            self.cache[name] = Image.open(os.path.join(self.folder, name)).convert(
                "RGB" if name.endswith("spill.png") else "RGBA")
        return self.cache[name]

    def placed(self, size, src, x, y, angle=0.0, opacity=1.0, crop=None):
        """`src` drawn with its top-left at design (x, y), rotated by `angle`
        (degrees clockwise) about its own centre, on a transparent canvas."""
        if crop is not None:
            src = src.crop(crop)
        d = self.d
        w, h = src.size
        cx, cy = x * d + w / 2.0, y * d + h / 2.0
        a = math.radians(angle)
        c, s = math.cos(a), math.sin(a)
        # inverse map: output pixel -> source pixel
        m = (c, s, w / 2.0 - c * cx - s * cy, -s, c, h / 2.0 + s * cx - c * cy)
        out = src.transform(size, Image.AFFINE, m, resample=Image.BICUBIC)
        if opacity < 1.0 and out.mode == "RGBA":
            arr = np.array(out)
            arr[..., 3] = np.rint(arr[..., 3] * opacity).astype(np.uint8)
            out = Image.fromarray(arr)
        return out

    def draw(self, canvas, name, x, y, angle=0.0, opacity=1.0, crop=None):
        canvas.alpha_composite(self.placed(canvas.size, self.img(name), x, y, angle, opacity, crop))

    def screen(self, canvas, name, cx, cy, size, angle, b):
        src = self.placed(canvas.size, self.img(name), cx - size / 2.0, cy - size / 2.0, angle)
        s = np.asarray(src, dtype=np.int32)
        dst = np.asarray(canvas, dtype=np.int32).copy()
        gain = min(256, max(0, int(round(b * 256))))
        t = (s * gain) >> 8
        a = dst[..., 3:4]
        rgbv = dst[..., :3]
        dst[..., :3] = np.minimum(a, rgbv + ((a - rgbv) * t) // 255)
        canvas.paste(Image.fromarray(dst.astype(np.uint8), "RGBA"))

    def panel(self, values, ratio, clean, meter_db, active=None, active_text=None):
        d = self.d
        canvas = Image.new("RGBA", (G.WIDTH * d, G.HEIGHT * d), (0, 0, 0, 0))
        self.draw(canvas, "background.png", 0, 0)
        for k, v in zip(G.KNOBS, values):
            th = G.knob_angle(v)
            b = brightness(v, k.nominal)
            x0, y0 = k.cx - k.size / 2.0, k.cy - k.size / 2.0
            pre = "knob_%s_" % k.family
            self.draw(canvas, pre + "base.png", x0, y0)
            self.draw(canvas, pre + "pointer.png", x0, y0, th)
            self.draw(canvas, pre + "pointer_glow.png", x0, y0, th, opacity=b)
            self.draw(canvas, pre + "sheen.png", x0, y0)
        for k, v in zip(G.KNOBS, values):
            self.screen(canvas, "knob_%s_spill.png" % k.family, k.cx, k.cy, k.spill,
                        G.knob_angle(v), brightness(v, k.nominal))
        for j, btn in enumerate(G.RATIO_BUTTONS):
            on = (ratio == j) or (ratio == 4)
            key = btn.label.lower()
            self.draw(canvas, "ratio_%s_%s.png" % (key, "on" if on else "off"), btn.x, btn.y)
        self.draw(canvas, "toggle_clean_%s.png" % ("on" if clean else "off"), *G.TOGGLE_IMAGE[:2])
        if not clean:
            self.draw(canvas, "lamp_dirty_on.png", G.LAMP[0], G.LAMP[1])
        # readout
        if active is None:
            text = ("-%.1f" % meter_db) if meter_db > 0.05 else "0.0"
            key = "GR dB"
        else:
            text, key = active_text, active
        n = len(text)
        start = 357.0 - n * G.READOUT_PITCH / 2.0
        cw, ch = G.GLYPH_CELL
        for i, c in enumerate(text):
            idx = G.GLYPH_CHARS.find(c)
            if idx < 0:
                continue
            self.draw(canvas, "readout_glyphs.png", start + G.READOUT_PITCH * i - 8.0, 104.0,
                      crop=(cw * idx * d, 0, cw * (idx + 1) * d, ch * d))
        files = {c[1]: (c[0], c[2]) for c in G.CAPTIONS}
        file, width = files[key]
        self.draw(canvas, file, 357.0 - width / 2.0, 120.0)
        self.draw(canvas, "meter_needle.png", G.METER[0], G.METER[1], G.needle_angle(meter_db))
        self.draw(canvas, "meter_glass.png", G.METER[0], G.METER[1])
        return canvas


def contact_sheet(folder, density, names):
    d = density
    ims = [(n, Image.open(os.path.join(folder, "%dx" % d, n)).convert("RGBA")) for n in names]
    pad = 8 * d
    label_h = 12 * d
    cols_w = 1500 if d == 2 else 760
    x = y = pad
    row_h = 0
    places = []
    for name, im in ims:
        w, h = im.size
        if x + w + pad > cols_w:
            x = pad
            y += row_h + label_h + pad
            row_h = 0
        places.append((name, im, x, y))
        x += max(w, 60 * d) + pad
        row_h = max(row_h, h)
    H = y + row_h + label_h + pad
    sheet = Image.new("RGBA", (cols_w, H), (0, 0, 0, 255))
    # checkerboard shows transparency
    arr = np.zeros((H, cols_w, 4), np.uint8)
    yy, xx = np.mgrid[0:H, 0:cols_w]
    chk = ((yy // (6 * d) + xx // (6 * d)) % 2).astype(np.uint8)
    arr[..., :3] = (70 + 25 * chk)[..., None]
    arr[..., 3] = 255
    sheet = Image.fromarray(arr, "RGBA")
    dr = ImageDraw.Draw(sheet)
    f = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 8 * d)
    for name, im, x, y in places:
        sheet.alpha_composite(im, (x, y))
        dr.text((x, y + im.size[1] + 2 * d), name[:-4], font=f, fill=(230, 230, 230, 255))
    return sheet


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--images", default=DEFAULT_IMAGES)
    ap.add_argument("--out", default="/tmp/vantrel-preview")
    args = ap.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    names = sorted(os.listdir(os.path.join(args.images, "1x")))
    for d in (1, 2):
        c = Composer(args.images, d)
        rest = c.panel([k.nominal for k in G.KNOBS], ratio=0, clean=False, meter_db=0.0)
        rest.save(os.path.join(args.out, "panel_rest_%dx.png" % d))
        busy = c.panel([0.5083, 0.62, 0.9, 0.2, 0.35], ratio=4, clean=True, meter_db=7.5,
                       active="INPUT", active_text="+6.5")
        busy.save(os.path.join(args.out, "panel_busy_%dx.png" % d))
        contact_sheet(args.images, d, names).save(os.path.join(args.out, "contact_%dx.png" % d))
    print("wrote previews to", args.out)


if __name__ == "__main__":
    main()
