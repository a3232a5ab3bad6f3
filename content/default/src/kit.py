"""kit.py -- the shared pieces of the default world's style: wood, boards, buttons, skies, icons.

One light: from the top left. One outline colour: ink. Light wood for things you tap, dark
boards with a wooden rim for things you read.
"""
import math
import random

from fonts import MENU, SMALL
from palette import P
from pixel import Canvas

BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def dither(x, y, t):
    """True where a pixel takes the second colour of a blend of strength t (0..1)."""
    return BAYER[y % 4][x % 4] < t * 16


def gradient(canvas, x0, y0, w, h, stops):
    """Vertical blend through a list of colours, dithered between neighbours."""
    n = len(stops) - 1
    for y in range(h):
        f = y / max(1, h - 1) * n
        i = min(int(f), n - 1)
        t = f - i
        for x in range(w):
            canvas.set(x0 + x, y0 + y, stops[i + 1] if dither(x0 + x, y0 + y, t) else stops[i])


def wood_grain(canvas, x0, y0, w, h, base, dark, light, seed, vertical=False):
    """Fill a rectangle with wood: base colour, long darker grain lines, a few light streaks."""
    rnd = random.Random(seed)
    canvas.fill(x0, y0, w, h, base)
    length, across = (h, w) if vertical else (w, h)
    for a in range(across):
        if rnd.random() < 0.28:
            pos = rnd.randrange(-10, length)
            run = rnd.randrange(8, 40)
            col = dark if rnd.random() < 0.7 else light
            for b in range(max(0, pos), min(length, pos + run)):
                if vertical:
                    canvas.set(x0 + a, y0 + b, col)
                else:
                    canvas.set(x0 + b, y0 + a, col)
    # knots
    for _ in range(max(1, length * across // 900)):
        kx, ky = rnd.randrange(2, max(3, length - 3)), rnd.randrange(1, max(2, across - 1))
        if vertical:
            kx, ky = ky, kx
        canvas.set(x0 + kx, y0 + ky, dark)
        canvas.set(x0 + kx + 1, y0 + ky, dark)


def nail(canvas, x, y):
    canvas.set(x, y, P["greylt"])
    canvas.set(x + 1, y, P["grey"])
    canvas.set(x, y + 1, P["grey"])
    canvas.set(x + 1, y + 1, P["greydk"])


def plank(w, h, pressed=False, seed=1, nails=True):
    """A tappable wooden plank, outlined, corners cut by one pixel."""
    c = Canvas(w, h)
    if pressed:
        base, dark, light, top, bottom = P["wood"], P["wooddk"], P["woodlt"], P["wooddk"], P["woodlt"]
    else:
        base, dark, light, top, bottom = P["woodlt"], P["wood"], P["sand"], P["sand"], P["wood"]
    wood_grain(c, 1, 1, w - 2, h - 2, base, dark, light, seed)
    c.hline(1, w - 2, 1, top)
    c.hline(1, w - 2, h - 2, bottom)
    c.vline(1, 1, h - 2, top)
    c.vline(w - 2, 1, h - 2, bottom)
    if pressed:  # pushed in: a second shadow row along the top
        c.hline(2, w - 3, 2, P["wooddk"])
    c.round_frame(0, 0, w, h, 1, P["ink"])
    for (x, y) in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        c.set(x, y, None)
    if nails and w > 30:
        ny = h // 2 - 1 + (1 if pressed else 0)
        nail(c, 3, ny)
        nail(c, w - 5, ny)
    return c


def engraved(canvas, text, cx, y, pressed=False, font=MENU):
    """A plank label: dark letters cut into light wood, or gold letters on a pressed plank."""
    if pressed:
        font.draw_centered(canvas, text, cx, y + 1, P["yellow"], shadow=P["bark"])
    else:
        font.draw_centered(canvas, text, cx, y, P["bark"], shadow=P["sand"])


def board(w, h, seed=7, inner=None):
    """A reading board: wooden rim (5 px), dark inside, corners cut."""
    c = Canvas(w, h)
    wood_grain(c, 0, 0, w, h, P["wood"], P["wooddk"], P["woodlt"], seed)
    c.hline(1, w - 2, 1, P["woodlt"])
    c.vline(1, 1, h - 2, P["woodlt"])
    c.hline(1, w - 2, h - 2, P["wooddk"])
    c.vline(w - 2, 1, h - 2, P["wooddk"])
    c.round_frame(0, 0, w, h, 2, P["ink"])
    for y in range(h):
        for x in range(w):
            if min(x, w - 1 - x) + min(y, h - 1 - y) < 2:
                c.set(x, y, None)
    # inside
    ix, iy, iw, ih = 5, 5, w - 10, h - 10
    c.fill(ix, iy, iw, ih, inner or P["night"])
    c.hline(ix, ix + iw - 1, iy, P["ink"])
    c.vline(ix, iy, iy + ih - 1, P["ink"])
    c.hline(ix - 1, ix + iw, iy - 1, P["wooddk"])
    c.vline(ix - 1, iy - 1, iy + ih, P["wooddk"])
    c.hline(ix - 1, ix + iw, iy + ih, P["sand"])
    c.vline(ix + iw, iy - 1, iy + ih, P["sand"])
    for (x, y) in ((2, 2), (w - 4, 2), (2, h - 4), (w - 4, h - 4)):
        nail(c, x, y)
    return c


def inset(canvas, x0, y0, w, h, fill=None):
    """A sunken slot in a board: dark above and left, light below and right."""
    canvas.fill(x0, y0, w, h, fill or P["black"])
    canvas.hline(x0, x0 + w - 1, y0, P["ink"])
    canvas.vline(x0, y0, y0 + h - 1, P["ink"])
    canvas.hline(x0, x0 + w - 1, y0 + h - 1, P["greydk"])
    canvas.vline(x0 + w - 1, y0, y0 + h - 1, P["greydk"])


def divider(canvas, cx, y, half):
    """A small leafy rule under a heading."""
    canvas.hline(cx - half, cx + half, y, P["moss"])
    for dx in (-half - 2, half + 1):
        canvas.set(cx + dx, y - 1, P["leaflt"])
        canvas.set(cx + dx + 1, y - 1, P["leaf"])
        canvas.set(cx + dx, y, P["leaf"])
    canvas.set(cx, y - 1, P["leaflt"])
    canvas.set(cx - 1, y, P["leaflt"])
    canvas.set(cx + 1, y, P["leaflt"])


def cloud(canvas, x, y, w, seed):
    rnd = random.Random(seed)
    h = max(4, w // 4)
    blobs = []
    n = max(2, w // 9)
    for i in range(n):
        bx = x + (i + 0.5) * w / n
        r = h * (0.6 + rnd.random() * 0.5) * (1.25 if 0 < i < n - 1 else 0.85)
        blobs.append((bx, y + h - r * 0.6, r))
    for (bx, by, r) in blobs:
        canvas.ellipse(bx, by + 1.5, r * 1.1, r * 0.8, P["skylt"])
    for (bx, by, r) in blobs:
        canvas.ellipse(bx - 0.5, by, r, r * 0.75, P["white"])
    canvas.fill(int(x + 2), int(y + h), int(w - 4), 1, P["skylt"])


def hills(canvas, x0, y0, w, h, base_y, amp, wave, col, edge, seed):
    """A ridge of rounded hills whose top follows a sum of sines; filled down to h."""
    rnd = random.Random(seed)
    ph = [rnd.random() * 6.28 for _ in range(3)]
    tops = []
    for x in range(w):
        t = (x + x0) / wave
        y = base_y - amp * (0.6 * math.sin(t + ph[0]) + 0.3 * math.sin(2.3 * t + ph[1])
                            + 0.1 * math.sin(5.1 * t + ph[2]))
        tops.append(int(round(y)))
    for x in range(w):
        for y in range(tops[x], h):
            canvas.set(x, y, col)
        canvas.set(x, tops[x], edge)
    return tops


def grass_edge(canvas, x0, y, w, seed, light=None, mid=None):
    rnd = random.Random(seed)
    light, mid = light or P["leaflt"], mid or P["leaf"]
    for x in range(x0, x0 + w):
        canvas.set(x, y, light)
        if rnd.random() < 0.35:
            canvas.set(x, y - 1, light)
            if rnd.random() < 0.4:
                canvas.set(x, y - 2, light)
        if rnd.random() < 0.5:
            canvas.set(x, y + 1, mid)


# ---- icons (all 9x9 or so, ink on transparent) ---------------------------------------------------

def icon_from(rows, key):
    c = Canvas(len(rows[0]), len(rows))
    for y, r in enumerate(rows):
        for x, ch in enumerate(r):
            if ch in key:
                c.set(x, y, key[ch])
    return c


def speaker(on):
    """The sound button's picture: a speaker with waves, or with a red cross."""
    rows_on = [
        "....k.......k..",
        "...kk....k...k.",
        "..kwk..k..k..k.",
        "kkwwk...k.k...k",
        "kwwwk...k..k..k",
        "kwwwk...k..k..k",
        "kkwwk...k.k...k",
        "..kwk..k..k..k.",
        "...kk....k...k.",
        "....k.......k..",
    ]
    rows_off = [
        "....k..........",
        "...kk..........",
        "..kwk..r....r..",
        "kkwwk...r..r...",
        "kwwwk....rr....",
        "kwwwk....rr....",
        "kkwwk...r..r...",
        "..kwk..r....r..",
        "...kk..........",
        "....k..........",
    ]
    return icon_from(rows_on if on else rows_off, {"k": P["ink"], "w": P["cream"], "r": P["red"]})


def arrow(direction, col):
    """A chunky arrow, 9x9, pointing 'left', 'right' or 'up'."""
    rows = [
        "....#....",
        "...###...",
        "..#####..",
        ".#######.",
        "#########",
        "..#####..",
        "..#####..",
        "..#####..",
        "..#####..",
    ]
    c = icon_from(rows, {"#": col})
    if direction == "up":
        return c
    # rotate: left = counter-clockwise
    out = Canvas(9, 9)
    for y in range(9):
        for x in range(9):
            if direction == "left":
                out.set(y, 8 - x, c.get(x, y))
            else:
                out.set(8 - y, x, c.get(x, y))
    return out
