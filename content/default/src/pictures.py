"""pictures.py -- the README's pictures of the default world, photographed by zelvo-sim while the
walkthrough plays: the title, a dialog, play in the meadow and up the oak, the inventory, the dark
hollow lit, the mill's loft and the end picture (each the game's 240x240 view, doubled); and the
world map that zelvo-data render draws.

    python3 content/default/src/pictures.py --sim build/release/zelvo-sim --app-dir build/release

(scripts/readme-pictures builds what it needs and runs this.) The moments are found in the
walkthrough's trace, so they follow the walkthrough when the world changes.
"""
import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
WORLD = os.path.dirname(HERE)
sys.path.insert(0, HERE)

from pixel import read_png  # noqa: E402
from route import parse  # noqa: E402

VIEW_TOP = 40   # the view's first row on the 240x320 screen


def first(rows, test, what):
    for r in rows:
        if test(r):
            return r.time
    sys.exit("pictures: the walkthrough never shows %s" % what)


def moments(rows):
    """Picture name -> virtual time, from the walkthrough's trace."""
    stall = next(a.time for a, b in zip(rows, rows[1:]) if b.time - a.time > 0.9)   # the first box
    # In the inventory at the badger, the highlight's move sleeps a fifth of a second: just after.
    moved = next(b.time for a, b in zip(rows, rows[1:])
                 if b.screen == 41 and a.mode == b.mode == 4 and b.time - a.time > 0.15)
    return {
        "title": 3.8,
        "dialog": stall + 0.6,
        "meadow": first(rows, lambda r: r.screen == 11 and r.x >= 150, "the meadow's hill"),
        "oak": first(rows, lambda r: r.screen == 21 and r.y < 40, "the nest"),
        "inventory": moved + 0.03,
        "dark-hollow": first(rows, lambda r: r.screen == 83 and r.y < 90, "the lit hollow"),
        "mill": first(rows, lambda r: r.screen == 94 and r.y < 60, "the lever"),
        "end": rows[-1].time - 1.5,  # the end picture stays three seconds before the title
    }


def main(argv):
    try:
        take(argv)
    except (OSError, subprocess.CalledProcessError) as e:
        sys.exit("pictures: %s" % e)


def take(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--sim", required=True, help="the zelvo-sim program")
    ap.add_argument("--app-dir", required=True, help="the folder of the packed world")
    ap.add_argument("-o", "--out", default=os.path.join(os.path.dirname(WORLD), "..", "docs", "pictures"),
                    help="where the pictures go (default: docs/pictures)")
    ap.add_argument("--data-tool", help="the zelvo-data program (default: beside zelvo-sim)")
    args = ap.parse_args(argv)
    tool = args.data_tool or os.path.join(os.path.dirname(os.path.abspath(args.sim)), "zelvo-data")
    script = os.path.join(WORLD, "walkthrough.txt")
    with tempfile.TemporaryDirectory(prefix="zelvo-pictures-") as tmp:
        trace = os.path.join(tmp, "trace")
        subprocess.run([args.sim, "--app-dir", args.app_dir, "--script", script, "--trace", trace], check=True,
                       capture_output=True)
        with open(trace) as f:
            rows = [parse(l) for l in f if l.strip() and not l.startswith("#")]
        shots = moments(rows)
        cmd = [args.sim, "--app-dir", args.app_dir, "--script", script]
        for name, t in shots.items():
            cmd += ["--screenshot", "%.3f:%s" % (t, os.path.join(tmp, name + ".png"))]
        subprocess.run(cmd, check=True, capture_output=True)
        subprocess.run([tool, "render", args.app_dir, "-o", os.path.join(tmp, "render"), "--no-events"], check=True,
                       capture_output=True)
        pictures = {name: read_png(os.path.join(tmp, name + ".png")).sub(0, VIEW_TOP, 240, 240).scaled(2)
                    for name in shots}
        pictures["world-map"] = read_png(os.path.join(tmp, "render", "world.png"))
        os.makedirs(args.out, exist_ok=True)
        for name, picture in pictures.items():
            path = os.path.join(args.out, name + ".png")
            picture.save(path + ".tmp")
            os.replace(path + ".tmp", path)
            print("pictures:", os.path.normpath(path))


if __name__ == "__main__":
    main(sys.argv[1:])
