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


class LookTest(unittest.TestCase):
    """Measured properties of the pictures that keep the panel reading as a photograph."""

    # open plate, away from print, parts and their shadows (design units)
    PLATE_PATCHES = [(60, 20), (200, 20), (460, 20), (660, 60), (30, 180), (250, 180),
                     (460, 120), (500, 200), (690, 200), (60, 250), (220, 350), (460, 350),
                     (600, 350), (700, 240), (30, 330), (540, 170)]

    def test_open_plate_is_an_even_black(self):
        for density, k in (("1x", 1), ("2x", 2)):
            a = np.asarray(load(density, "background.png"))[..., :3].astype(float)
            means = [a[(y - 4) * k:(y + 4) * k, (x - 4) * k:(x + 4) * k].mean()
                     for x, y in self.PLATE_PATCHES]
            with self.subTest(density=density):
                self.assertGreaterEqual(min(means), 25.0)
                self.assertLessEqual(max(means), 30.0)
                self.assertLessEqual(max(means) - min(means), 3.5)

    def test_knob_skirts_stand_apart_from_the_plate(self):
        # the rounded rim mirrors the light at the upper left and still shows at the
        # lower right, where the skirt would otherwise melt into the plate's black
        for family, skirt in (("large", 47.0), ("small", 23.5), ("mix", 25.0)):
            for density, k in (("1x", 1), ("2x", 2)):
                a = np.asarray(load(density, "knob_%s_base.png" % family)).astype(float)
                c = a.shape[0] / 2.0
                peaks = []
                for side in (-1, 1):   # upper left, lower right
                    vals = []
                    for r in np.arange(0.80 * skirt * k, skirt * k, 0.1):
                        i = int(c + side * r / np.sqrt(2.0))
                        if a[i, i, 3] == 255:
                            vals.append(a[i, i, :3].mean())
                    peaks.append(max(vals))
                lit, far = peaks
                with self.subTest(family=family, density=density):
                    self.assertGreaterEqual(lit, 88.0)
                    self.assertGreaterEqual(far, 32.0)     # lighter than the plate
                    self.assertGreater(lit, 2.2 * far)     # and lit from the upper left

    def test_spill_reaches_out_onto_the_plate(self):
        # along the pointer, halfway from the skirt to where the light must be gone,
        # the spill still has half its strength: a glow, not a crescent at the edge
        for family, skirt in (("large", 47.0), ("small", 23.5), ("mix", 25.0)):
            for density, k in (("1x", 1), ("2x", 2)):
                a = np.asarray(load(density, "knob_%s_spill.png" % family)).astype(float).max(axis=2)
                n = a.shape[0]
                half = n / 2.0 / k
                limit = 0.80 * half
                up = a[:, n // 2]                       # straight up from the centre
                at = lambda r: up[int((half - r) * k)]  # noqa: E731
                peak = max(at(r) for r in np.arange(skirt, limit, 0.5))
                with self.subTest(family=family, density=density):
                    self.assertGreaterEqual(at(skirt + 0.5 * (limit - skirt)), 0.5 * peak)
                    self.assertEqual(at(limit + 1.0), 0)

    def test_readout_strokes_sit_on_whole_pixel_rows_at_1x(self):
        # the glyph row is placed at a whole unit, so a one-unit bar should light one
        # pixel row fully and leave its neighbours to the glow
        a = np.asarray(load("1x", "readout_glyphs.png"))[..., 3].astype(float)
        chars = "0123456789.-+%"

        def cell(ch):
            i = chars.index(ch)
            return a[:, 23 * i:23 * (i + 1)]

        for ch, rows in (("-", [15]), ("8", [10, 15, 20]), ("0", [10, 20]), ("5", [10, 15, 20])):
            rowmax = cell(ch).max(axis=1)
            for row in rows:
                with self.subTest(char=ch, row=row):
                    self.assertGreaterEqual(rowmax[row], 240)
        rowmax = cell("-").max(axis=1)
        self.assertLess(max(rowmax[14], rowmax[16]), 0.25 * rowmax[15])
        # "+": both arms equally long, a clear cross rather than a bar with a nick
        plus = cell("+") >= 200
        self.assertEqual(int(plus.any(axis=1).sum()), 5)
        self.assertEqual(int(plus[15].sum()), 5)

    def test_snapped_text_has_crisp_tops_and_baselines_at_1x(self):
        from imaging import Grid, box_reduce
        from masks import Printer
        for y in (5.0, 5.3, 5.5, 5.8):
            g = Grid(12, 12, 4)
            pr = Printer(g)
            pr.text("E", 6.0, y, 7.0)
            m = box_reduce(box_reduce(pr.mask(), g.ss), 2)
            rows = m.max(axis=1)
            inked = np.nonzero(rows > 0.05)[0]
            top, bottom = inked[0], inked[-1]
            with self.subTest(y=y):
                self.assertEqual(bottom - top + 1, 7)       # seven whole rows
                self.assertGreater(rows[top], 0.9)          # no half-lit row above
                self.assertGreater(rows[bottom], 0.9)       # or below


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
