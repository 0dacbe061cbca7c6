"""Printed graduations: the knob scales and the gain-reduction dial.

Every mark is placed by the same law the panel uses to turn the pointer or the
needle, so a pointer resting on a printed value really means that value.
"""

import math

import geometry as G
from masks import text_extent


def label_radius(text, angle_deg, r_out, gap, cap, tracking=0.0):
    """Centre radius for a label outside (or inside, with negative gap) a tick ring.

    The label's box is kept `gap` units clear of radius `r_out` along the ray.
    """
    w, h = text_extent(text, cap, tracking=tracking)
    a = math.radians(angle_deg)
    half = abs(w / 2.0 * math.sin(a)) + abs(h / 2.0 * math.cos(a))
    return r_out + gap + half if gap >= 0 else r_out + gap - half


def at(cx, cy, angle_deg, r):
    a = math.radians(angle_deg)
    return cx + r * math.sin(a), cy - r * math.cos(a)


# tick ring and numeral sizes per knob family (design units)
KNOB_SCALE = {
    "large": dict(r0=52.0, major=5.5, minor=3.2, w_major=1.25, w_minor=0.85, cap=7.0, gap=2.4, track=0.3),
    "small": dict(r0=27.0, major=4.0, minor=2.4, w_major=1.1, w_minor=0.8, cap=7.0, gap=1.8, track=0.3),
    "mix": dict(r0=28.5, major=4.0, minor=2.4, w_major=1.1, w_minor=0.8, cap=7.0, gap=1.8, track=0.3),
}


def knob_scale_marks(knob):
    """(angle, label or None, major) for every graduation of a knob."""
    to_norm, marks = G.SCALES[knob.label]
    return [(G.knob_angle(to_norm(value)), label, major) for value, label, major in marks]


def print_knob_scale(printer, vector, knob):
    p = KNOB_SCALE[knob.family]
    r0 = p["r0"]
    for angle, label, major in knob_scale_marks(knob):
        length = p["major"] if major else p["minor"]
        width = p["w_major"] if major else p["w_minor"]
        vector.radial_line(knob.cx, knob.cy, angle, r0, r0 + length, width)
        if label:
            r = label_radius(label, angle, r0 + p["major"], p["gap"], p["cap"], p["track"])
            x, y = at(knob.cx, knob.cy, angle, r)
            printer.text(label, x, y, p["cap"], tracking=p["track"])


# gain-reduction dial, about the needle pivot
DIAL = dict(r0=42.0, major=6.0, minor=3.5, w_major=1.2, w_minor=0.8, cap=7.0, gap=1.6, track=0.3)


def dial_marks():
    """(angle, label or None, major) for the gain-reduction dial."""
    marks = [(G.needle_angle(db), str(db), True) for db in G.METER_LABELS]
    marks += [(G.needle_angle(db), None, False) for db in G.METER_MINOR]
    return marks


def print_dial(printer, vector):
    cx, cy = G.PIVOT
    p = DIAL
    for angle, label, major in dial_marks():
        length = p["major"] if major else p["minor"]
        width = p["w_major"] if major else p["w_minor"]
        vector.radial_line(cx, cy, angle, p["r0"] - 0.4, p["r0"] + length, width)
        if label:
            r = label_radius(label, angle, p["r0"] + p["major"], p["gap"], p["cap"], p["track"])
            x, y = at(cx, cy, angle, r)
            printer.text(label, x, y, p["cap"], tracking=p["track"])
    # the arc the graduations stand on, from 20 dB round the top to 0 dB
    vector.arc(cx, cy, p["r0"], G.needle_angle(20), G.needle_angle(0), 0.9)
