"""build.py -- rebuild every picture, glyph sheet, sprite strip and tune of the default world.

    python3 content/default/src/build.py            everything
    python3 content/default/src/build.py --no-music pictures only (the music takes a minute)

The outputs go where content/default/world.json names them; the manifest itself is edited by
hand. Standard library only; the same sources always give the same bytes.
"""
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
WORLD = os.path.dirname(HERE)
sys.path.insert(0, HERE)

import art  # noqa: E402
import fonts  # noqa: E402
import turtle  # noqa: E402
import world  # noqa: E402


def out_path(rel):
    path = os.path.join(WORLD, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def main(argv):
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
    drawn = dict(world.sprites())
    drawn[3] = turtle.player_strip()
    for s in manifest["sprites"]:
        drawn[s["id"]].save(out_path(s["frames"]["strip"]))
    print("pictures: %d images, %d fonts, %d sprites" % (len(images), len(sheets), len(drawn)))
    if "--no-music" not in argv:
        import music
        for key, rel in manifest["music"].items():
            music.render(key, out_path(rel))


if __name__ == "__main__":
    main(sys.argv[1:])
