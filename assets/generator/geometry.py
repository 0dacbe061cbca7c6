"""Where everything sits on the panel, in design units (1 unit = 1 pixel at 1x).

The positions are the panel's chassis tables; the artwork has to agree with them
because the panel code places and rotates the images with the same numbers.
"""

import math
from collections import namedtuple

WIDTH, HEIGHT = 720, 366

Knob = namedtuple("Knob", "label family cx cy size spill nominal")

KNOBS = [
    Knob("INPUT", "large", 118.0, 122.0, 120, 200, 0.4),
    Knob("OUTPUT", "large", 602.0, 122.0, 120, 200, 0.5),
    Knob("ATTACK", "small", 288.0, 292.0, 60, 128, 0.3333),
    Knob("RELEASE", "small", 368.0, 292.0, 60, 128, 0.6667),
    Knob("MIX", "mix", 666.0, 292.0, 64, 133, 1.0),
]

# image square and spill square per knob family
FAMILY_SIZE = {"large": (120, 200), "small": (60, 128), "mix": (64, 133)}

RatioButton = namedtuple("RatioButton", "label x y")
RATIO_BUTTONS = [RatioButton(lbl, 393.0 + 37.0 * i, 245.0)
                 for i, lbl in enumerate(["4", "8", "12", "20", "ALL"])]
RATIO_IMAGE = (96, 89)
RATIO_FACE = (32, 25)


def ratio_face_centre(button):
    return button.x + RATIO_IMAGE[0] / 2.0, button.y + RATIO_IMAGE[1] / 2.0


TOGGLE_IMAGE = (390.0, 168.0, 46, 46)
TOGGLE_SWITCH = (404.0, 182.0, 18.0, 18.0)
TOGGLE_CENTRE = (413.0, 191.0)

LAMP = (313.0, 182.0, 18, 18)
LAMP_CENTRE = (322.0, 191.0)

METER = (291.0, 22.0, 132, 132)
PIVOT = (357.0, 88.0)

READOUT_GLYPH_TOP = 104.0
READOUT_CAPTION_TOP = 120.0
READOUT_PITCH = 6.4813
GLYPH_CELL = (23, 30)
GLYPH_CHARS = "0123456789.-+%"

CAPTIONS = [
    # file, text, width in design units
    ("readout_key_gr_db.png", "GR dB", 40),
    ("readout_key_input.png", "INPUT", 40),
    ("readout_key_output.png", "OUTPUT", 44),
    ("readout_key_attack.png", "ATTACK", 44),
    ("readout_key_release.png", "RELEASE", 48),
    ("readout_key_mix.png", "MIX", 30),
    ("readout_key_bypass.png", "BYPASS", 44),
]
CAPTION_HEIGHT = 23

SCREWS = [(15.0, 15.0), (705.0, 15.0), (15.0, 351.0), (705.0, 351.0)]


def knob_angle(v):
    """Pointer angle in degrees, clockwise from 12 o'clock, for normalised value v."""
    return 270.0 * v - 135.0


def needle_angle(db):
    """Needle angle in degrees, clockwise from straight up, for dB of gain reduction."""
    c = math.log10(1.0 + db) / 1.3222193
    c = min(max(c, -0.02), 1.03)
    return 135.0 - 270.0 * c


# Printed scales: (value, label or None for an unlabelled tick, major?) and the
# value-to-normalised mapping of each knob.
def _linear(lo, hi):
    return lambda x: (x - lo) / (hi - lo)


def _signed(x):
    return "0" if x == 0 else ("+%d" % x if x > 0 else "-%d" % -x)


def _db_scale(lo, hi, label_every, major_every, minor_every):
    marks = []
    x = lo
    while x <= hi + 1e-9:
        if x % label_every == 0:
            marks.append((x, _signed(x), True))
        elif x % major_every == 0:
            marks.append((x, None, True))
        else:
            marks.append((x, None, False))
        x += minor_every
    return marks


SCALES = {
    "INPUT": (_linear(-24, 36), _db_scale(-24, 36, 12, 6, 3)),
    "OUTPUT": (_linear(-24, 24), _db_scale(-24, 24, 12, 6, 3)),
    "ATTACK": (_linear(1, 7), [(p / 2.0, str(p // 2) if p % 2 == 0 else None, p % 2 == 0)
                               for p in range(2, 15)]),
    "RELEASE": (_linear(1, 7), [(p / 2.0, str(p // 2) if p % 2 == 0 else None, p % 2 == 0)
                                for p in range(2, 15)]),
    "MIX": (_linear(0, 100), [(p, str(p) if p % 20 == 0 else None, p % 20 == 0)
                              for p in range(0, 101, 10)]),
}

# Gain-reduction dial: labelled marks, then unlabelled ones.
METER_LABELS = [0, 1, 2, 3, 5, 7, 10, 15, 20]
METER_MINOR = [0.5, 1.5, 2.5, 4, 6, 8, 9, 12.5, 17.5]
