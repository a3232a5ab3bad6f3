"""turtle.py -- Zelvo the turtle: the player's 16 walking frames, and bigger poses for the pictures."""
import math
import os

from palette import P
from pixel import Canvas

HERE = os.path.dirname(os.path.abspath(__file__))

KEY = {
    "k": P["ink"], "g": P["leaf"], "G": P["leaflt"], "w": P["white"],
    "B": P["wood"], "L": P["woodlt"], "b": P["wooddk"], "y": P["gold"],
    "c": P["cream"], "s": P["sand"], "r": P["red"], "R": P["reddk"],
}

BODY = [line for line in open(os.path.join(HERE, "art", "turtle.txt"), encoding="utf-8").read().split("\n")
        if line and not line.startswith("# ")]
FILL_W, FILL_H = 14, 18   # the figure before its outline
FRAME_W, FRAME_H = FILL_W + 2, FILL_H + 2


def frame_right(i):
    """Walk frame i (0..7) facing right: legs swing on a circle, the scarf end flutters."""
    a = i / 8 * 2 * math.pi
    c = Canvas(FILL_W, FILL_H)
    for y, row in enumerate(BODY):
        for x, ch in enumerate(row):
            if ch in KEY:
                c.set(x, y, KEY[ch])
    near, far = 5 + 2 * math.cos(a), 5 - 2 * math.cos(a)
    for lx, col, lifted in ((round(far), P["moss"], math.sin(a) < -0.5),
                            (round(near), P["leaf"], math.sin(a) > 0.5)):
        lift = 1 if lifted else 0
        for y in range(14, 17 - lift):
            c.fill(lx, y, 2, 1, col)
        c.fill(lx, 17 - lift, 3, 1, col)
    c.set(13, 10, None)
    c.set(12, 10, None)
    for p in ([(13, 9), (13, 10)] if i % 4 < 2 else [(13, 9), (12, 10)]):
        c.set(p[0], p[1], P["reddk"])
    return c.outline(P["ink"])


def player_strip():
    """Frames 1..8 walk facing left, 9..16 walk facing right, in one horizontal strip."""
    right = [frame_right(i) for i in range(8)]
    left = [f.mirrored() for f in right]
    strip = Canvas(FRAME_W * 16, FRAME_H)
    for n, f in enumerate(left + right):
        assert f.w == FRAME_W and f.h == FRAME_H
        assert f.get(FRAME_W - 1, FRAME_H - 1) is None  # the corner the game never draws
        strip.blit(f, n * FRAME_W, 0)
    return strip


def standing(facing="right"):
    f = frame_right(2)
    return f if facing == "right" else f.mirrored()


def on_back():
    """Zelvo fallen on its back (game over): the standing frame turned a quarter to the left,
    shell down, legs in the air, head on the ground."""
    f = frame_right(2)
    out = Canvas(f.h, f.w)
    for y in range(f.h):
        for x in range(f.w):
            out.set(y, f.w - 1 - x, f.get(x, y))
    return out


def cheering():
    """Zelvo jumping for joy (game end): the right-facing frame with legs tucked."""
    return frame_right(4)
