#!/usr/bin/env python3
"""make-icons.py -- Zelvo's application icons, drawn from the default world's own turtle and palette.

  python3 packaging/icons/make-icons.py      # writes zelvo-SIZE.png and zelvo.svg beside this file

A 32x32 picture (Zelvo standing on a lily pad over the pond, under the sky) is the icon from 32
pixels up, scaled by whole numbers so it stays sharp; the 16 and 48 pixel icons come from a 16x16
reduction of it. zelvo.svg draws the same 32x32 pixels as squares, for the scalable icon.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "content", "default", "src"))

from palette import P  # noqa: E402
from pixel import Canvas  # noqa: E402
import turtle  # noqa: E402


def icon32():
    c = Canvas(32, 32)
    c.round_rect(0, 0, 32, 32, 6, P["sky"])
    c.round_rect(0, 0, 32, 12, 6, P["skylt"])
    c.fill(0, 6, 32, 6, P["skylt"])
    c.fill(1, 22, 30, 8, P["blue"])
    c.round_rect(0, 22, 32, 10, 6, P["blue"])
    c.hline(3, 9, 25, P["skylt"])
    c.hline(21, 28, 28, P["skylt"])
    c.ellipse(16, 24, 11, 3, P["moss"])
    c.ellipse(16, 23, 11, 3, P["leaf"])
    c.hline(8, 24, 22, P["leaflt"])
    c.blit(turtle.standing("right"), 8, 3)
    c.round_frame(0, 0, 32, 32, 6, P["ink"])
    return c


def reduce_half(c):
    """Every 2x2 block to one pixel: the mean of its opaque pixels, opaque when most of it is."""
    out = Canvas(c.w // 2, c.h // 2)
    for y in range(out.h):
        for x in range(out.w):
            px = [c.get(2 * x + dx, 2 * y + dy) for dy in (0, 1) for dx in (0, 1)]
            solid = [p for p in px if p is not None]
            if len(solid) >= 2:
                out.set(x, y, tuple(sum(p[i] for p in solid) // len(solid) for i in range(3)))
    return out


def svg(c):
    rects = []
    for y in range(c.h):
        for x in range(c.w):
            p = c.get(x, y)
            if p is not None:
                rects.append('<rect x="%d" y="%d" width="1" height="1" fill="#%02x%02x%02x"/>' % (x, y, *p))
    return ('<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 %d %d" shape-rendering="crispEdges">\n%s\n</svg>\n'
            % (c.w, c.h, "\n".join(rects)))


def main():
    big = icon32()
    small = reduce_half(big)
    for size in (16, 48):
        small.scaled(size // 16).save(os.path.join(HERE, "zelvo-%d.png" % size))
    for size in (32, 64, 128, 192, 256, 512):
        big.scaled(size // 32).save(os.path.join(HERE, "zelvo-%d.png" % size))
    with open(os.path.join(HERE, "zelvo.svg"), "w", encoding="utf-8") as f:
        f.write(svg(big))


if __name__ == "__main__":
    main()
