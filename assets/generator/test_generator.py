"""Checks on the generated panel images and on the laws the artwork is drawn by.

Run: /usr/bin/python3 -m unittest discover -s assets/generator
"""

import io
import os
import sys
import unittest

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
IMAGES = os.path.normpath(os.path.join(HERE, "..", "images"))

# file name -> size at 1x; written out here rather than taken from the generator
EXPECTED = {
    "background.png": (720, 366),
    "meter_needle.png": (132, 132),
    "meter_glass.png": (132, 132),
    "toggle_clean_off.png": (46, 46),
    "toggle_clean_on.png": (46, 46),
    "lamp_dirty_on.png": (18, 18),
    "readout_glyphs.png": (322, 30),
    "readout_key_gr_db.png": (40, 23),
    "readout_key_input.png": (40, 23),
    "readout_key_output.png": (44, 23),
    "readout_key_attack.png": (44, 23),
    "readout_key_release.png": (48, 23),
    "readout_key_mix.png": (30, 23),
    "readout_key_bypass.png": (44, 23),
}
for fam, size, spill in (("large", 120, 200), ("small", 60, 128), ("mix", 64, 133)):
    for part in ("base", "pointer", "pointer_glow", "sheen"):
        EXPECTED["knob_%s_%s.png" % (fam, part)] = (size, size)
    EXPECTED["knob_%s_spill.png" % fam] = (spill, spill)
for lbl in ("4", "8", "12", "20", "all"):
    for state in ("off", "on"):
        EXPECTED["ratio_%s_%s.png" % (lbl, state)] = (96, 89)

SPILLS = [n for n in EXPECTED if n.endswith("_spill.png")]


def load(density, name):
    with Image.open(os.path.join(IMAGES, density, name)) as im:
        im.load()
        fmt = im.format
        im = im.copy()
    im.format = fmt
    return im


class ImageSetTest(unittest.TestCase):
    def test_every_image_has_its_size_and_colour_type_at_both_densities(self):
        self.assertEqual(len(EXPECTED), 39)
        for name, (w, h) in sorted(EXPECTED.items()):
            mode = "RGB" if name in SPILLS else "RGBA"
            for density, k in (("1x", 1), ("2x", 2)):
                with self.subTest(name=name, density=density):
                    im = load(density, name)
                    self.assertEqual(im.format, "PNG")
                    self.assertEqual(im.size, (w * k, h * k))
                    self.assertEqual(im.mode, mode)

    def test_no_stray_files(self):
        for density in ("1x", "2x"):
            self.assertEqual(sorted(os.listdir(os.path.join(IMAGES, density))), sorted(EXPECTED))

    def test_spill_fades_to_black_well_inside_its_frame(self):
        # rotating the square by any angle must never bring a lit pixel into view at a
        # corner: everything outside the inscribed circle has to be black
        for name in SPILLS:
            for density in ("1x", "2x"):
                with self.subTest(name=name, density=density):
                    a = np.asarray(load(density, name)).astype(int)
                    n = a.shape[0]
                    yy, xx = np.mgrid[0:n, 0:n]
                    r = np.hypot(xx + 0.5 - n / 2, yy + 0.5 - n / 2)
                    self.assertEqual(a[r > 0.48 * n].max(), 0)
                    self.assertGreater(a.max(), 60)   # and there is light in it

    def test_transparent_pixels_carry_no_colour(self):
        for name in sorted(EXPECTED):
            if name in SPILLS:
                continue
            a = np.asarray(load("2x", name))
            with self.subTest(name=name):
                self.assertEqual(int(a[a[..., 3] == 0][:, :3].max(initial=0)), 0)

    def test_pointers_and_needle_point_straight_up_from_the_centre(self):
        for name in ("knob_large_pointer.png", "knob_small_pointer.png", "knob_mix_pointer.png",
                     "knob_large_pointer_glow.png", "meter_needle.png"):
            with self.subTest(name=name):
                a = np.asarray(load("2x", name))[..., 3].astype(float)
                n = a.shape[0]
                yy, xx = np.nonzero(a > 128)   # the mark itself, not its glow or shadow
                dx, dy = xx + 0.5 - n / 2, yy + 0.5 - n / 2
                far = np.argmax(dx * dx + dy * dy)
                self.assertLess(abs(dx[far]), 0.02 * n)     # the tip is on the vertical
                self.assertLess(dy[far], -0.2 * n)          # and above the centre

    def test_readout_glow_stays_inside_each_cell(self):
        a = np.asarray(load("2x", "readout_glyphs.png"))[..., 3]
        cell = 46
        for i in range(14):
            with self.subTest(cell=i):
                c = a[:, cell * i: cell * (i + 1)]
                self.assertEqual(int(c[:, :2].max()), 0)
                self.assertEqual(int(c[:, -2:].max()), 0)
                self.assertGreater(int(c.max()), 200)


class LawsTest(unittest.TestCase):
    """Printed marks sit where pointer and needle will point for that value."""

    def test_knob_scale_labels_sit_at_their_pointer_angles(self):
        import geometry as G
        import scales
        cases = [
            # knob, label, angle clockwise from 12 o'clock
            ("INPUT", "-24", -135.0), ("INPUT", "0", -27.0), ("INPUT", "+36", 135.0),
            ("OUTPUT", "0", 0.0), ("OUTPUT", "+12", 67.5), ("OUTPUT", "-24", -135.0),
            ("ATTACK", "1", -135.0), ("ATTACK", "4", 0.0), ("RELEASE", "7", 135.0),
            ("MIX", "0", -135.0), ("MIX", "60", 27.0), ("MIX", "100", 135.0),
        ]
        knobs = {k.label: k for k in G.KNOBS}
        for knob, label, angle in cases:
            with self.subTest(knob=knob, label=label):
                marks = {lbl: a for a, lbl, _ in scales.knob_scale_marks(knobs[knob]) if lbl}
                self.assertAlmostEqual(marks[label], angle, places=6)

    def test_dial_marks_follow_the_needle_law(self):
        import scales
        marks = {lbl: a for a, lbl, _ in scales.dial_marks() if lbl}
        # 135 - 270 * log10(1 + dB) / log10(21)
        for label, angle in (("0", 135.0), ("1", 73.52), ("3", 12.07), ("10", -77.62),
                             ("20", -135.0)):
            with self.subTest(label=label):
                self.assertAlmostEqual(marks[label], angle, places=1)


class DeterminismTest(unittest.TestCase):
    def test_same_picture_gives_the_same_bytes(self):
        import switches
        from imaging import write_png

        def once():
            px2, px1 = switches.lamp_images()["lamp_dirty_on.png"]
            out = []
            for px in (px2, px1):
                buf = io.BytesIO()
                write_png(buf, px)
                out.append(buf.getvalue())
            return out

        self.assertEqual(once(), once())


if __name__ == "__main__":
    unittest.main()
