"""scenery.py -- the places of the world: far backgrounds, near fringes, ground, ceilings, ledges.

Each screen has a theme. The far background (sprite n + 2000) is the whole picture behind the
action; the near one (n + 1000) only adds a fringe along the top (leaves, roots, stalactites,
beams). Whatever moves is repainted from the far picture when it moves on (the game looks for
the first background picture under an erased pixel, and that is the far one), so the near fringe
is cut away wherever anything can move: see worldkit.near_mask.
"""
import math
import random

import kit
from palette import P
from pixel import Canvas

W, H = 210, 190


def hsh(x, y, s=0):
    """A repeatable noise value in [0, 1) for a pixel."""
    n = (x * 374761393 + y * 668265263 + s * 2246822519) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65536.0


def dith(x, y, t):
    return kit.dither(x, y, t)


def blend(stops, f, x, y):
    """The colour of a dithered blend through stops at f in 0..1."""
    n = len(stops) - 1
    f = min(max(f, 0.0), 0.9999) * n
    i = int(f)
    return stops[i + 1] if dith(x, y, f - i) else stops[i]


# ---- far backgrounds -------------------------------------------------------------------------------

def sky(c, y1, stops=None):
    kit.gradient(c, 0, 0, W, y1, stops or [P["sky"], P["sky"], P["skylt"], P["white"]])


def clouds(c, seed, n=4, ymax=90):
    rnd = random.Random(seed)
    for i in range(n):
        x = rnd.randrange(-10, W - 20)
        y = rnd.randrange(6, ymax)
        kit.cloud(c, x, y, rnd.randrange(22, 56), seed * 10 + i)


def far_trees(c, seed, base, count=7, col=None, dark=None):
    rnd = random.Random(seed)
    col, dark = col or P["moss"], dark or P["mossdk"]
    for _ in range(count):
        x = rnd.randrange(0, W)
        h = rnd.randrange(10, 22)
        c.vline(x, base - 4, base + 4, P["bark"])
        c.ellipse(x + 0.5, base - h / 2, h / 3 + 2, h / 2, dark)
        c.ellipse(x - 0.5, base - h / 2 - 1, h / 3, h / 2 - 1.5, col)
        c.set(x - 2, base - h + 2, P["leaf"])


def bushes(c, seed, y, col=None, dark=None, step=23):
    rnd = random.Random(seed)
    col, dark = col or P["moss"], dark or P["mossdk"]
    for x in range(rnd.randrange(0, 12), W + 12, step):
        yy = y + rnd.randrange(0, 5)
        c.ellipse(x, yy, 13, 9, dark)
        c.ellipse(x - 2, yy - 2, 9, 6, col)
        c.set(x - 4, yy - 5, P["leaf"])
        c.set(x + 2, yy - 6, P["leaf"])


def meadow_far(seed, water=None, horizon=112, trees=True):
    """Sky, clouds, teal hills, trees on the near hills and the meadow; water: 'pond' or 'river'."""
    c = Canvas(W, H)
    sky(c, 150)
    clouds(c, seed, 4, 80)
    kit.hills(c, 0, 0, W, H, horizon, 14, 24.0, P["teal"], P["teal"], seed + 21)
    kit.hills(c, 0, 0, W, H, horizon + 16, 9, 17.0, P["tealdk"], P["teal"], seed + 22)
    if trees:
        far_trees(c, seed + 5, horizon + 18, 6)
    kit.gradient(c, 0, 140, W, 50, [P["moss"], P["mossdk"]])
    bushes(c, seed + 7, 140)
    if water == "river":
        c.fill(0, 146, W, 10, P["deep"])
        c.fill(0, 147, W, 8, P["blue"])
        for x in range(0, W, 7):
            c.hline(x + int(hsh(x, 1, seed) * 4), x + 3, 149 + int(hsh(x, 2, seed) * 4), P["skylt"])
        c.hline(0, W - 1, 156, P["mossdk"])
    return c


def forest_far(seed, light=0.5):
    """Deep wood: light through the leaves, rows of trunks, ferns at their feet."""
    c = Canvas(W, H)
    kit.gradient(c, 0, 0, W, 150, [P["leaflt"], P["leaf"], P["moss"], P["mossdk"]])
    rnd = random.Random(seed)
    # sky glimpses between the far leaves
    for _ in range(14):
        x, y = rnd.randrange(0, W), rnd.randrange(0, 60)
        c.ellipse(x, y, rnd.randrange(3, 9), rnd.randrange(2, 5), P["lime"] if rnd.random() < 0.5 else P["skylt"])
    # far trunks (pale), then nearer trunks (dark)
    for depth, (cols, wmin, wmax, n) in enumerate(((P["moss"], 3, 6, 9), (P["wooddk"], 6, 11, 5))):
        for _ in range(n):
            x = rnd.randrange(-4, W)
            w = rnd.randrange(wmin, wmax)
            c.fill(x, 0, w, 160, cols)
            if depth:
                c.vline(x, 0, 159, P["bark"])
                c.vline(x + 1, 0, 159, P["wood"])
                for y in range(0, 160, 9):
                    if hsh(x, y, seed) < 0.5:
                        c.hline(x + 2, x + w - 2, y + int(hsh(y, x, seed) * 6), P["bark"])
            else:
                c.vline(x + w - 1, 0, 159, P["mossdk"])
    # beams of light
    for bx in (30 + int(light * 40), 120 + int(light * 30)):
        for y in range(0, 150):
            for dx in range(0, 12):
                x = bx + dx + y // 3
                fade = 0.5 - abs(dx - 6) / 14 - y / 400
                if 0 <= x < W and dith(x, y, fade) and c.get(x, y) in (P["leaf"], P["moss"], P["leaflt"]):
                    c.set(x, y, P["leaflt"] if c.get(x, y) != P["leaflt"] else P["lime"])
    kit.gradient(c, 0, 140, W, 50, [P["mossdk"], P["tealdk"]])
    for x in range(0, W, 3):   # ferns at the foot of the trunks
        h = 6 + int(hsh(x, 0, seed) * 10)
        c.vline(x, 150 - h, 150, P["moss"] if x % 2 else P["leaf"])
    return c


def earth_far(seed):
    """Inside the ground: strata, pebbles, hanging roots, old worm holes."""
    c = Canvas(W, H)
    kit.gradient(c, 0, 0, W, H, [P["mud"], P["wooddk"], P["wooddk"], P["bark"]])
    rnd = random.Random(seed)
    for i in range(6):   # strata
        y0 = 20 + i * 28 + rnd.randrange(-6, 6)
        for x in range(W):
            y = y0 + int(4 * math.sin(x / (17 + i * 3) + seed + i))
            c.set(x, y, P["bark"])
            if hsh(x, y, seed) < 0.5:
                c.set(x, y + 1, P["mud"])
    for _ in range(90):  # pebbles
        x, y = rnd.randrange(W), rnd.randrange(H)
        c.set(x, y, rnd.choice([P["sand"], P["woodlt"], P["greydk"], P["grey"]]))
        c.set(x + 1, y, P["bark"])
    for _ in range(5):   # worm holes
        x, y = rnd.randrange(10, W - 10), rnd.randrange(20, 150)
        c.ellipse(x, y, 4, 3, P["bark"])
        c.ellipse(x + 0.5, y + 0.5, 2.5, 1.8, P["ink"])
    for _ in range(9):   # roots coming down from above
        x = rnd.randrange(0, W)
        y, dx = 0, 0.0
        length = rnd.randrange(20, 80)
        for _ in range(length):
            c.set(int(x + dx), y, P["wood"])
            c.set(int(x + dx) + 1, y, P["bark"])
            y += 1
            dx += (hsh(x, y, seed) - 0.5) * 0.8
    return c


def cave_far(seed, glow=None):
    """Rock, cracks and far stalactites; glow 'worms' or 'crystals' lights it here and there."""
    c = Canvas(W, H)
    kit.gradient(c, 0, 0, W, H, [P["cave"], P["rockdk"], P["rockdk"], P["cave"]])
    rnd = random.Random(seed)
    for _ in range(40):   # boulders of the far wall, lit from the top left
        x, y = rnd.randrange(-10, W + 10), rnd.randrange(0, H)
        r = rnd.randrange(5, 16)
        c.ellipse(x + 1, y + 1, r, r * 0.7, P["cave"])
        c.ellipse(x, y, r, r * 0.7, P["rockdk"])
        c.ellipse(x - r * 0.3, y - r * 0.25, r * 0.5, r * 0.3, P["rock"] if rnd.random() < 0.5 else P["rockdk"])
        c.hline(int(x - r * 0.5), int(x + r * 0.2), int(y - r * 0.55), P["rock"])
    for _ in range(12):   # cracks
        x, y = rnd.randrange(W), rnd.randrange(H)
        for _ in range(rnd.randrange(6, 18)):
            c.set(x, y, P["ink"])
            x += rnd.choice((-1, 0, 1))
            y += 1
    for x in range(0, W, 11):  # far stalactites
        h = 6 + int(hsh(x, 3, seed) * 18)
        for i in range(h):
            half = max(0, (h - i) // 4)
            c.hline(x - half, x + half, i, P["cave"])
    if glow == "worms":
        for _ in range(70):
            x, y = rnd.randrange(W), rnd.randrange(4, 120)
            c.set(x, y, P["cyan"] if rnd.random() < 0.7 else P["lime"])
    if glow == "crystals":
        for _ in range(9):
            crystal(c, rnd.randrange(5, W - 5), rnd.randrange(30, 160), rnd.randrange(4, 9), rnd)
    return c


def crystal(c, x, y, h, rnd):
    for i in range(h):
        half = (h - i) // 3
        c.hline(x - half, x + half, y - i, P["violet"])
        c.set(x - half, y - i, P["violetlt"])
    c.set(x, y - h, P["white"])


def water_far(seed):
    """Under the pond: green-blue water, light from above, sand and weed far off."""
    c = Canvas(W, H)
    kit.gradient(c, 0, 0, W, H, [P["teal"], P["blue"], P["deep"], P["night"]])
    rnd = random.Random(seed)
    for bx in (20, 80, 150):   # rays of light
        for y in range(0, 120):
            for dx in range(0, 14, 2):
                x = bx + dx + y // 4
                if 0 <= x < W and (x + y) % 3 == 0 and hsh(x, y, seed) < 0.5 - y / 260:
                    c.set(x, y, P["cyan"])
    for x in range(0, W, 4):   # far weed
        h = 12 + int(hsh(x, 0, seed) * 40)
        sway = hsh(x, 1, seed) * 6.28
        for i in range(h):
            c.set(x + int(2 * math.sin(i / 6 + sway)), 185 - i, P["tealdk"])
    for _ in range(25):   # motes
        c.set(rnd.randrange(W), rnd.randrange(H), P["skylt"])
    return c


def interior_far(seed, kind="hut"):
    """A wooden room: boards, beams, a window on the sky; the mill has a stone footing."""
    c = Canvas(W, H)
    rnd = random.Random(seed)
    for x0 in range(0, W, 14):   # upright boards
        kit.wood_grain(c, x0, 0, 14, H, P["wood"], P["wooddk"], P["woodlt"], seed + x0, vertical=True)
        c.vline(x0, 0, H - 1, P["bark"])
        c.vline(x0 + 1, 0, H - 1, P["wooddk"])
    for y in (36, 110):   # beams
        c.fill(0, y, W, 8, P["wooddk"])
        c.hline(0, W - 1, y, P["woodlt"])
        c.hline(0, W - 1, y + 7, P["bark"])
        for x in range(10, W, 40):
            kit.nail(c, x, y + 3)
    if kind == "mill":
        for y in range(140, H, 8):   # stone footing
            off = 0 if (y // 8) % 2 else 9
            for x in range(-off, W, 18):
                c.fill(x + 1, y + 1, 16, 6, P["rock"])
                c.hline(x + 1, x + 16, y + 1, P["rocklt"])
                c.hline(x + 1, x + 16, y + 7, P["rockdk"])
    wx = 20 + rnd.randrange(0, 120)
    window(c, wx, 54, 34, 30)
    return c


def window(c, x, y, w, h):
    c.fill(x - 2, y - 2, w + 4, h + 4, P["bark"])
    kit.gradient(c, x, y, w, h, [P["sky"], P["skylt"], P["white"]])
    kit.cloud(c, x + 4, y + 6, w - 12, x)
    c.vline(x + w // 2, y, y + h - 1, P["wooddk"])
    c.hline(x, x + w - 1, y + h // 2, P["wooddk"])
    c.frame(x - 3, y - 3, w + 6, h + 6, P["ink"])
    c.hline(x - 4, x + w + 3, y + h + 2, P["woodlt"])


def well_far(seed):
    """Inside the old well: a shaft of stone courses, daylight falling from above."""
    c = Canvas(W, H)
    for y in range(H):
        for x in range(W):
            c.set(x, y, rock_colour(x, y + 3, seed))
    for y in range(H):   # the light from the mouth of the well, fading downwards
        for x in range(20, 90):
            t = 0.55 - y / 260.0 - abs(x - 55) / 90.0
            if dith(x, y, t) and c.get(x, y) != P["cave"]:
                c.set(x, y, P["rock"] if c.get(x, y) == P["rockdk"] else P["rocklt"])
    rnd = random.Random(seed)
    for _ in range(18):   # moss in the joints
        x, y = rnd.randrange(W), rnd.randrange(H)
        c.hline(x, x + rnd.randrange(2, 6), y, P["mossdk"])
    return c


def cliffs_far(seed, grotto=False):
    """The hills at the spring: sky behind grey cliffs; or the grotto around the spring."""
    if grotto:
        return cave_far(seed, "crystals")
    c = Canvas(W, H)
    sky(c, 120, [P["sky"], P["skylt"], P["white"]])
    clouds(c, seed, 3, 60)
    kit.hills(c, 0, 0, W, H, 70, 20, 30.0, P["greydk"], P["grey"], seed + 1)
    kit.hills(c, 0, 0, W, H, 100, 16, 20.0, P["rockdk"], P["rock"], seed + 2)
    rnd = random.Random(seed)
    for _ in range(30):
        x, y = rnd.randrange(W), rnd.randrange(90, 170)
        if c.get(x, y) == P["rockdk"]:
            c.hline(x, x + rnd.randrange(3, 9), y, P["rock"])
    kit.gradient(c, 0, 150, W, 40, [P["rockdk"], P["cave"]])
    return c


FAR = {
    "meadow": lambda s: meadow_far(s.seed),
    "pond": lambda s: meadow_far(s.seed, trees=True),
    "river": lambda s: meadow_far(s.seed, "river"),
    "wood": lambda s: forest_far(s.seed),
    "glade": lambda s: forest_far(s.seed, 0.9),
    "burrow": lambda s: earth_far(s.seed),
    "cave": lambda s: cave_far(s.seed),
    "glow": lambda s: cave_far(s.seed, "worms"),
    "crystal": lambda s: cave_far(s.seed, "crystals"),
    "water": lambda s: water_far(s.seed),
    "hut": lambda s: interior_far(s.seed, "hut"),
    "mill": lambda s: interior_far(s.seed, "mill"),
    "hills": lambda s: cliffs_far(s.seed),
    "grotto": lambda s: cliffs_far(s.seed, True),
    "well": lambda s: well_far(s.seed),
}


HOLE = {"grass": [P["wooddk"], P["bark"], P["ink"]], "forest": [P["bark"], P["ink"]],
        "earth": [P["bark"], P["ink"]], "rock": [P["cave"], P["ink"]], "cliff": [P["cave"], P["ink"]],
        "sand": [P["deep"], P["night"]], "planks": [P["bark"], P["ink"]]}


def hole_backdrop(far, profile, style, water=False):
    """Paint into the far picture what a gap in the ground shows below the ground's edge: the
    hole's dark earth (or the pond's water), so that a gap reads as a hole, not as sky."""
    x = 0
    while x < W:
        if profile[x] is not None:
            x += 1
            continue
        x0 = x
        while x < W and profile[x] is None:
            x += 1
        sides = [t for t in (profile[x0 - 1] if x0 > 0 else None, profile[x] if x <= W else None) if t is not None]
        if not sides:
            continue
        top = min(sides)
        stops = [P["blue"], P["deep"], P["night"]] if water else HOLE[style]
        for xx in range(x0, x):
            for y in range(top, H):
                far.set(xx, y, blend(stops, (y - top) / max(1.0, H - top), xx, y))
    return far


# ---- near fringes --------------------------------------------------------------------------------------

def leaf_fringe(seed, depth=26):
    c = Canvas(W, H)
    for x in range(-6, W + 6, 7):
        d = int(depth * (0.5 + 0.5 * hsh(x, 0, seed)))
        c.ellipse(x, d / 2, 8, d / 2 + 3, P["mossdk"])
        c.ellipse(x - 1, d / 2 - 2, 6, d / 2, P["moss"])
        c.set(x - 3, d - 3, P["leaf"])
        c.set(x + 1, d - 6, P["leaflt"])
    for x in range(3, W, 13):   # hanging vines
        n = int(hsh(x, 9, seed) * 30)
        for y in range(depth - 4, depth + n):
            c.set(x + (y // 5) % 2, y, P["moss"])
        c.set(x, depth + n, P["leaf"])
    return c


def rock_fringe(seed, base=P["rockdk"], edge=P["rock"], depth=20):
    c = Canvas(W, H)
    for x in range(W):
        d = int(depth * 0.4 + depth * 0.3 * hsh(x // 5, 0, seed))
        c.vline(x, 0, d, base)
        c.set(x, d, P["ink"])
    for x in range(4, W, 9):
        h = int(depth * 0.6 + depth * 0.9 * hsh(x, 1, seed))
        for i in range(h):
            half = (h - i) // 5
            c.hline(x - half, x + half, i, base)
            c.set(x - half, i, edge)
        c.set(x, h, P["ink"])
    return c


def root_fringe(seed):
    c = rock_fringe(seed, P["bark"], P["wooddk"], 14)
    rnd = random.Random(seed)
    for _ in range(8):
        x, y = rnd.randrange(W), 8
        for _ in range(rnd.randrange(10, 30)):
            c.set(x, y, P["wood"])
            y += 1
            x += rnd.choice((-1, 0, 0, 1))
    return c


def beam_fringe(seed):
    c = Canvas(W, H)
    c.fill(0, 0, W, 9, P["wooddk"])
    c.hline(0, W - 1, 8, P["ink"])
    c.hline(0, W - 1, 1, P["woodlt"])
    for x in range(20, W, 60):   # rafters
        c.fill(x, 0, 6, 14, P["bark"])
        c.vline(x, 0, 13, P["wood"])
        c.hline(x, x + 5, 14, P["ink"])
    rnd = random.Random(seed)
    for _ in range(3):           # cobwebs in the corners of the rafters
        x = rnd.randrange(0, W - 12)
        for i in range(8):
            c.set(x + i, 9 + i // 2, P["greylt"])
            c.set(x + i, 9 + i, P["grey"])
    return c


def surface_fringe(seed):
    c = Canvas(W, H)
    for x in range(W):
        d = 4 + int(2 * math.sin(x / 9 + seed))
        c.vline(x, 0, d, P["cyan"])
        c.set(x, d + 1, P["skylt"])
    return c


def branch_fringe(seed):
    """A bough of a tree leaning in from one top corner, for the open screens."""
    c = Canvas(W, H)
    rnd = random.Random(seed)
    left = seed % 2 == 0
    pts = []
    for i in range(0, 86):
        x = i if left else W - 1 - i
        y = 3 + int(i * i / 700.0)
        c.vline(x, y, y + max(1, 4 - i // 25), P["bark"])
        c.set(x, y, P["wood"])
        pts.append((x, y))
    for k in range(14):
        x, y = pts[min(len(pts) - 1, 6 + k * 6 + rnd.randrange(0, 4))]
        r = 5 + rnd.random() * 5
        y += rnd.randrange(-2, 6)
        c.ellipse(x, y + 1, r + 1, r * 0.75 + 1, P["mossdk"])
        c.ellipse(x - 1, y, r, r * 0.7, P["moss"])
        c.ellipse(x - 2, y - 2, r * 0.5, r * 0.35, P["leaf"])
        for _ in range(3):
            c.set(x + rnd.randrange(-int(r), int(r)), y + rnd.randrange(-3, 3), P["leaflt"])
    return c


NEAR = {
    "meadow": lambda s: branch_fringe(s.seed),
    "pond": lambda s: branch_fringe(s.seed),
    "river": lambda s: branch_fringe(s.seed),
    "hills": lambda s: branch_fringe(s.seed),
    "wood": lambda s: leaf_fringe(s.seed),
    "glade": lambda s: leaf_fringe(s.seed, 18),
    "burrow": lambda s: root_fringe(s.seed),
    "cave": lambda s: rock_fringe(s.seed),
    "glow": lambda s: rock_fringe(s.seed),
    "crystal": lambda s: rock_fringe(s.seed),
    "grotto": lambda s: rock_fringe(s.seed),
    "well": lambda s: rock_fringe(s.seed, P["rockdk"], P["rock"], 10),
    "water": lambda s: surface_fringe(s.seed),
    "hut": lambda s: beam_fringe(s.seed),
    "mill": lambda s: beam_fringe(s.seed),
}


# ---- ground and ceilings -----------------------------------------------------------------------------

def rock_colour(x, d, seed):
    """Stone in blocks: a darker seam every few rows and columns, lit from the top."""
    row = (d + 3) // 7
    col = (x + (row % 2) * 9) // 18
    if (d + 3) % 7 == 0 or (x + (row % 2) * 9) % 18 == 0:
        return P["cave"]
    if (d + 3) % 7 == 1:
        return P["rock"]
    return P["rockdk"] if hsh(col, row, seed) < 0.8 or hsh(x, d, seed) < 0.5 else P["rock"]


def ground_colour(style, x, d, seed):
    """The colour of the ground d rows below its surface in column x."""
    n = hsh(x, d, seed)
    if style in ("grass", "cliff"):
        if d == 0:
            return P["leaflt"]
        if d < 4:
            return P["lime"] if n < 0.06 else P["leaf"]
        if d == 4:
            return P["moss"]
        if d == 5 and n < 0.3:
            return P["moss"]
        if style == "cliff":
            return rock_colour(x, d, seed)
        if n < 0.012:
            return P["sand"]
        if n > 0.985:
            return P["woodlt"]
        return blend([P["wood"], P["wooddk"], P["bark"]], (d - 5) / 30.0, x, d)
    if style == "forest":
        if d == 0:
            return P["leaf"]
        if d < 3:
            return P["moss"] if n < 0.7 else P["leaf"]
        if d == 3:
            return P["mossdk"]
        if n < 0.012:
            return P["wood"]
        return blend([P["wooddk"], P["bark"]], (d - 3) / 22.0, x, d)
    if style == "earth":
        if d == 0:
            return P["sand"]
        if d == 1:
            return P["woodlt"]
        if n < 0.012:
            return P["sand"]
        if n > 0.99:
            return P["greydk"]
        return blend([P["mud"], P["wooddk"], P["bark"]], d / 26.0, x, d)
    if style == "rock":
        if d == 0:
            return P["rocklt"]
        if d == 1:
            return P["rock"]
        return rock_colour(x, d, seed)
    if style == "planks":
        if d == 0:
            return P["woodlt"]
        band = d % 7
        if band == 6:
            return P["bark"]
        if (x + (d // 7) * 23) % 41 == 0:
            return P["bark"]
        return P["wood"] if n < 0.75 else P["wooddk"]
    if style == "sand":
        if d == 0:
            return P["cream"]
        if n < 0.05:
            return P["woodlt"]
        return blend([P["sand"], P["woodlt"], P["wood"]], d / 30.0, x, d)
    raise KeyError(style)


GROUND = {"meadow": "grass", "pond": "grass", "river": "grass", "hills": "cliff", "wood": "forest",
          "glade": "forest", "burrow": "earth", "cave": "rock", "glow": "rock", "crystal": "rock",
          "grotto": "rock", "well": "rock", "water": "sand", "hut": "planks", "mill": "planks"}


def ground_sprite(profile, style, seed):
    """The solid floor of a screen from its profile: returns the canvas and its top row."""
    tops = [t for t in profile if t is not None]
    top = min(tops)
    c = Canvas(W + 1, H - top + 1)
    for x in range(W + 1):
        t = profile[x]
        if t is None:
            continue
        for y in range(t, H + 1):
            c.set(x, y - top, ground_colour(style, x, y - t, seed))
    # the walls of gaps and steps get a dark edge and a shade
    for x in range(W + 1):
        t = profile[x]
        if t is None:
            continue
        for nb in (x - 1, x + 1):
            if 0 <= nb <= W:
                tn = profile[nb]
                lo = H + 1 if tn is None else tn
                for y in range(t, min(lo, H + 1)):
                    c.set(x, y - top, P["ink"] if y > t else c.get(x, y - top))
    c.px[-1] = None
    return c, top


def ceiling_sprite(profile, style, seed):
    bottoms = [b for b in profile if b is not None]
    bottom = max(bottoms)
    c = Canvas(W + 1, bottom + 1)
    for x in range(W + 1):
        b = profile[x]
        if b is None:
            continue
        for y in range(0, b + 1):
            d = b - y
            if d == 0:
                col = P["ink"]
            elif style == "planks":
                col = ground_colour(style, x, d, seed + 1)
            elif style in ("rock", "sand", "cliff"):
                col = P["rock"] if d == 1 else rock_colour(x, d + 4, seed + 1)
            else:
                col = P["wooddk"] if d == 1 else blend([P["bark"], P["mud"], P["wooddk"]], (d % 23) / 23.0, x, y)
            c.set(x, y, col)
    c.px[-1] = None
    return c


# ---- ledges ------------------------------------------------------------------------------------------------

def ledge(style, w, seed=1):
    """A platform to stand on: its top row is its surface. Every ledge is at least nine rows of
    solid pixels: a fast fall tests only the row under the feet after each step (up to eight
    rows on), so a thinner ledge could be fallen through."""
    if style == "branch":
        h = 9
        c = Canvas(w, h + 1)
        c.fill(0, 1, w, h - 1, P["wood"])
        kit.wood_grain(c, 1, 2, w - 2, h - 3, P["wood"], P["wooddk"], P["woodlt"], seed)
        c.hline(0, w - 1, 0, P["woodlt"])
        c.hline(0, w - 1, h - 1, P["bark"])
        c.hline(0, w - 1, h, P["ink"])
        c.vline(0, 0, h, P["ink"])
        c.vline(w - 1, 0, h, P["ink"])
        for x in range(3, w - 3, 9):   # a few leaves on it (nothing may hang under a ledge: it is all solid)
            c.set(x, 1, P["leaf"])
            c.set(x + 1, 1, P["moss"])
        c.px[-1] = None
        return c
    if style in ("stone", "rock"):
        h = 10
        c = Canvas(w, h)
        base, lt, dk = (P["grey"], P["greylt"], P["greydk"]) if style == "stone" else (P["rock"], P["rocklt"], P["rockdk"])
        c.round_rect(0, 0, w, h, 2, base)
        for x in range(w):
            for y in range(h):
                if c.get(x, y) is not None and hsh(x, y, seed) < 0.18:
                    c.set(x, y, dk)
        c.hline(2, w - 3, 1, lt)
        c.hline(1, w - 2, 0, lt)
        out = c.outline(P["ink"]).sub(1, 1, w, h)
        out.hline(0, w - 1, 0, lt)
        out.set(0, 0, None)
        out.set(w - 1, 0, None)
        out.hline(1, w - 2, h - 1, P["ink"])
        out.px[-1] = None
        return out
    if style == "plank":
        h = 9
        c = Canvas(w, h + 1)
        kit.wood_grain(c, 0, 0, w, h, P["woodlt"], P["wood"], P["sand"], seed)
        c.hline(0, w - 1, 0, P["sand"])
        c.hline(0, w - 1, 4, P["wood"])
        c.hline(0, w - 1, h - 1, P["wooddk"])
        c.hline(0, w - 1, h, P["ink"])
        c.vline(0, 0, h, P["ink"])
        c.vline(w - 1, 0, h, P["ink"])
        for x in (3, w - 5):
            kit.nail(c, x, 2)
            kit.nail(c, x, 6)
        c.px[-1] = None
        return c
    if style == "earth":
        c = Canvas(w, 11)
        for x in range(w):
            d = 9 + int(2 * hsh(x, 0, seed))
            for y in range(d):
                c.set(x, y, ground_colour("earth", x, y, seed))
            c.set(x, d, P["ink"])
        c.px[-1] = None
        return c
    if style == "pad":
        c = Canvas(w, 9)
        c.ellipse(w / 2, 2, w / 2, 2.5, P["leaf"])
        c.hline(2, w - 3, 0, P["leaflt"])
        c.hline(w // 2, w // 2 + 3, 1, P["moss"])   # the pad's notch
        c.hline(1, w - 2, 4, P["mossdk"])
        for y in range(5, 9):                         # its stem, under water
            c.hline(w // 2 - 3 + y // 3, w // 2 + 2 - y // 3, y, P["moss"])
        c.px[-1] = None
        return c
    raise KeyError(style)
