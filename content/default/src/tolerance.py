"""tolerance.py -- how precise must a player be? Every jump of the walkthrough, tried as a person jumps.

Each jump is played from many start points and with the keys let go early or late.

    python3 content/default/src/tolerance.py --sim build/release/zelvo-sim --app-dir build/release

The walkthrough (src/walkthrough.py) walks to an exact x and holds Up until the landing. A person
taps Up somewhere near the right place and lets the direction key go a little before or after
landing. For each jump this tool replays the walkthrough up to it and then, instead of the exact
jump, walks to x + dx (dx from -12 to +12) and jumps with a tap of Up (0.1 s); and it lets the
direction key go 100 and 50 ms before and after the landing. After each try it waits a second
and tells what came of it:

    o  landed where the walkthrough lands, unhurt
    m  missed, unhurt (landed somewhere else on the screen: try again)
    s  ended on another screen, unhurt
    h  hurt: energy lost (on the way or where it landed)
    d  a life lost
    x  cannot start there (a wall, the screen's edge, or off the ledge)

The window is the run of start points around the walkthrough's that all give o, in pixels. A
jump is fair when its window is about 8 px or more, or when it never gives h or d.

Walk-offs (a walk that leaves a ledge and falls) are tried with the key let go 0, 0.1 and 0.2 s
after the feet leave the ledge. Screens with a patrolling hazard on the way are played again with
Zelvo arriving later (every second, over about one round of the creature): a person meets it
anywhere on its round.
The table says how much energy the walkthrough's way loses there at each arrival.
"""
import argparse
import hashlib
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import walkthrough as wt  # noqa: E402
from route import DYING, JUMPING, ON_GROUND, WALKFALLING, WALKJUMPING, Route, RouteError, parse  # noqa: E402

DX = range(-12, 13)
RELEASE = (-0.1, -0.05, 0.05, 0.1)
TAP = 0.1
PATROL_SCREENS = {73: 12, 91: 10, 93: 12}     # screen: seconds of arrival delays to try


class Done(Exception):
    pass


class Memo(Route):
    """A route whose plays are remembered: replaying the same script prefix costs nothing. A play
    keeps the rows from a second before now; whoever needs older rows plays uncached."""
    cache = {}
    trying = False           # plays of a try are not kept: they are never replayed

    def play(self, extra=(), seconds=None):
        seconds = seconds or self.t + 30
        key = hashlib.sha1((self.text() + repr(list(extra)) + "%.3f" % seconds).encode()).digest()
        rows = self.cache.get(key)
        if rows is None:
            rows = [r for r in Route.play(self, extra, seconds) if r.time >= self.t - 1.0]
            if self.trying:
                return rows
            self.cache[key] = [" ".join(repr(r[k]) for k in ("frame", "time", "mode", "state", "x", "y", "col",
                                                             "row", "lives", "energy", "score")) for r in rows]
            return rows
        return [parse(l) for l in rows]

    # ---- save and restore the script ------------------------------------------------------------
    def mark(self):
        return list(self.lines), self.t, self.last

    def back(self, m):
        self.lines[:] = m[0]
        self.t, self.last = m[1], m[2]


LOST = {}                # the most energy a try lost, by (screen, note)


def outcome(rows, start, expect, screen, note=""):
    """One letter for a try: rows are the trace from the start of the try to its end."""
    if any(r.state == DYING or r.lives < start.lives for r in rows):
        LOST[screen, note] = 50
        return "d"
    lost = start.energy - min(r.energy for r in rows)
    if lost > 0.01:
        LOST[screen, note] = max(LOST.get((screen, note), 0), lost)
        return "h"
    end = rows[-1]
    if expect is not None and expect(end):
        return "o"
    return "s" if end.screen != screen else "m"


class Measure(Memo):
    """The walkthrough, with every jump and walk-off tried the human way before it is made."""

    def __init__(self, sim, app_dir, screens=None):
        Memo.__init__(self, sim, app_dir)
        self.screens = screens
        self.walked = None       # (mark before the walk, target x, screen) of the last walk_to
        self.results = []

    def walk_to(self, x, screen=None, note="", timeout=20.0):
        before = self.mark()
        r = Memo.walk_to(self, x, screen, note, timeout)
        self.walked = (before, x, screen, list(self.lines), self.t)
        return r

    def human_jump(self, direction, release, expect, screen, note):
        """Tap Up with the direction key down, let the key go release seconds after the landing."""
        t0 = self.t
        keys = [(t0, "key down up"), (t0 + TAP, "key up up")] + ([(t0, "key down " + direction)] if direction else [])
        rows = self.reading(keys, t0 + 10)
        start = [r for r in rows if r.time <= t0][-1]
        rows = self.after(rows, t0)
        air = False
        land = None
        for r in rows:
            air = air or r.state in (JUMPING, WALKJUMPING)
            if air and r.state in ON_GROUND:
                land = r
                break
        if not air:
            return "x"           # it walked off the ledge before the jump began
        if land is None:
            return outcome(rows, start, None, screen, note)
        end = land.time + max(release, 0) + 1.0
        if direction:
            keys.append((max(t0 + 0.02, land.time + release + 0.001), "key up " + direction))
        rows = [r for r in self.after(self.reading(keys, end), t0) if r.time <= end]
        return outcome(rows, start, expect, screen, note)

    def reading(self, keys, end):
        """Play the keys; a text that opens on the way (the trace stops while it is shown) is read
        for a second and closed with Action, as a person does. keys gets those presses."""
        for _ in range(4):
            rows = self.play(keys, end)
            last = rows[-1].time if rows else self.t
            if last >= end - 0.5:
                break
            keys += [(last + 1.0, "key down a-button"), (last + 1.08, "key up a-button")]
        return rows

    def jump(self, direction=None, expect=None, timeout=10.0, note="", hold_up=0.0):
        here = self.state()
        if self.screens is None or here.screen in self.screens:
            self.try_jump(direction, expect, note, here)
        return Memo.jump(self, direction, expect, timeout, note, hold_up)

    def try_jump(self, direction, expect, note, here):
        self.trying = True
        now = self.mark()
        w = self.walked
        if w and w[3] == self.lines and w[4] == self.t:
            before, x0, screen = w[0], w[1], w[2]
        else:
            before, x0, screen = now, int(here.x), None
        sign = -1 if direction == "left" else 1
        row = {}
        for dx in DX:
            x = x0 + sign * dx
            self.back(before)
            if not 2 <= x <= 192:
                row[dx] = "-"
                continue
            try:
                if dx or before is not now:
                    Memo.walk_to(self, x, screen, timeout=6.0)
                row[dx] = self.human_jump(direction, 0.0, expect, here.screen, note)
            except RouteError:
                row[dx] = "x"
        rel = {}
        for dt in RELEASE if direction else ():
            self.back(now)
            rel[dt] = self.human_jump(direction, dt, expect, here.screen, note)
        self.back(now)
        self.trying = False
        self.results.append(("jump", here.screen, note, x0, direction, row, rel))

    def walk(self, direction, until, timeout=20.0, note=""):
        now = self.mark()
        r = Memo.walk(self, direction, until, timeout, note)
        if self.trying or (self.screens is not None and r.screen not in self.screens):
            return r
        off = self.fall_from(now[1])
        if off is None:
            return r
        after = self.mark()
        self.trying = True
        tries = {}
        for dt in (0.0, 0.1, 0.2):
            self.back(now)
            start = self.state()
            keys = [(now[1], "key down " + direction), (off.time + dt, "key up " + direction)]
            got = [q for q in self.after(self.play(keys, off.time + dt + 1.5), now[1])]
            tries[dt] = outcome(got, start, until, r.screen, note)
        self.back(after)
        self.trying = False
        self.results.append(("walk-off", r.screen, note, int(off.x), direction, {}, tries))
        return r


    def fall_from(self, t0):
        """The row where the last walk left a ledge, if it fell nine rows or more (walking on flat
        ground bobs by one) and stayed on the screen."""
        rows = [q for q in self.after(Route.play(self, (), self.t), t0) if q.time <= self.t]
        off = None
        for a, b in zip(rows, rows[1:]):
            if b.state in (JUMPING, WALKJUMPING) or b.screen != a.screen:
                return None
            if b.state == WALKFALLING and a.state != WALKFALLING:
                off = a
            if off is not None and b.state in ON_GROUND:
                if b.y - off.y >= 9:
                    return off
                off = None
        return None


class Late(Memo):
    """The walkthrough with Zelvo waiting a while when it first stands on one screen."""

    def __init__(self, sim, app_dir, screen, delay):
        Memo.__init__(self, sim, app_dir)
        self.screen, self.delay, self.waited = screen, delay, None

    def hold(self, keys, until, timeout=20.0, note="", release=True):
        if self.waited is None and self.last is not None and self.last.screen == self.screen:
            self.waited = self.t
            self.t += self.delay
        r = Memo.hold(self, keys, until, timeout, note, release)
        if self.waited is not None and r.screen != self.screen:
            rows = [q for q in self.after(Route.play(self, (), self.t), self.waited) if q.screen == self.screen]
            lost = sum(max(0.0, a.energy - b.energy) for a, b in zip(rows, rows[1:]) if b.lives == a.lives)
            died = any(q.state == DYING for q in rows)
            raise Done("d" if died else ("%d" % round(lost) if lost >= 0.5 else "."))
        return r


def patrols(sim, app_dir, screens):
    out = []
    for screen, span in sorted(PATROL_SCREENS.items()):
        if screens is not None and screen not in screens:
            continue
        marks = []
        for delay in range(span + 1):
            r = Late(sim, app_dir, screen, float(delay))
            try:
                wt.walkthrough(r)
                marks.append("?")
            except Done as d:
                marks.append(str(d))
            except RouteError:
                marks.append("x")
        out.append((screen, marks))
    return out


def worst(screen, note):
    lost = LOST.get((screen, note))
    return "a life" if lost == 50 else ("energy -%d" % round(lost) if lost else "")


def report(results, late):
    print("Jumps: start points relative to the walkthrough's, earlier <- 0 -> later along the jump "
          "(o ok, m missed unhurt, s other screen, h hurt, d life lost, x/- cannot start there)")
    print()
    print("| screen | jump | from x | -12 px ... `|` 0 ... +12 px | window | release -100/-50/+50/+100 ms | worst |")
    print("|---|---|---|---|---|---|---|")
    for kind, screen, note, x0, direction, row, rel in results:
        if kind == "jump":
            line = "".join(row[d] for d in DX)
            lo = 0
            while lo - 1 in row and row[lo - 1] == "o":
                lo -= 1
            hi = 0
            while hi + 1 in row and row[hi + 1] == "o":
                hi += 1
            window = "%d px (%+d..%+d)" % (hi - lo + 1, lo, hi) if row[0] == "o" else "none"
            print("| %d | %s (%s) | %d | `%s|%s` | %s | %s | %s |" % (
                screen, note, direction or "up", x0, line[:12], line[12:], window,
                " ".join(rel[d] for d in RELEASE) if rel else "", worst(screen, note)))
        else:
            print("| %d | %s (walk-off) | %d | | | key up 0/0.1/0.2 s after leaving the ledge: %s | %s |" % (
                screen, note, x0, " ".join(rel[d] for d in (0.0, 0.1, 0.2)), worst(screen, note)))
    if late:
        print()
        print("Patrols: energy lost on the screen when Zelvo arrives 0, 1, 2 ... s later (. none, d a life)")
        print()
        for screen, marks in late:
            print("- screen %d: %s" % (screen, " ".join(marks)))


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--sim", required=True, help="the zelvo-sim program")
    ap.add_argument("--app-dir", required=True, help="the folder of the packed world")
    ap.add_argument("--screen", type=int, action="append", help="measure only this screen (may be repeated)")
    ap.add_argument("--no-patrols", action="store_true", help="skip the late arrivals on patrolled screens")
    args = ap.parse_args(argv)
    if not os.path.isfile(os.path.join(args.app_dir, "map.dat")):
        sys.exit("tolerance: %s holds no packed world (map.dat)" % args.app_dir)
    screens = set(args.screen) if args.screen else None
    r = Measure(args.sim, args.app_dir, screens)
    try:
        wt.walkthrough(r)
    except RouteError as e:
        sys.exit("tolerance: the walkthrough itself fails: %s" % e)
    late = [] if args.no_patrols else patrols(args.sim, args.app_dir, screens)
    report(r.results, late)


if __name__ == "__main__":
    main(sys.argv[1:])
