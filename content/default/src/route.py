"""route.py -- write zelvo-sim scripts from a route told in steps ("walk right until x >= 120").

zelvo-sim is deterministic, so a step is timed by playing the script written so far and reading
the trace: a key goes down, the trace says on which frame the goal is reached, the key comes up
there. Every step replays the whole script from the start; that costs a fraction of a second.
"""
import os
import subprocess
import tempfile

FIELDS = ("frame", "time", "mode", "state", "x", "y", "col", "row", "lives", "energy", "score")
STANDING, JUMPING, FALLING, WALKING, WALKJUMPING, WALKFALLING, DYING = 1, 2, 3, 4, 5, 6, 7
ON_GROUND = (STANDING, WALKING)


class Row(dict):
    __getattr__ = dict.__getitem__

    @property
    def screen(self):
        return self.col * 10 + self.row + 1


def parse(line):
    parts = line.split()
    r = Row()
    for k, v in zip(FIELDS, parts):
        r[k] = float(v) if k in ("time", "x", "y", "energy") else int(v)
    return r


class RouteError(Exception):
    pass


class Route:
    def __init__(self, sim, app_dir, start_tap=(110, 105)):
        self.sim, self.app_dir = sim, app_dir
        self.lines = []          # (time, text, note)
        self.t = 0.0
        self.tmp = tempfile.mkdtemp(prefix="zelvo-route-")
        self.last = None
        self.verbose = False
        self.at(4.0, "tap %d %d" % start_tap, "Start")
        self.t = 4.0

    # ---- the script ---------------------------------------------------------------------------
    def at(self, t, text, note=""):
        self.lines.append((round(t, 3), text, note))

    def text(self, header=()):
        out = ["# " + h for h in header]
        for t, text, note in sorted(self.lines, key=lambda l: l[0]):
            out.append("%.3f %s%s" % (t, text, ("  # " + note) if note else ""))
        return "\n".join(out) + "\n"

    def play(self, extra=(), seconds=None):
        """Run the script so far (plus extra lines) and return the trace rows."""
        script = os.path.join(self.tmp, "script.txt")
        trace = os.path.join(self.tmp, "trace.txt")
        with open(script, "w") as f:
            f.write(self.text())
            for t, text in extra:
                f.write("%.3f %s\n" % (t, text))
        seconds = seconds or self.t + 30
        try:
            proc = subprocess.run([self.sim, "--app-dir", self.app_dir, "--script", script, "--trace", trace,
                                   "--seconds", "%.3f" % seconds], capture_output=True, text=True)
        except OSError as e:
            raise RouteError("cannot run zelvo-sim at %s: %s" % (self.sim, e.strerror))
        if proc.returncode not in (0, 3):
            raise RouteError("zelvo-sim failed (%d): %s" % (proc.returncode, proc.stderr))
        with open(trace) as f:
            return [parse(l) for l in f if l.strip() and not l.startswith("#")]

    def after(self, rows, t=None):
        t = self.t if t is None else t
        return [r for r in rows if r.time > t]

    # ---- steps --------------------------------------------------------------------------------
    def hold(self, keys, until, timeout=20.0, note="", release=True):
        """Hold keys from now until a trace row satisfies until(row); returns that row."""
        keys = keys.split() if isinstance(keys, str) else list(keys)
        t0 = self.t
        extra = [(t0, "key down " + k) for k in keys]
        rows = self.after(self.play(extra, t0 + timeout), t0)
        for r in rows:
            if until(r):
                for k in keys:
                    self.at(t0, "key down " + k, note)
                if release:
                    for k in keys:
                        self.at(r.time + 0.001, "key up " + k)
                self.t = r.time + 0.002
                self.last = r
                if self.verbose:
                    print("%-34s %7.3f  screen %2d  x %6.1f  y %6.1f  state %d  mode %d  lives %d  energy %4.1f  score %d" % (
                        (note or " ".join(keys))[:34], r.time, r.screen, r.x, r.y, r.state, r.mode, r.lives,
                        r.energy, r.score))
                return r
        last = rows[-1] if rows else None
        raise RouteError("%s: not reached within %.1f s; last frame: %s" % (note or keys, timeout, last))

    def wait(self, until, timeout=20.0, note=""):
        return self.hold([], until, timeout, note)

    def idle(self, seconds):
        self.t += seconds

    def press(self, key="a-button", hold=0.08, note=""):
        self.at(self.t, "key down " + key, note)
        self.at(self.t + hold, "key up " + key)
        self.t += hold + 0.02

    def dismiss(self, note="", timeout=8.0):
        """A dialog box is open (or opens within the timeout): close it with Action."""
        rows = self.after(self.play((), self.t + timeout))
        if rows and rows[-1].time > self.t + timeout - 0.5:
            raise RouteError("%s: no dialog box holds the game" % note)
        opened = rows[-1].time if rows else self.t
        self.t = max(self.t, opened + 1.05)
        self.press("a-button", note=note or "close the dialog")
        self.t += 0.5          # Action is ignored for half a second after a box closes

    def state(self):
        rows = self.play((), self.t + 0.05)
        rows = [r for r in rows if r.time <= self.t + 0.05]
        return rows[-1] if rows else None

    # ---- moves ----------------------------------------------------------------------------------
    def walk(self, direction, until, timeout=20.0, note=""):
        return self.hold(direction, until, timeout, note)

    def walk_to(self, x, screen=None, note="", timeout=20.0):
        s = self.state()
        direction = "right" if x > s.x else "left"
        def there(r):
            if screen is not None and r.screen != screen:
                return False
            return r.x >= x if direction == "right" else r.x <= x
        return self.walk(direction, there, timeout, note or "walk to x %d" % x)

    def land(self, timeout=10.0, note=""):
        """Wait until Zelvo stands still on the ground (two frames standing at one height)."""
        prev = []

        def still(r):
            ok = bool(prev) and r.state == STANDING and prev[-1].state == STANDING and prev[-1].y == r.y
            prev.append(r)
            return ok
        return self.wait(still, timeout, note or "land")

    def inventory(self, lefts=0, note=""):
        """Open the inventory with Action, move the highlight up by lefts lines, close it with
        Action: the chosen artifact is used (or dropped), the exit line just closes."""
        self.press("a-button", note=note or "inventory")
        self.wait(lambda r: r.mode == 4, 3.0, note + ": the inventory opens")
        self.t += 0.55
        for _ in range(lefts):
            self.press("left", 0.06)
            self.t += 0.25
        self.press("a-button", note=note + ": choose" if note else "")
        self.t += 0.5          # and after the inventory closes

    def pick_up(self, note=""):
        """Action over an artifact: it is picked up and the inventory opens; close it again."""
        self.inventory(0, note or "pick up")
        self.wait(lambda r: r.mode == 3, 3.0, (note or "pick up") + ": back to play")

    def jump(self, direction=None, expect=None, timeout=10.0, note="", hold_up=0.0):
        """Jump (straight up, or walking left or right) and let go on landing; expect(row) must
        hold for the landing frame. hold_up > 0 lets go of Up after that many seconds (a short
        hop still rises the whole jump: the keys only steer)."""
        keys = ["up"] + ([direction] if direction else [])
        airborne = []

        def done(r):
            if r.state in (JUMPING, WALKJUMPING):
                airborne.append(r)
            return bool(airborne) and r.state in ON_GROUND
        note = note or "jump %s" % (direction or "up")
        r = self.hold(keys, done, timeout, note)
        if expect is not None and not expect(r):
            raise RouteError("%s: landed at the wrong place: %s" % (note, r))
        return r
