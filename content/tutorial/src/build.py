#!/usr/bin/env python3
"""build.py -- the pictures of the tutorial world (docs/making-a-world.md), and its copy of the game's
front end (frame, title, panels, fonts and the player) from the default world.

Standard library only, drawn with the default world's little canvas (content/default/src/pixel.py).
Run from anywhere:  python3 content/tutorial/src/build.py
"""
import os
import random
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
WORLD = os.path.dirname(HERE)
DEFAULT = os.path.normpath(os.path.join(WORLD, "..", "default"))
sys.path.insert(0, os.path.join(DEFAULT, "src"))

from palette import P  # noqa: E402  (every colour exact in the game's 5-6-5 pixels)
from pixel import Canvas  # noqa: E402

W, H = 210, 190  # the playfield: one screen


def sky(top, bottom, hills):
    """A screen's background: a sky in two bands and a row of round hills."""
    c = Canvas(W, H, P[top])
    c.fill(0, 60, W, H - 60, P[bottom])
    rnd = random.Random(len(hills))
    for x in hills:
        c.ellipse(x, 150, 40, 34, P["leaf"])
        c.ellipse(x, 150, 36, 30, P["leaflt"])
    for _ in range(5):  # clouds
        x, y = rnd.randrange(10, 190), rnd.randrange(8, 50)
        c.ellipse(x, y, 14, 5, P["white"])
    return c


def cellar():
    """The cellar's wall: stone blocks in courses."""
    c = Canvas(W, H, P["rockdk"])
    for row, y in enumerate(range(0, H, 12)):
        for x in range(-(row % 2) * 12, W, 24):
            c.fill(x + 1, y + 1, 22, 10, P["rock"])
            c.hline(x + 1, x + 22, y + 1, P["rocklt"])
    return c


def ground(width, height, top, body, seed):
    """Solid ground: a top edge and speckled earth below it."""
    c = Canvas(width, height, P[body])
    c.fill(0, 0, width, 3, P[top])
    rnd = random.Random(seed)
    for _ in range(width * height // 12):
        c.set(rnd.randrange(width), rnd.randrange(4, height), P["wooddk"])
    return c


def thorns(frame):
    """The hazard: a bramble of thorns, its tips moving between two frames."""
    c = Canvas(30, 12)
    for i, x in enumerate(range(1, 30, 6)):
        tip = 0 if (i + frame) % 2 else 2
        c.line(x, 11, x + 2, tip, P["reddk"])
        c.line(x + 4, 11, x + 2, tip, P["reddk"])
        c.vline(x + 2, tip + 2, 11, P["red"])
    c.hline(0, 28, 11, P["mossdk"])
    return c


def owl():
    """Old Owl, who tells the player what to do."""
    c = Canvas(16, 20)
    c.ellipse(8, 11, 7, 8, P["wooddk"])
    c.ellipse(8, 12, 5, 6, P["sand"])
    for x in (5, 11):
        c.ellipse(x, 8, 2, 2, P["white"])
        c.set(x, 8, P["ink"])
    c.set(8, 10, P["orange"])
    c.set(8, 11, P["orange"])
    c.hline(4, 12, 19, P["bark"])
    return c


def door():
    """A wooden door with a ring, in a stone frame."""
    c = Canvas(22, 32, P["greydk"])
    c.fill(2, 2, 18, 30, P["wood"])
    for x in (6, 11, 16):
        c.vline(x, 2, 31, P["wooddk"])
    c.ellipse(15, 18, 2, 2, P["gold"])
    return c


def chest():
    """The treasure chest, locked."""
    c = Canvas(24, 18)
    c.fill(0, 6, 24, 12, P["wood"])
    c.frame(0, 6, 24, 12, P["bark"])
    c.fill(0, 2, 24, 5, P["woodlt"])
    c.frame(0, 2, 24, 5, P["bark"])
    c.fill(10, 7, 4, 4, P["gold"])
    return c


def key():
    """The brass key: the artifact to find and use."""
    c = Canvas(14, 8)
    c.ellipse(3, 3, 3, 3, P["gold"])
    c.set(3, 3, None)
    c.fill(6, 2, 8, 2, P["gold"])
    c.fill(10, 4, 2, 3, P["gold"])
    c.fill(13, 4, 1, 2, P["gold"])
    return c


def strip(frames):
    out = Canvas(frames[0].w * len(frames), frames[0].h)
    for i, f in enumerate(frames):
        out.blit(f.clear_bottom_right(), i * f.w, 0)
    return out


def copy_front_end():
    """What every world needs and this one does not change: the default world's front end."""
    for folder in ("images", "fonts"):
        target = os.path.join(WORLD, folder)
        shutil.rmtree(target, ignore_errors=True)
        shutil.copytree(os.path.join(DEFAULT, folder), target)
    os.makedirs(os.path.join(WORLD, "sprites"), exist_ok=True)
    shutil.copy(os.path.join(DEFAULT, "sprites", "zelvo.png"), os.path.join(WORLD, "sprites", "zelvo.png"))


def main():
    copy_front_end()
    pictures = {
        "meadow-sky.png": sky("skylt", "sky", (30, 110, 190)),
        "yard-sky.png": sky("skylt", "sky", (60, 170)),
        "cellar-wall.png": cellar(),
        "grass.png": ground(210, 30, "leaflt", "mud", 1),
        "stone-floor.png": ground(210, 20, "rocklt", "greydk", 2),
        "wall.png": ground(8, 190, "rocklt", "greydk", 3),
        "thorns.png": strip([thorns(0), thorns(1)]),
        "owl.png": owl(),
        "door.png": door(),
        "chest.png": chest(),
        "key.png": key(),
    }
    folder = os.path.join(WORLD, "sprites")
    for name, picture in pictures.items():
        picture.clear_bottom_right()  # the game never draws it
        picture.save(os.path.join(folder, name))
    print("wrote", len(pictures), "pictures and the front end into", WORLD)


if __name__ == "__main__":
    main()
