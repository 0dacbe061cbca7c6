"""The material family of the unit, as linear colours and finishes.

Black anodised plate, black satin knob skirts with spun-aluminium caps, ivory
screen-print, stainless screws, chrome toggle and bezels, amber light.
"""

from imaging import rgb

PLATE = rgb("#161617")          # anodised black: about sRGB 27 once lit
PLATE_SHADOW = rgb("#050506")
INK = rgb("#e4dfd2")            # slightly warm off-white screen-print
INK_DIM = rgb("#a9a497")
SKIRT = rgb("#101011")
CAP = rgb("#b9bbbe")            # spun aluminium
POINTER = rgb("#efe8d6")        # ivory light pipe
STEEL = rgb("#9c9ea2")
CHROME = rgb("#d6d8dc")
FACE = rgb("#0c0c0d")           # meter dial behind the glass

AMBER = rgb("#ff9a2a")          # the unit's light colour
AMBER_HOT = rgb("#ffd9a0")      # centre of a bright lamp or segment
AMBER_DEEP = rgb("#ff7a12")
LAMP_RED = rgb("#ff5a1c")
