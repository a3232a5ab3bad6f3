"""build.py -- rebuild every output of the default world from its sources.

Pictures, glyph sheets, sprite strips, the two tunes and the adventure's manifest section:

    python3 content/default/src/build.py            everything
    python3 content/default/src/build.py --no-music pictures only (the music takes a minute)

The front end's outputs go where content/default/world.json names them (that manifest is edited
by hand); the adventure (src/adventure.py) is written to adventure.json, which world.json
includes, and to sprites/world/. Standard library only; the same sources always give the same bytes.
"""
import argparse
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
WORLD = os.path.dirname(HERE)
sys.path.insert(0, HERE)

import art  # noqa: E402
import fonts  # noqa: E402
import turtle  # noqa: E402
import worldkit  # noqa: E402

SPRITES = "sprites/world"


def out_path(rel):
    path = os.path.join(WORLD, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def build_adventure():
    import adventure
    w = adventure.finish()
    problems = worldkit.check(w)
    if problems:
        sys.exit("the adventure has problems:\n  " + "\n  ".join(problems))
    folder = out_path(SPRITES + "/x")
    folder = os.path.dirname(folder)
    written = set()
    for sp in w.sprites.values():
        name = sp.file + ".png"
        if name not in written:
            sp.strip().save(os.path.join(folder, name))
            written.add(name)
    for stale in sorted(set(os.listdir(folder)) - written):
        os.remove(os.path.join(folder, stale))
    worldkit.write_manifest(os.path.join(WORLD, "adventure.json"), w.manifest(SPRITES), [
        "The adventure: written by src/build.py from src/adventure.py. Edit those, not this file."])
    return w


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--no-music", action="store_true", help="pictures only: leave the two tunes as they are")
    args = ap.parse_args(argv)
    manifest = json.load(open(os.path.join(WORLD, "world.json"), encoding="utf-8"))
    images = art.all_images()
    listed = {e["id"]: e["picture"] for e in manifest["images"]}
    assert set(listed) == set(images), "world.json and art.py list different images: %s" % (
        set(listed) ^ set(images))
    for iid, pic in images.items():
        pic.save(out_path(listed[iid]))
    sheets = {1: fonts.SMALL.sheet(fonts.INK), 2: fonts.MENU.sheet(fonts.INK)}
    for f in manifest["fonts"]:
        sheets[f["id"]].save(out_path(f["sheet"]))
    drawn = {3: turtle.player_strip()}
    for s in manifest["sprites"]:
        drawn[s["id"]].save(out_path(s["frames"]["strip"]))
    w = build_adventure()
    print("pictures: %d images, %d fonts, %d sprites; %d screens, %d events, %d dialogs" % (
        len(images), len(sheets), len(drawn) + len(w.sprites), len(w.screens), len(w.events), len(w.dialogs)))
    if not args.no_music:
        import music
        for key, rel in manifest["music"].items():
            music.render(key, out_path(rel))


if __name__ == "__main__":
    main(sys.argv[1:])
