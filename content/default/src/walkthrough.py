"""walkthrough.py -- the route through the default world, and the road to game over, as
zelvo-sim scripts: content/default/walkthrough.txt and content/default/gameover.txt.

    python3 content/default/src/walkthrough.py --sim build/release/zelvo-sim --app-dir build/release

The world must be built and packed first (cmake --build --preset release --target default_world).
When the world changes, run this again and commit the new scripts with it.
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from route import ON_GROUND, Route, RouteError  # noqa: E402


FLOOR = 160


def on(screen):
    return lambda r: r.screen == screen


def landed(screen, xmin=None, xmax=None, top=None):
    """Standing or walking on the given screen, with x in the range (and on ground at row top or
    higher)."""
    return lambda r: (r.screen == screen and r.state in ON_GROUND and (xmin is None or r.x >= xmin)
                      and (xmax is None or r.x <= xmax) and (top is None or r.y <= top - 19))


class Stop(Exception):
    pass


def hops(r, screen, *steps):
    """Walk to x, jump left or right (or straight up, None) and land on ground at row top."""
    for x, direction, top, note in steps:
        r.walk_to(x, screen)
        r.jump(direction, landed(screen, top=top), note=note)


def up_through(r, screen, x, to, note):
    """From the ledge under an opening, jump through the top edge into the screen above."""
    r.walk_to(x, screen)
    r.jump(None, landed(to), note=note)
    r.land()


def use(r, lefts, note, boxes=0):
    """Stand still, choose the artifact lefts lines above the exit line, read the boxes it shows."""
    r.land()
    r.inventory(lefts, note)
    for i in range(boxes):
        r.dismiss("%s %d" % (note, i + 1))


def walkthrough(r, upto=None):
    def stage(n):
        if n == upto:
            raise Stop()

    # Lily Pond: Heron greets Zelvo on landing (three boxes); into the hut for the lantern.
    stage(1)
    for i in range(3):
        r.dismiss("Heron's greeting %d" % (i + 1))
    r.land()
    r.press("a-button", note="into the hut")
    r.wait(on(4), 3, "in the hut")
    r.walk_to(140, note="to the table")
    r.idle(0.5)            # the box that names it has just closed
    r.pick_up("the lantern")
    r.walk_to(20, note="back to the door")
    r.press("a-button", note="out of the hut")
    r.wait(on(1), 3, "out of the hut")
    hops(r, 1, (104, "right", FLOOR, "over the pond"))
    r.walk("right", on(11), note="to the meadow")

    # Meadow: past the signpost (a box shows) and the burrow, over the thorns (a shell), onto the
    # stone (a shell).
    stage(11)
    hops(r, 11, (76, "right", FLOOR, "over the thorns (a shell)"), (128, "right", 126, "onto the stone (a shell)"))
    r.walk("right", on(21), note="to the oak")

    # Old Oak: up the branches to the nest for the feather; berries at the foot.
    stage(21)
    r.land()
    hops(r, 21, (2, "right", 130, "onto the low branch"), (56, "right", 102, "to the second branch"),
         (120, "left", 74, "to the third branch"), (62, "right", 44, "to the nest"))
    r.walk_to(138, 21)
    r.idle(0.5)            # the box that names it has just closed
    r.pick_up("the feather")
    r.walk("right", landed(21, 166), note="down from the nest")
    r.walk_to(172, 21)
    r.press("a-button", note="berries")
    r.dismiss("sweet berries")
    r.walk("right", on(31), note="to the brambles")

    # Bramble Path: over the first thorn pit onto the log, up the branch (a shell), off it over
    # the second pit.
    stage(31)
    hops(r, 31, (22, "right", 146, "over the thorns onto the log"), (94, "right", 118, "onto the branch (a shell)"))
    r.walk("right", landed(31, 168, top=FLOOR), note="off the branch over the second thorn pit")
    r.walk("right", on(41), note="to the badger")

    # The badger: the feather (second of lantern, feather) tickles it awake.
    stage(41)
    r.walk("right", lambda q: q.screen == 41 and q.x >= 80, note="up against the badger (a box shows)")
    r.walk_to(56, 41)
    use(r, 1, "tickle the badger with the feather", boxes=2)
    r.walk("right", on(51), note="through the pass")

    # Mushroom Glade: up three branches to the mushroom, past the beetle.
    stage(51)
    hops(r, 51, (8, "right", 130, "onto the owl's branch"), (52, "right", 102, "to the second branch (a shell)"),
         (98, "right", 74, "to the mushroom"))
    r.walk_to(160, 51)
    r.idle(0.5)            # the box that names it has just closed
    r.pick_up("the mushroom")
    r.walk("right", on(61), note="on to the river")

    # River Bank: into the mole's hole. Mole's Burrow: the mole digs for the mushroom (second of
    # lantern, mushroom) and turns up the key.
    stage(61)
    r.walk("right", on(62), note="into the mole's hole")
    stage(62)
    r.dismiss("roots are a way up")
    r.land()
    r.walk_to(156, 62)
    r.land()
    r.press("a-button", note="talk to the mole")
    r.dismiss("hungry 1")
    r.dismiss("hungry 2")
    r.walk_to(136, 62)
    use(r, 1, "give the mole the mushroom", boxes=2)
    r.land()
    r.pick_up("the key")
    r.walk("left", on(63), note="down the mole's shaft")

    # Root Tunnel, Glow-worm Cave: over the chasm, up the step and the rock (a shell).
    stage(63)
    r.land()
    r.walk("right", on(73), note="to the glow-worm cave")
    stage(73)
    hops(r, 73, (50, "right", 165, "over the chasm"), (128, "right", 150, "up the step"),
         (140, "right", 118, "onto the rock (a shell)"))
    r.walk("right", on(83), note="to the dark hollow")

    # Dark Hollow: the lantern (first of lantern, key) lights it; over a chasm, up four rocks and
    # out through the top into the well.
    stage(83)
    r.walk_to(8, 83)
    use(r, 2, "light the lantern", boxes=1)
    r.land()
    hops(r, 83, (38, "right", 150, "over the first chasm"), (120, "right", 124, "onto the first rock"),
         (156, "left", 96, "to the second rock"), (124, "right", 64, "to the third rock"),
         (152, "left", 32, "to the top rock"))
    up_through(r, 83, 108, 82, "up into the well")

    # Well Shaft: up five rocks and out of the well into the mill yard.
    stage(82)
    hops(r, 82, (132, "right", 150, "well rock 1"), (152, "left", 122, "well rock 2"),
         (120, "right", 92, "well rock 3"), (152, "left", 62, "well rock 4"), (98, "left", 30, "well rock 5"))
    up_through(r, 82, 44, 81, "out of the well")

    # Mill Yard: the key (second of lantern, key) opens the mill.
    stage(81)
    r.jump("right", landed(81, 60, top=FLOOR), note="out of the well's pit")
    r.walk_to(144, 81)
    use(r, 1, "unlock the mill", boxes=1)

    # The mill: up the crate and the shelves to the loft, the lever, the attic and the crank.
    stage(95)
    r.land()
    hops(r, 95, (70, "right", 138, "onto the crate"), (108, "right", 112, "shelf 1"),
         (156, "right", 88, "shelf 2"), (182, "left", 62, "shelf 3"), (150, "right", 32, "shelf 4"))
    up_through(r, 95, 184, 94, "up into the loft")
    stage(94)
    hops(r, 94, (148, "left", 148, "loft shelf 1"), (126, "right", 120, "loft shelf 2"),
         (160, "left", 92, "loft shelf 3"), (126, "right", 62, "loft shelf 4, the lever"))
    r.walk_to(166, 94)
    r.land()
    r.press("a-button", note="pull the lever")
    r.dismiss("the hatch opens")
    hops(r, 94, (152, "left", 32, "under the hatch"))
    up_through(r, 94, 108, 93, "up into the attic")
    stage(93)
    hops(r, 93, (112, "left", 148, "attic shelf 1"), (70, "left", 120, "attic shelf 2: the crank"))
    r.walk_to(36, 93)
    r.idle(0.5)            # the box that names it has just closed
    r.pick_up("the crank")
    r.walk("right", on(94), note="down the attic's hole")
    r.land()
    r.walk("right", landed(94, 190, top=178), note="down to the loft's floor")
    r.walk("left", on(95), note="down the loft's hole")
    r.land()
    r.walk_to(20, 95)
    r.land()
    r.press("a-button", note="out of the mill")
    r.wait(on(81), 3, "in the mill yard")
    r.walk("right", on(91), note="to the falls")

    # Waterfall Steps: over the thorns and up the dry falls (a shell), down the crack to the Spring.
    stage(91)
    r.land()
    r.walk_to(6, 91)
    for top, note in ((134, "over the thorns to step 1"), (106, "step 2"), (78, "step 3 (a shell)")):
        r.jump("right", landed(91, top=top), note=note)
    r.walk("right", on(92), note="down the crack")

    # The Spring: the crank (second of lantern, crank) opens the sluice gate.
    stage(92)
    r.dismiss("the spring")
    r.land()
    r.walk_to(88, 92)
    use(r, 1, "open the sluice gate", boxes=3)

    # Home on a full Lily Pond: Heron's last words, then the end picture and the title.
    for i in range(4):
        r.dismiss("home again %d" % (i + 1))
    r.wait(lambda q: q.mode == 1, 10, "the end picture, then the title")


def gameover(r):
    """Straight to the meadow, and into its thorns until every life is gone."""
    for i in range(3):
        r.dismiss("Heron's greeting %d" % (i + 1))
    r.land()
    hops(r, 1, (104, "right", FLOOR, "over the pond"))
    r.walk("right", on(11), note="to the meadow")
    for life in (3, 2, 1):
        r.land()
        r.walk("right", lambda q: q.x >= 92, note="into the thorns")
        r.wait(lambda q, life=life: q.lives < life, 10, "the thorns take a life")
    assert r.last.mode == 1, "the last life lost ends the game"


def write(r, name, about):
    """The script, headed by what it plays and by where it ends (the test checks the trace)."""
    last = r.last
    r.idle(4.0)
    r.at(r.t, "close")
    path = os.path.join(os.path.dirname(HERE), name)
    with open(path + ".tmp", "w") as f:
        f.write(r.text([about,
                        "Written by src/walkthrough.py from the packed world; run it again when the world changes.",
                        "expect: screen %d score %d lives %d" % (last.screen, last.score, last.lives)]))
    os.replace(path + ".tmp", path)
    print("%s: %.1f s of play, ends on screen %d with score %d and %d lives" % (
        name, r.t - 4.0, last.screen, last.score, last.lives))


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--sim", required=True, help="the zelvo-sim program")
    ap.add_argument("--app-dir", required=True, help="the folder of the packed world")
    ap.add_argument("--upto", type=int, help="stop the walkthrough before this screen's part (for work on it)")
    ap.add_argument("--verbose", action="store_true", help="print every step")
    args = ap.parse_args(argv)
    if not os.path.isfile(os.path.join(args.app_dir, "map.dat")):
        sys.exit("walkthrough: %s holds no packed world (map.dat)" % args.app_dir)
    r = Route(args.sim, args.app_dir)
    r.verbose = args.verbose
    try:
        walkthrough(r, args.upto)
    except Stop:
        print("stopped at", r.state())
        return
    except RouteError as e:
        sys.exit("walkthrough: %s" % e)
    write(r, "walkthrough.txt", "Zelvo and the Silent Spring, from the title to the end picture and back to the title.")
    r = Route(args.sim, args.app_dir)
    r.verbose = args.verbose
    try:
        gameover(r)
    except RouteError as e:
        sys.exit("walkthrough (game over): %s" % e)
    write(r, "gameover.txt", "The road to game over: three lives lost in the meadow's thorns, the game-over picture, the title.")


if __name__ == "__main__":
    main(sys.argv[1:])
