"""world.py -- the first screen: its two background pictures and the ground the player lands on.

The playfield is 210x190. Sprite 2001 (far) and 1001 (near, drawn over it where opaque) are the
screen's backgrounds; sprite 10 is the solid ground along the bottom, sprite 11 a tree stump to
jump onto, sprite 12 a signpost (scenery, behind the player).
"""
import random

import kit
from kit import P
from pixel import Canvas

W, H = 210, 190
GROUND_Y = 160          # top of the ground sprite: the player stands on row 160
STUMP_POS = (120, 140)


def far_background():
    """Sprite 2001: sky, clouds, distant hills and the trees of the far shore."""
    c = Canvas(W, H)
    kit.gradient(c, 0, 0, W, 150, [P["sky"], P["sky"], P["skylt"], P["white"]])
    for (x, y, w, s) in ((12, 14, 40, 11), (120, 30, 56, 12), (70, 64, 28, 13), (168, 78, 30, 14)):
        kit.cloud(c, x, y, w, s)
    kit.hills(c, 0, 0, W, H, 112, 14, 24.0, P["teal"], P["teal"], 21)
    kit.hills(c, 0, 0, W, H, 128, 9, 17.0, P["tealdk"], P["teal"], 22)
    kit.gradient(c, 0, 140, W, 50, [P["moss"], P["mossdk"]])
    return c.clear_bottom_right()


def near_background():
    """Sprite 1001: the near wood and the pond, transparent where the far picture shows."""
    c = Canvas(W, H)
    rnd = random.Random(31)
    # a tall tree on the left with a wide crown
    c.fill(4, 40, 10, 122, P["bark"])
    c.fill(6, 40, 5, 122, P["wooddk"])
    c.vline(7, 44, 160, P["wood"])
    for (x, y, rx, ry, col) in ((10, 34, 28, 20, P["mossdk"]), (4, 26, 20, 14, P["moss"]),
                                (22, 22, 16, 12, P["moss"]), (14, 16, 12, 9, P["leaf"]),
                                (28, 30, 10, 8, P["leaf"])):
        c.ellipse(x, y, rx, ry, col)
    for _ in range(40):
        x, y = rnd.randrange(0, 40), rnd.randrange(8, 50)
        if c.get(x, y) in (P["moss"], P["leaf"]):
            c.set(x, y, P["leaflt"])
    # bushes along the back of the meadow
    for x in range(30, 210, 23):
        y = 140 + rnd.randrange(0, 5)
        c.ellipse(x, y, 13, 9, P["mossdk"])
        c.ellipse(x - 2, y - 2, 9, 6, P["moss"])
        c.set(x - 4, y - 5, P["leaf"])
        c.set(x + 2, y - 6, P["leaf"])
    # the pond on the right, behind the ground's edge
    c.ellipse(172, 158, 36, 8, P["deep"])
    c.ellipse(172, 157, 33, 6, P["blue"])
    c.hline(150, 166, 154, P["skylt"])
    c.hline(176, 186, 156, P["sky"])
    # reeds
    for x in (138, 142, 202, 206):
        top = 128 + rnd.randrange(0, 8)
        c.vline(x, top, 160, P["moss"])
        c.fill(x, top - 4, 2, 5, P["wooddk"])
    return c


def ground():
    """Sprite 10, solid: grass over earth across the whole playfield, 211 wide and 31 high so that
    its own bottom-right pixel (never drawn) lies outside the playfield."""
    w, h = W + 1, H - GROUND_Y + 1
    c = Canvas(w, h)
    kit.gradient(c, 0, 3, w, h - 3, [P["wood"], P["wooddk"], P["bark"]])
    rnd = random.Random(41)
    for _ in range(70):   # pebbles
        x, y = rnd.randrange(0, w - 2), rnd.randrange(8, h - 2)
        col = rnd.choice([P["sand"], P["woodlt"], P["greydk"]])
        c.set(x, y, col)
        c.set(x + 1, y, P["bark"])
    c.fill(0, 0, w, 4, P["leaf"])
    c.hline(0, w - 1, 0, P["leaflt"])
    c.hline(0, w - 1, 4, P["moss"])
    for x in range(w):
        if rnd.random() < 0.3:
            c.set(x, 5, P["moss"])
        if rnd.random() < 0.2:
            c.set(x, 1, P["lime"])
    # a few flowers standing in the grass are drawn by the near background; the ground's top row
    # stays a straight line so the walk is level
    return c.clear_bottom_right()


def stump():
    """Sprite 11, solid: a tree stump standing on the ground, to jump onto (its top is row 0)."""
    w, h = 24, 22
    c = Canvas(w, h)
    c.fill(1, 2, w - 2, h - 2, P["wood"])
    kit.wood_grain(c, 3, 4, w - 6, h - 6, P["wood"], P["wooddk"], P["woodlt"], 43, vertical=True)
    c.vline(2, 3, h - 1, P["woodlt"])
    c.vline(w - 3, 3, h - 1, P["wooddk"])
    # roots spreading at the foot
    for (x, y) in ((0, h - 3), (0, h - 2), (1, h - 4), (w - 1, h - 3), (w - 1, h - 2), (w - 2, h - 4)):
        c.set(x, y, P["wooddk"])
    # the cut top with its rings
    c.fill(1, 0, w - 2, 3, P["sand"])
    c.hline(3, w - 4, 1, P["woodlt"])
    c.hline(7, w - 8, 1, P["wood"])
    c.set(w // 2, 1, P["wooddk"])
    out = Canvas(w, h)
    out.blit(c, 0, 0)
    for y in range(h):  # outline the sides
        for x in range(w):
            if c.get(x, y) is not None and (c.get(x - 1, y) is None or c.get(x + 1, y) is None):
                out.set(x, y, P["ink"])
    out.hline(1, w - 2, 0, P["ink"])
    out.set(0, h - 1, None)
    return out.clear_bottom_right()


def signpost():
    """Sprite 12, scenery: an arrow sign pointing on to the next screen."""
    w, h = 26, 30
    c = Canvas(w, h)
    c.fill(11, 8, 4, h - 8, P["wooddk"])
    c.vline(10, 8, h - 1, P["ink"])
    c.vline(15, 8, h - 1, P["ink"])
    c.vline(12, 8, h - 1, P["wood"])
    sign = Canvas(26, 11)
    sign.fill(0, 1, 21, 9, P["woodlt"])
    for i in range(5):
        sign.vline(21 + i, 1 + i, 9 - i, P["woodlt"])
    sign = sign.outline(P["ink"])
    sign.hline(2, 20, 3, P["sand"])
    for x in range(5, 16):
        sign.set(x, 6, P["bark"])
    for i in range(3):
        sign.vline(15 + i, 6 - (2 - i), 6 + (2 - i), P["bark"])
    c.blit(sign.sub(0, 0, 26, 13), 0, 0)
    return c.clear_bottom_right()


def sprites():
    return {
        2001: far_background(),
        1001: near_background(),
        10: ground(),
        11: stump(),
        12: signpost(),
    }
