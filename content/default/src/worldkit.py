"""worldkit.py -- the pieces a world is written with: sprites, screens with their ground, events,
artifacts and dialogs, written out as a manifest section and sprite strips.

The game has no tiles: a screen is a set of sprites, and what is solid is the opaque pixels of
the solid ones. A Screen here keeps a ground profile (the top row of the floor in every column,
and the bottom row of the ceiling) that becomes one solid sprite, plus placed objects and
events. The checks at the end catch what the game would never report: a gap with nothing below
it, an edge that leads into a wall, a patroller that never starts, a text the dialog box cuts.
"""
import json
import os

from pixel import Canvas

W, H = 210, 190          # the playfield
PW, PH = 16, 20          # Zelvo's frame
KINDS = {"player": 16, "scenery": 2, "foreground": 30, "solid": 1, "background": 0, "front": 20,
         "hazard": 25}


class Sprite:
    def __init__(self, sid, name, kind, frames, anim, motion, rate, file=None):
        assert kind in KINDS, kind
        assert frames and all(f.w == frames[0].w and f.h == frames[0].h for f in frames), name
        assert frames[0].w <= 255 and frames[0].h <= 255, name
        for f in frames:
            assert f.get(f.w - 1, f.h - 1) is None, "%s: the bottom-right pixel is never drawn" % name
        self.id, self.name, self.kind, self.frames = sid, name, kind, frames
        self.anim, self.motion, self.rate = anim, motion, rate
        self.file = file or name

    @property
    def w(self):
        return self.frames[0].w

    @property
    def h(self):
        return self.frames[0].h

    @property
    def layer(self):
        return KINDS[self.kind]

    def strip(self):
        s = Canvas(self.w * len(self.frames), self.h)
        for i, f in enumerate(self.frames):
            s.blit(f, i * self.w, 0)
        return s

    def top_rows(self):
        """For each column, the first opaque row of the first frame (None for an empty column)."""
        f = self.frames[0]
        tops = []
        for x in range(f.w):
            t = None
            for y in range(f.h):
                if f.get(x, y) is not None and not (x == f.w - 1 and y == f.h - 1):
                    t = y
                    break
            tops.append(t)
        return tops


class Event:
    def __init__(self, world, eid, trigger, size, armed, param, note):
        self.world, self.id, self.trigger, self.size = world, eid, trigger, size
        self.armed, self.param, self.note = armed, param, note
        self.actions = []

    def do(self, *actions):
        self.actions.extend(actions)
        return self


class Artifact:
    def __init__(self, aid, name, sprite, screen, x, y, state):
        self.id, self.name, self.sprite = aid, name, sprite
        self.screen, self.x, self.y, self.state = screen, x, y, state


class Screen:
    def __init__(self, world, number, name, theme, seed):
        self.world, self.number, self.name, self.theme, self.seed = world, number, name, theme, seed
        self.floor = [None] * (W + 1)   # top row of the ground in each column (None: a gap)
        self.ceil = [None] * (W + 1)    # last row of the ceiling in each column (None: open)
        self.objects = []               # (sprite, x, y, layer)
        self.events = []                # (event, x, y)
        self.up_open = False            # a jump through the top edge is meant to lead up
        self.pond = False               # its gaps hold water, not a hole
        self.down_open = False          # the floor's gaps are meant to lead down
        self.closed_left = self.closed_right = False   # an edge kept shut by events or walls
        self.floor_sprite = self.ceil_sprite = None

    @property
    def column(self):
        return (self.number - 1) // 10

    @property
    def row(self):
        return (self.number - 1) % 10

    # ---- the ground -------------------------------------------------------------------------
    def ground(self, x0, x1, top, top1=None):
        """Floor from column x0 to x1 (exclusive) at row top, or sloping from top to top1."""
        for x in range(max(0, x0), min(W + 1, x1)):
            if top1 is None:
                self.floor[x] = top
            else:
                self.floor[x] = int(round(top + (top1 - top) * (x - x0) / max(1, x1 - x0 - 1)))
        return self

    def gap(self, x0, x1):
        for x in range(max(0, x0), min(W + 1, x1)):
            self.floor[x] = None
        return self

    def ceiling(self, x0, x1, bottom, bottom1=None):
        for x in range(max(0, x0), min(W + 1, x1)):
            if bottom1 is None:
                self.ceil[x] = bottom
            else:
                self.ceil[x] = int(round(bottom + (bottom1 - bottom) * (x - x0) / max(1, x1 - x0 - 1)))
        return self

    # ---- objects and events -------------------------------------------------------------------
    def put(self, sprite, x, y, layer=0):
        sp = self.world.sprites[sprite] if isinstance(sprite, int) else sprite
        assert sp.id < 1000, sp.name
        self.objects.append((sp, x, y, layer))
        return sp

    def on(self, event, x, y):
        self.events.append((event, x, y))
        return event

    def standing_y(self, x):
        """Where Zelvo stands with its left edge at x: the highest solid top under its feet."""
        tops = [t for t in self.surface_tops()[x + 2:x + PW - 2] if t is not None]
        return min(tops) - PH if tops else None

    def surface_tops(self):
        """The highest solid row in every column: the floor, and the tops of solid objects."""
        tops = list(self.floor)
        for sp, x, y, layer in self.objects:
            if (layer or sp.layer) != 1:
                continue
            for i, t in enumerate(sp.top_rows()):
                if t is not None and 0 <= x + i <= W:
                    tops[x + i] = y + t if tops[x + i] is None else min(tops[x + i], y + t)
        return tops


class World:
    def __init__(self):
        self.sprites = {}
        self.by_name = {}
        self.screens = {}
        self.events = []
        self.artifacts = []
        self.dialogs = []       # texts, id = index + 1
        self.next_sprite = 10
        self.next_event = 1

    # ---- registry -----------------------------------------------------------------------------
    def sprite(self, name, kind, frames, anim=0, motion="still", rate=0, sid=None, file=None):
        """A sprite by name: the same name gives the same sprite. Sprites with one file share its picture."""
        if name in self.by_name:
            return self.by_name[name]
        if not isinstance(frames, list):
            frames = [frames]
        if sid is None:
            while self.next_sprite in self.sprites:
                self.next_sprite += 1
            sid = self.next_sprite
        assert sid not in self.sprites, (sid, name)
        sp = Sprite(sid, name, kind, frames, anim, motion, rate, file)
        self.sprites[sid] = sp
        self.by_name[name] = sp
        return sp

    def screen(self, number, name, theme, seed=None):
        assert number not in self.screens and 1 <= number <= 100
        s = Screen(self, number, name, theme, seed if seed is not None else number)
        self.screens[number] = s
        return s

    def event(self, trigger, size, armed=True, param=None, note=""):
        e = Event(self, self.next_event, trigger, size, armed, param, note)
        self.next_event += 1
        self.events.append(e)
        return e

    def artifact(self, aid, name, sprite, screen, x, y, state="lying"):
        a = Artifact(aid, name, sprite, screen, x, y, state)
        self.artifacts.append(a)
        return a

    def dialog(self, text):
        if text not in self.dialogs:
            self.dialogs.append(text)
        return self.dialogs.index(text) + 1

    # ---- actions ------------------------------------------------------------------------------
    @staticmethod
    def go(screen, x, y):
        return {"do": "goToScreen", "screen": screen, "x": x, "y": y}

    def say(self, text):
        return {"do": "showDialog", "dialog": self.dialog(text)}

    @staticmethod
    def place(artifact):
        return {"do": "placeArtifact", "artifact": artifact.id}

    @staticmethod
    def spend(artifact):
        return {"do": "spendArtifact", "artifact": artifact.id}

    @staticmethod
    def disarm(event):
        return {"do": "disarmEvent", "event": event}

    @staticmethod
    def arm(event):
        return {"do": "armEvent", "event": event}

    @staticmethod
    def remove(sprite):
        return {"do": "removeSprite", "sprite": sprite}

    @staticmethod
    def score(points):
        return {"do": "addScore", "points": points}

    @staticmethod
    def energy(amount):
        return {"do": "addEnergy", "energy": amount}

    KILL = {"do": "killPlayer"}
    FINISH = {"do": "finishGame"}
    NOTHING = {"do": "nothing"}

    # ---- output -------------------------------------------------------------------------------
    def manifest(self, folder):
        """The manifest sections, with sprite strips named under folder."""
        def resolve(a):
            out = {}
            for k, v in a.items():
                if isinstance(v, Event):
                    v = v.id
                elif isinstance(v, Sprite):
                    v = v.id
                out[k] = v
            return out

        sprites = []
        for sid in sorted(self.sprites):
            sp = self.sprites[sid]
            rec = {"id": sid, "kind": sp.kind,
                   "frames": {"strip": "%s/%s.png" % (folder, sp.file), "count": len(sp.frames)}}
            if sp.anim:
                rec["animRate"] = sp.anim
            if sp.motion != "still":
                rec["motion"] = sp.motion
            if sp.rate:
                rec["moveRate"] = sp.rate
            sprites.append(rec)
        screens = []
        for n in sorted(self.screens):
            s = self.screens[n]
            screens.append({
                "number": n, "_name": s.name,
                "objects": [dict({"sprite": sp.id, "x": x, "y": y}, **({"layer": layer} if layer else {}))
                            for sp, x, y, layer in s.objects],
                "events": [{"event": e.id, "x": x, "y": y} for e, x, y in s.events]})
        events = []
        for e in self.events:
            rec = {"id": e.id}
            if e.note:
                rec["_note"] = e.note
            rec.update({"size": list(e.size), "trigger": e.trigger})
            if not e.armed:
                rec["armed"] = False
            if e.param is not None:
                rec["param"] = e.param.id
            rec["actions"] = [resolve(a) for a in e.actions]
            events.append(rec)
        artifacts = [{"id": a.id, "name": a.name, "screen": a.screen, "x": a.x, "y": a.y, "state": a.state}
                     for a in self.artifacts]
        dialogs = [{"id": i + 1, "text": t} for i, t in enumerate(self.dialogs)]
        return {"sprites": sprites, "screens": screens, "events": events, "artifacts": artifacts,
                "dialogs": dialogs}


def write_manifest(path, sections, header):
    """One record a line, so that a change shows as a change of lines."""
    lines = ["// " + h for h in header] + ["{", '  "format": "zelvo-world 1",']
    keys = list(sections)
    for i, key in enumerate(keys):
        lines.append('  "%s": [' % key)
        recs = sections[key]
        for j, r in enumerate(recs):
            lines.append("    " + json.dumps(r, ensure_ascii=False) + ("," if j + 1 < len(recs) else ""))
        lines.append("  ]" + ("," if i + 1 < len(keys) else ""))
    lines.append("}")
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(tmp, path)


# ---- the dialog box's layout, to keep every text inside it --------------------------------------

def dialog_lines(text, glyph_w=6):
    """Lay a text out as the dialog box does; returns the lines, or None when it needs an eighth."""
    t = text.replace("\n", " \n").replace("\r", "")
    x, y, i, lines, line = 50, 70, 0, [], ""

    def newline():
        nonlocal x, y, line
        lines.append(line)
        x, y, line = 50, y + 10, ""
        return y <= 130

    while i < len(t):
        r = t[i:]
        while r.startswith("@"):
            r = r[6:]
        n = r.find(" ") if " " in r else len(r)
        if x + 7 * n > 195 and not newline():
            return None
        c = t[i]
        if c == "\n":
            if not newline():
                return None
        elif c == "@":
            i += 5
        else:
            line += c
            x += glyph_w
            if x > 195 and not newline():
                return None
        i += 1
    lines.append(line)
    return lines


# ---- what moves, and where the near fringe may stay ---------------------------------------------

def removed_sprites(world):
    return {a["sprite"].id if isinstance(a["sprite"], Sprite) else a["sprite"]
            for e in world.events for a in e.actions if a["do"] == "removeSprite"}


def moving_rects(world, s):
    """Rectangles (x0, y0, x1, y1) where objects are erased and drawn again: animated, patrolling
    and removable objects, and artifacts (picked up, dropped, placed)."""
    removed = removed_sprites(world)
    rects = []
    for sp, x, y, layer in s.objects:
        if sp.motion == "patrol":
            rects.append((0, y, W, y + sp.h))
        elif len(sp.frames) > 1 or sp.id in removed:
            rects.append((x, y, x + sp.w, y + sp.h))
    for a in world.artifacts:
        if a.screen == s.number:
            rects.append((a.x - 20, a.y - 20, a.x + a.sprite.w + 20, a.y + a.sprite.h + 20))
    return rects


def reach_tops(world, s):
    """The highest row Zelvo's body can reach in every column (conservatively)."""
    tops = s.surface_tops()
    reach = [H] * (W + 1)
    for c in range(W + 1):
        near = [t for t in tops[max(0, c - 75):c + 76] if t is not None]
        if near:
            reach[c] = min(near) - PH - 44
    above = world.screens.get(s.number - 1) if s.row > 0 else None
    if above is not None:
        for x, t in enumerate(above.surface_tops()):
            if t is None:   # Zelvo can drop in from above through this column
                for c in range(max(0, x - PW), min(W + 1, x + PW)):
                    reach[c] = -1
    arrivals = [(a["x"], a["y"]) for e in world.events for a in e.actions
                if a["do"] == "goToScreen" and a["screen"] == s.number]
    if s.number == 1:
        arrivals.append((20, 1))          # where a new game puts Zelvo
    for x, y in arrivals:
        for c in range(max(0, x - 2), min(W + 1, x + PW + 2)):
            reach[c] = min(reach[c], y - 2)
    return reach


def near_mask(world, s, near):
    """Cut the near fringe wherever something may be erased over it."""
    reach = reach_tops(world, s)
    rects = moving_rects(world, s)
    out = near.copy()
    for y in range(near.h):
        for x in range(near.w):
            if out.get(x, y) is None:
                continue
            if y >= reach[min(x, W)] - 2 or any(x0 - 1 <= x <= x1 + 1 and y0 - 1 <= y <= y1 + 1
                                                 for x0, y0, x1, y1 in rects):
                out.set(x, y, None)
    out.px[-1] = None
    return out


# ---- checks ------------------------------------------------------------------------------------------

def check(world):
    """Problems the game would not report; returns a list of texts."""
    problems = []
    screens = world.screens

    def at(col, row):
        return screens.get(col * 10 + row + 1) if 0 <= col <= 9 and 0 <= row <= 9 else None

    removed = removed_sprites(world)
    for n, s in sorted(screens.items()):
        name = "screen %d (%s)" % (n, s.name)
        if len(s.objects) > 64 or len(s.events) > 16:
            problems.append("%s: %d objects, %d events" % (name, len(s.objects), len(s.events)))
        tops = s.surface_tops()
        below = at(s.column, s.row + 1)
        thin = [x for x, t in enumerate(s.floor[:W]) if t is not None and t > H - 9]
        if thin:   # a fast fall would pass through it
            problems.append("%s: the floor at column %d is thinner than nine rows" % (name, thin[0]))
        kills = [(x, y, x + e.size[0], y + e.size[1]) for e, x, y in s.events
                 if e.trigger == "touch" and any(a["do"] in ("killPlayer", "goToScreen") for a in e.actions)]
        for x in range(W):
            if tops[x] is not None:
                continue
            if below is None and not any(x0 <= x <= x1 and y0 <= 180 <= y1 for x0, y0, x1, y1 in kills):
                problems.append("%s: column %d falls out of the world" % (name, x))
                break
            if below is not None and not s.down_open:
                problems.append("%s: column %d drops into screen %d" % (name, x, below.number))
                break
        # the floor under a removable solid leads somewhere too
        for sp, x, y, layer in s.objects:
            if sp.id in removed and sp.layer == 1:
                for c in range(x, x + sp.w):
                    if 0 <= c < W and s.floor[c] is None and below is None and not any(
                            x0 <= c <= x1 and y0 <= 180 <= y1 for x0, y0, x1, y1 in kills):
                        problems.append("%s: removing %s opens a fall out of the world" % (name, sp.name))
                        break
        right = at(s.column + 1, s.row)
        if right is not None:
            a, b = tops[W - 1], right.surface_tops()[0]
            open_a = a is not None and a > 0 and not s.closed_right
            open_b = b is not None and b > 0 and not right.closed_left
            if open_a != open_b or (open_a and a != b):
                problems.append("%s: the edge to screen %d does not match (%s / %s)" % (name, right.number, a, b))
        above = at(s.column, s.row - 1)
        if above is not None and not s.up_open:
            stands = [t for t in tops if t is not None and t > PH]
            if stands and min(stands) - PH - 40 <= 1 and any(c is None for c in s.ceil[:W]):
                problems.append("%s: a jump may lead up into screen %d" % (name, above.number))
        for sp, x, y, layer in s.objects:
            if sp.motion == "patrol" and not x + sp.w + 1 > 206:
                problems.append("%s: %s at x %d never starts to patrol" % (name, sp.name, x))
    # Zelvo must fit where it arrives: through a gap above, or where a door puts it.
    solid = {}
    for n, s in screens.items():
        cells = set()
        for x in range(W):
            if s.floor[x] is not None:
                cells.update((x, y) for y in range(s.floor[x], H))
            if s.ceil[x] is not None:
                cells.update((x, y) for y in range(0, s.ceil[x] + 1))
        for sp, ox, oy, layer in s.objects:
            if (layer or sp.layer) == 1:
                f = sp.frames[0]
                cells.update((ox + i, oy + j) for j in range(f.h) for i in range(f.w) if f.get(i, j) is not None)
        solid[n] = cells

    def blocked(n, x, y):
        return any((x + i, y + j) in solid[n] for i in range(PW) for j in range(PH))

    for n, s in screens.items():
        below = at(s.column, s.row + 1)
        if below is None:
            continue
        gap = [x for x in range(W) if s.surface_tops()[x] is None]
        for x in gap:
            if all(c in gap for c in range(x + 2, x + PW - 2)) and blocked(below.number, x, 0):
                problems.append("screen %d: Zelvo falling in at x %d meets something solid" % (below.number, x))
                break
    for e in world.events:
        for a in e.actions:
            if a["do"] == "goToScreen" and blocked(a["screen"], a["x"], a["y"]):
                problems.append("event %d (%s): Zelvo arrives inside something solid on screen %d" % (
                    e.id, e.note, a["screen"]))
    # Erasing repaints from the first lower object in the list that has a pixel there: where two
    # objects of one layer overlap, what passes over them brings back the one put first, and an
    # object that animates, moves or goes away wipes the others of its layer in its rectangle.
    for n, s in sorted(screens.items()):
        reach = reach_tops(world, s)
        rects = moving_rects(world, s)
        placed = [(sp, x, y, layer or sp.layer) for sp, x, y, layer in s.objects if (layer or sp.layer) > 1]

        def opaque(o, x, y):
            sp, ox, oy = o[:3]
            return 0 <= x - ox < sp.w and 0 <= y - oy < sp.h and sp.frames[0].get(x - ox, y - oy) is not None

        def wiped(o):
            sp, ox, oy = o[:3]
            if sp.motion == "patrol":
                return 0, oy, W, oy + sp.h
            if len(sp.frames) > 1 or sp.id in removed:
                return ox, oy, ox + sp.w, oy + sp.h
            return None

        def passed(x, y):
            return y >= reach[x] - 2 or any(r[0] <= x <= r[2] and r[1] <= y <= r[3] for r in rects)

        def first(box, test):
            x0, y0, x1, y1 = box
            return next(((x, y) for y in range(max(y0, 0), min(y1, H)) for x in range(max(x0, 0), min(x1, W))
                         if test(x, y)), None)

        for i, a in enumerate(placed):
            for b in placed[i + 1:]:
                if a[3] != b[3]:
                    continue
                cut = None
                for mover, other in ((a, b), (b, a)):
                    box = wiped(mover)
                    hit = box and first(box, lambda x, y: opaque(other, x, y))
                    if hit:
                        cut = (other, hit)
                both = (max(a[1], b[1]), max(a[2], b[2]), min(a[1] + a[0].w, b[1] + b[0].w),
                        min(a[2] + a[0].h, b[2] + b[0].h))
                hit = first(both, lambda x, y: opaque(a, x, y) and opaque(b, x, y) and passed(x, y))
                if hit:
                    cut = (b, hit)
                if cut:
                    problems.append("screen %d: %s and %s share layer %d and meet at %s, where %s is cut; give "
                                    "one a layer of its own" % (n, a[0].name, b[0].name, a[3], cut[1], cut[0][0].name))
    for i, text in enumerate(world.dialogs):
        if dialog_lines(text) is None or len(text.encode("latin-1")) > 127:
            problems.append("dialog %d is cut: %r" % (i + 1, text))
    return problems
