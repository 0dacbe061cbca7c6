"""Writes every panel image at 1x and 2x.

Usage: /usr/bin/python3 assets/generator/generate.py [--out DIR] [--only NAME ...]

Each picture is drawn once at the 2x density with supersampling and then reduced
to 2x and to 1x, so the two sets always match.  The output is deterministic: fixed
seeds, fonts by file path, PNGs without metadata.
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import faceplate  # noqa: E402
import knobs  # noqa: E402
import meter  # noqa: E402
import readout  # noqa: E402
import switches  # noqa: E402
from imaging import write_png  # noqa: E402

DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "images"))

# (group name, producer of {file name: (2x pixels, 1x pixels)})
GROUPS = [
    ("background", faceplate.render),
    ("knob_large", lambda: knobs.render("large")),
    ("knob_small", lambda: knobs.render("small")),
    ("knob_mix", lambda: knobs.render("mix")),
    ("meter", meter.render),
    ("ratio", switches.ratio_images),
    ("toggle", switches.toggle_images),
    ("lamp", switches.lamp_images),
    ("readout", readout.render),
]


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=DEFAULT_OUT, help="output folder (gets 1x/ and 2x/)")
    ap.add_argument("--only", nargs="*", help="render only these groups: "
                    + ", ".join(name for name, _ in GROUPS))
    args = ap.parse_args(argv)
    wanted = set(args.only or [name for name, _ in GROUPS])
    unknown = wanted - {name for name, _ in GROUPS}
    if unknown:
        ap.error("unknown group(s): " + ", ".join(sorted(unknown)))
    for d in ("1x", "2x"):
        os.makedirs(os.path.join(args.out, d), exist_ok=True)
    t_all = time.monotonic()
    count = 0
    for name, produce in GROUPS:
        if name not in wanted:
            continue
        t = time.monotonic()
        images = produce()
        for file, (px2, px1) in sorted(images.items()):
            write_png(os.path.join(args.out, "2x", file), px2)
            write_png(os.path.join(args.out, "1x", file), px1)
            count += 1
        print("%-11s %2d image(s) %6.1f s" % (name, len(images), time.monotonic() - t))
    print("%d images at 1x and 2x in %.1f s -> %s" % (count, time.monotonic() - t_all, args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
