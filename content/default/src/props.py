"""props.py -- the things on the screens: neighbours to talk to, creatures, the five artifacts,
treasures, plants, buildings, doors, gates and switches.

Small figures are drawn as character grids (one letter a colour, '.' transparent), lit from the
top left and outlined in ink like Zelvo; big ones are drawn with the kit's shapes.
"""
import math
import random

import kit
from palette import P
from pixel import Canvas
from scenery import hsh, dith

KEY = {
    "k": P["ink"], "w": P["white"], "W": P["cream"], "g": P["grey"], "G": P["greylt"], "d": P["greydk"],
    "y": P["gold"], "Y": P["yellow"], "o": P["orange"], "r": P["red"], "R": P["reddk"], "p": P["pink"],
    "b": P["wooddk"], "B": P["wood"], "L": P["woodlt"], "s": P["sand"], "x": P["bark"],
    "m": P["moss"], "M": P["mossdk"], "l": P["leaf"], "e": P["leaflt"], "i": P["lime"],
    "u": P["blue"], "U": P["deep"], "c": P["sky"], "C": P["skylt"], "t": P["teal"], "T": P["tealdk"],
    "v": P["violet"], "V": P["violetlt"], "q": P["cyan"], "n": P["night"], "h": P["rock"], "H": P["rocklt"],
    "j": P["rockdk"], "z": P["mud"], "f": P["black"],
}


def grid(rows, outline=True, key=None):
    """A figure from rows of letters; with outline, ink goes around it (one pixel bigger each side)."""
    key = key or KEY
    w = max(len(r) for r in rows)
    c = Canvas(w, len(rows))
    for y, r in enumerate(rows):
        for x, ch in enumerate(r):
            if ch != "." and ch != " ":
                c.set(x, y, key[ch])
    if outline:
        c = c.outline(P["ink"])
    return c


def fit(c, w=None, h=None, dx=0, dy=0):
    """Put a figure on a canvas of a given size (bottom-aligned, centred) with the corner clear."""
    w = w or c.w
    h = h or c.h
    out = Canvas(w, h)
    out.blit(c, (w - c.w) // 2 + dx, h - c.h + dy)
    out.px[-1] = None
    return out


def animation(count, w, h, draw):
    """count frames of w x h, each drawn by draw(canvas, k), the corner the game never draws kept clear."""
    frames = []
    for k in range(count):
        c = Canvas(w, h)
        draw(c, k)
        c.px[-1] = None
        frames.append(c)
    return frames


def frames_of(*canvases):
    w = max(c.w for c in canvases)
    h = max(c.h for c in canvases)
    return [fit(c, w + (1 if c.get(c.w - 1, c.h - 1) is not None else 0), h) for c in canvases]


# ---- neighbours ---------------------------------------------------------------------------------

def heron():
    """Old Heron, keeper of Lily Pond: tall, grey, on one long leg, facing left."""
    return fit(grid([
        ".....GGGG.............",
        "....GGGGGG............",
        "...GGkGGGGd...........",
        "yyyyyGGGGGd...........",
        "....ddGGGGdxxx........",
        "......GGGd...xx.......",
        "......GGGd............",
        ".......GGd............",
        ".......GGGd...........",
        "........GGd...........",
        "........GGd...........",
        "........GGGd..........",
        ".........GGGd.........",
        ".........GGGGdd.......",
        "........GGGGGGGgg.....",
        ".......GGGGGGGGGggg...",
        ".......GGGGGgggggggd..",
        ".......GGGGgggggggggd.",
        "........GGggggggggdddd",
        "........GGgggggggddddd",
        ".........Gggggggdddd..",
        "..........ggggddddd...",
        "...........ggdd.......",
        "............y.........",
        "............y.........",
        "............y.........",
        "............yy........",
        "............y.yyy.....",
        "............y.........",
        "............y.........",
        "............y.........",
        "............y.........",
        "............y.........",
        "............y.........",
        "...........yyy........",
        "..........y.y.y.......",
    ]))


def mole():
    """Old Mole in his burrow, round, with a pink nose and digging paws, facing left."""
    return fit(grid([
        "......xxxxxxx......",
        "....xxxxxxxxxxx....",
        "...xxbxxxxxxxxxxx..",
        "..xxwkxxxxxxxxxxxx.",
        "ppxxxxxxxxxxxxxxxx.",
        "ppxxxxxxxxxxxxxxxxx",
        ".xxxxxxxxxxxxxxxxxx",
        "..xxxxxxxxxxxxxxxxx",
        ".pppxxxxxxxxxxxxxx.",
        "pppp.xxxxxxxxxxxx..",
        ".......pp....pp....",
    ]))


def owl():
    return fit(grid([
        ".b.......b.",
        ".bbBBBBBbb.",
        "bBWWWBWWWBb",
        "BWkkWBWkkWB",
        "BWkkWyWkkWB",
        "bBWWWyWWWBb",
        "bBBBLLLBBBb",
        "bBLsLsLsLBb",
        "bBsLsLsLsBb",
        ".bBLsLsLBb.",
        "..bBBBBBb..",
        "...yy.yy...",
    ]))


def squirrel():
    return fit(grid([
        "..........ooo.",
        ".o.......ooooo",
        "ooo.....oooRoo",
        "oooo....ooRRoo",
        "okoo....oRRoo.",
        "ooooo..ooRoo..",
        ".ooWoooooRoo..",
        "..oWWoooooo...",
        "..oWWooooo....",
        "..ooooooo.....",
        "..o.o.o.o.....",
    ]))


def rabbit():
    return fit(grid([
        "..G.G.........",
        "..GpGp........",
        "..GpGp........",
        ".GGGGG........",
        "GkGGGGG.......",
        "GGGGGGGGGGG...",
        "pGGGGGGGGGGG..",
        ".GGGWWGGGGGGG.",
        "..GGWWGGGGGGWW",
        "..GGGGGGGGGGWW",
        "...GG..GG.GG..",
    ]))


def otter():
    return fit(grid([
        "..BBB...............",
        ".BkBBB..............",
        "kBBBBBB.............",
        ".WWBBBBBB...........",
        "..WWBBBBBBBBB.......",
        "...WBBBBBBBBBBBB....",
        "....BBBBBBBBBBBBBB..",
        ".....BB..BBBBB.BBBBB",
        "....................",
    ]))


def mouse():
    return fit(grid([
        ".pp.......",
        "pGGp......",
        ".GGGG.....",
        "kGGGGGG...",
        "pGGGGGGG..",
        ".GG..GG.gg",
    ]))


def badger():
    """The badger asleep, curled up with its striped head on its paws: a solid block."""
    w, h = 44, 26
    c = Canvas(w, h)
    c.ellipse(24, 15, 20, 11, P["grey"])
    c.ellipse(22, 12, 16, 7, P["greylt"])
    for x in range(8, 42, 5):   # fur
        c.set(x, 6 + int(hsh(x, 1) * 3), P["grey"])
    c.ellipse(9, 18, 8, 7, P["white"])          # head
    c.fill(3, 14, 12, 3, P["ink"])               # the black stripe
    c.fill(6, 12, 8, 2, P["ink"])
    c.hline(4, 8, 19, P["ink"])                  # a closed eye
    c.set(1, 20, P["ink"])
    c.set(2, 20, P["pink"])
    c.ellipse(16, 24, 5, 2, P["greydk"])         # paws
    out = c.outline(P["ink"])
    out = fit(out)
    return out


def zzz():
    """Snores rising from the badger (scenery, two frames)."""
    f1 = grid([
        "........www",
        ".........w.",
        "........www",
        "...ww......",
        "....w......",
        "...ww......",
        "...........",
        "w..........",
    ], outline=False)
    f2 = grid([
        "...........",
        ".....www...",
        "......w....",
        ".....www...",
        "...........",
        "ww.........",
        ".w.........",
        "ww.........",
    ], outline=False)
    return frames_of(f1, f2)


# ---- creatures ------------------------------------------------------------------------------

def bee():
    a = grid([
        "..CC.",
        ".CCC.",
        "yxyxy",
        "yxyxk",
    ])
    b = grid([
        ".....",
        ".CC..",
        "yxyxy",
        "yxyxk",
    ])
    return frames_of(a, b)


def beetle():
    a = grid([
        "..uuuuu...",
        ".uCuuuuu..",
        "kuuuUuuuu.",
        "kuuuUuuuuu",
        ".x.x..x.x.",
    ])
    b = grid([
        "..uuuuu...",
        ".uCuuuuu..",
        "kuuuUuuuu.",
        "kuuuUuuuuu",
        "x.x..x.x..",
    ])
    return frames_of(a, b)


def bat():
    a = grid([
        "n.......n",
        "nn.v.v.nn",
        "nnnvvvnnn",
        ".nnvrvnn.",
        "...vvv...",
    ])
    b = grid([
        ".........",
        "...v.v...",
        "..nvvvn..",
        ".nnvrvnn.",
        "nn.vvv.nn",
    ])
    return frames_of(a, b)


def butterfly():
    a = grid([
        "oo.oo",
        "oyxyo",
        ".oxo.",
        "oo.oo",
    ])
    b = grid([
        ".....",
        ".oxo.",
        "oyxyo",
        ".....",
    ])
    return frames_of(a, b)


def fish():
    a = grid([
        "..ooo..o",
        ".okooooo",
        "ooooooo.",
        ".ooooo.o",
    ])
    b = grid([
        "..ooo...",
        ".okooo.o",
        "oooooooo",
        ".ooooo.o",
    ])
    return frames_of(a, b)


def eel():
    a = grid([
        "..tttt.....tttt.",
        ".tkttttt.tttttttt",
        "ttrtt..ttttt...tt",
    ])
    b = grid([
        ".......tttt.....",
        "..ttttttttttt.tt",
        ".tkttt.....tttt.",
        "ttrt............",
    ])
    return frames_of(a, b)


def bird():
    a = grid([
        "...........",
        "gg.......gg",
        ".ggg...ggg.",
        "..gggkgggy.",
        "....gggg...",
    ])
    b = grid([
        "....ggg....",
        "...gggg....",
        "..gggkgggy.",
        ".gg.gggg...",
        "gg.........",
    ])
    return frames_of(a, b)


def rat():
    a = grid([
        ".........gg...",
        ".......ggggg..",
        "p.gggggggggkg.",
        ".ggggggggggggp",
        "..g..g..g..g..",
    ])
    b = grid([
        ".........gg...",
        ".......ggggg..",
        "p.gggggggggkg.",
        ".ggggggggggggp",
        ".g..g..g..g...",
    ])
    return frames_of(a, b)


def drip():
    """A drop gathering under the rock and falling: a hazard with five frames."""
    def draw(c, i):
        c.fill(0, 0, 5, 2, P["rock"])
        c.set(2, 2, P["cyan"])
        if i < 2:
            c.fill(1, 2, 3, 1 + i, P["cyan"])
            c.set(2, 2 + i, P["white"])
        else:
            y = 4 + (i - 2) * 8
            c.fill(1, y, 3, 3, P["cyan"])
            c.set(2, y + 3, P["cyan"])
            c.set(1, y, P["white"])
    return animation(5, 6, 30, draw)


def glowworm():
    a = Canvas(3, 3)
    a.set(1, 1, P["cyan"])
    b = Canvas(3, 3)
    b.fill(0, 1, 3, 1, P["cyan"])
    b.fill(1, 0, 1, 3, P["cyan"])
    b.set(1, 1, P["white"])
    return [fit(a, 4, 4), fit(b, 4, 4)]


# ---- artifacts (all at most 14 x 14: they stand in the inventory's 18-pixel lines) --------------

def lantern():
    return fit(grid([
        "...kkk....",
        "..k...k...",
        ".xxxxxxx..",
        ".xYYYYYx..",
        ".xYyoyYx..",
        ".xYoroYx..",
        ".xYyoyYx..",
        ".xYYYYYx..",
        ".xxxxxxx..",
        "..xxxxx...",
    ]))


def feather():
    return fit(grid([
        "..........CCu",
        "........CCCCu",
        "......CCCCuu.",
        ".....CCCuuu..",
        "....CCCuuU...",
        "...CCuuUU....",
        "..CuuUU......",
        ".wuU.........",
        "w............",
    ]))


def mushroom():
    return fit(grid([
        "...rrrr...",
        ".rrwrrrrr.",
        "rrrrrrwrrr",
        "rwrrrrrrrR",
        "RRRRRRRRRR",
        "...WWWW...",
        "...WWWs...",
        "...WWWs...",
        "..WWWWss..",
    ]))


def key():
    """The mill's old key: twelve rows high, so that it can be picked up where the mole turns it
    up (an artifact placed beside Zelvo lies twelve rows lower than Zelvo's feet)."""
    return fit(grid([
        "..yyy.......",
        ".yYYYy......",
        "yY..Yy......",
        "yY..Yy......",
        ".yYyyy......",
        "...yYy......",
        "....yYy.....",
        ".....yYy....",
        "......yYy.y.",
        ".......yYyy.",
    ]))


def crank():
    return fit(grid([
        "..........LL",
        "..........LL",
        "..........gg",
        "..........gg",
        "gggggggggggg",
        "Gggggggggggd",
        "gd..........",
        "gd..........",
        "Gg..........",
        "gd..........",
    ]))


def shell():
    """A spiral shell that glints now and then (four frames)."""
    base = grid([
        "...pppp...",
        "..pWWWWp..",
        ".pWppppWp.",
        "pWpWWWWpWp",
        "pWpWppWpWp",
        ".pWpWWpWp.",
        "..ppWWpp..",
    ])
    frames = []
    for i in range(4):
        c = base.copy()
        if i == 1:
            c.set(3, 1, P["white"])
            c.set(2, 2, P["white"])
        if i == 2:
            c.set(4, 1, P["white"])
            c.hline(3, 5, 0, P["white"])
            c.vline(4, 0, 2, P["white"])
        frames.append(fit(c, c.w + 1, c.h + 1))
    return frames


def pearl():
    c = Canvas(10, 9)
    c.ellipse(5, 4.5, 4.5, 4.5, P["ink"])
    c.ellipse(5, 4.5, 3.5, 3.5, P["cream"])
    c.ellipse(4, 3.5, 1.6, 1.6, P["white"])
    c.set(6, 6, P["sand"])
    c.set(7, 5, P["sand"])
    return [fit(c, 11, 10)]


def acorn():
    return [fit(grid([
        "...x....",
        ".bbbbbb.",
        "bBbBbBbb",
        ".yyyyyy.",
        ".yYyyyy.",
        "..yyyy..",
        "...yy...",
    ]), 11, 10)]


# ---- plants and small things ------------------------------------------------------------------------------

def flower(col):
    def draw(c, k):
        c.vline(3, 5, 11, P["moss"])
        c.set(2, 9, P["leaf"])
        c.set(4, 8, P["leaf"])
        cx = 3 + (0, 1, 0, -1)[k]
        for (dx, dy) in ((0, -1), (-1, 0), (1, 0), (0, 1)):
            c.set(cx + dx, 3 + dy, col)
        c.set(cx, 3, P["yellow"])
    return animation(4, 7, 12, draw)


def reeds():
    def draw(c, lean):
        for i, (x, top) in enumerate(((2, 6), (6, 2), (10, 9))):
            for y in range(top, 34):
                c.set(x + (lean if y < top + 10 else 0), y, P["moss"] if i != 1 else P["leaf"])
            c.fill(x - 1 + lean, top - 5, 3, 6, P["wooddk"])
            c.set(x + lean, top - 6, P["wood"])
    return animation(2, 14, 34, draw)


def tall_grass(w=30, h=18, seed=1):
    c = Canvas(w, h)
    for x in range(w):
        top = int(h * (0.2 + 0.6 * hsh(x, 0, seed)))
        lean = 1 if hsh(x, 1, seed) < 0.5 else -1
        for y in range(top, h):
            xx = x + (lean if y < top + 3 else 0)
            c.set(xx, y, P["leaf"] if x % 3 else P["moss"])
        c.set(x, top, P["leaflt"])
    c.px[-1] = None
    return c


def fern(w=34, h=26, seed=2):
    c = Canvas(w, h)
    for k in range(5):
        ang = math.pi * (0.15 + 0.7 * k / 4)
        for r in range(0, h):
            x = int(w / 2 + math.cos(ang) * r * 0.9)
            y = int(h - 1 - math.sin(ang) * r)
            c.set(x, y, P["mossdk"])
            if r % 3 == 0:
                c.set(x - 1, y - 1, P["moss"])
                c.set(x + 1, y - 1, P["moss"])
    c.px[-1] = None
    return c


def thorns(w=30, h=12, seed=3):
    """A bramble: dark arching stems bristling with pale thorns, a few red berries (a hazard)."""
    c = Canvas(w, h)
    rnd = random.Random(seed)
    for k in range(max(3, w // 7)):
        x0 = rnd.randrange(0, w)
        reach = rnd.randrange(6, 14) * (1 if rnd.random() < 0.5 else -1)
        top = rnd.randrange(1, 4)
        for i in range(abs(reach) + 1):
            t = i / max(1, abs(reach))
            x = x0 + int(reach * t)
            y = int(h - 1 - (h - 1 - top) * math.sin(math.pi * (0.15 + 0.7 * t)))
            c.set(x, y, P["mossdk"])
            c.set(x, y + 1, P["ink"])
            if i % 3 == 1:
                c.set(x, y - 1, P["white"])
                c.set(x + (1 if reach > 0 else -1), y - 2, P["greylt"])
    for x in range(2, w - 2, 5):
        y = 2 + int(hsh(x, 2, seed) * (h - 6))
        c.set(x, y, P["red"])
        c.set(x + 1, y, P["reddk"])
    c.px[-1] = None
    return c


def berry_bush():
    c = Canvas(30, 22)
    c.ellipse(15, 13, 14, 9, P["mossdk"])
    c.ellipse(13, 11, 11, 7, P["moss"])
    for (x, y) in ((7, 10), (12, 7), (18, 9), (22, 13), (10, 15), (16, 14), (20, 6)):
        c.set(x, y, P["violet"])
        c.set(x + 1, y, P["violet"])
        c.set(x, y + 1, P["violet"])
        c.set(x + 1, y + 1, P["night"])
        c.set(x, y, P["violetlt"])
    out = c.outline(P["ink"])
    return fit(out)


def carrots():
    return fit(grid([
        "..l.l.....l.l..",
        "...l......ll...",
        "..oooo...oooo..",
        "...oo.....oo...",
        "...o.......o...",
    ]))


def mushroom_deco(col="r", seed=0):
    rows = [
        "..cccc..",
        ".cwcccc.",
        "cccccwcc",
        "CCCCCCCC",
        "...WW...",
        "...WW...",
        "..WWWs..",
    ]
    key = dict(KEY)
    key["c"] = KEY[col]
    key["C"] = {"r": P["reddk"], "o": P["wood"], "y": P["wood"], "v": P["night"]}[col]
    return [fit(grid(rows, key=key))]


def shine(c, x, y, col=P["yellow"]):
    for d in (-1, 1):
        c.set(x + d, y, col)
        c.set(x, y + d, col)
    c.set(x, y, P["white"])


# ---- solid things -------------------------------------------------------------------------------------

def log(w=40):
    c = Canvas(w, 14)
    kit.wood_grain(c, 0, 1, w, 12, P["wood"], P["wooddk"], P["woodlt"], w)
    c.hline(0, w - 1, 0, P["woodlt"])
    c.ellipse(w - 5, 7, 4.5, 6.5, P["sand"])
    c.ellipse(w - 5, 7, 2.5, 4, P["woodlt"])
    c.set(w - 5, 7, P["wood"])
    out = c.outline(P["ink"])
    out = out.sub(1, 1, w, 14)
    out.hline(0, w - 1, 13, P["ink"])
    out.vline(0, 0, 13, P["ink"])
    out.px[-1] = None
    return out


def stump():
    c = Canvas(24, 22)
    c.fill(1, 2, 22, 20, P["wood"])
    kit.wood_grain(c, 3, 4, 18, 16, P["wood"], P["wooddk"], P["woodlt"], 43, vertical=True)
    c.vline(2, 3, 21, P["woodlt"])
    c.vline(21, 3, 21, P["wooddk"])
    c.fill(1, 0, 22, 3, P["sand"])
    c.hline(3, 20, 1, P["woodlt"])
    c.hline(7, 16, 1, P["wood"])
    out = Canvas(24, 22)
    out.blit(c, 0, 0)
    for y in range(22):
        for x in range(24):
            if c.get(x, y) is not None and (c.get(x - 1, y) is None or c.get(x + 1, y) is None):
                out.set(x, y, P["ink"])
    out.px[-1] = None
    return out


def boulder(w=30, h=22, seed=5):
    c = Canvas(w, h)
    c.ellipse(w / 2, h / 2 + 2, w / 2 - 1, h / 2 - 1, P["grey"])
    c.ellipse(w / 2 - 3, h / 2 - 1, w / 3, h / 3, P["greylt"])
    for x in range(w):
        for y in range(h):
            if c.get(x, y) == P["grey"] and hsh(x, y, seed) < 0.15:
                c.set(x, y, P["greydk"])
    out = c.outline(P["ink"])
    return fit(out.sub(1, 0, w, h + 1))


def crate(w=22):
    c = Canvas(w, w)
    kit.wood_grain(c, 0, 0, w, w, P["woodlt"], P["wood"], P["sand"], w)
    c.frame(0, 0, w, w, P["ink"])
    c.frame(1, 1, w - 2, w - 2, P["wooddk"])
    c.line(2, 2, w - 3, w - 3, P["wooddk"])
    c.line(2, w - 3, w - 3, 2, P["wooddk"])
    c.px[-1] = None
    return c


def sacks():
    c = Canvas(34, 22)
    for (x, y) in ((9, 13), (24, 13), (16, 5)):
        c.ellipse(x, y + 2, 9, 8, P["sand"])
        c.ellipse(x - 2, y, 5, 4, P["cream"])
        c.hline(x - 1, x + 1, y - 6, P["wood"])
    out = c.outline(P["ink"])
    return fit(out.sub(1, 0, 34, 23))


def dirt_plug(w=36, h=12):
    """Packed earth over the mole's shaft (solid, removed when the mole digs)."""
    c = Canvas(w, h)
    for x in range(w):
        for y in range(h):
            c.set(x, y, P["sand"] if y == 0 else (P["mud"] if hsh(x, y, 9) < 0.6 else P["wooddk"]))
    for x in range(2, w - 2, 5):
        c.set(x, 3 + x % 5, P["bark"])
    c.vline(0, 0, h - 1, P["ink"])
    c.vline(w - 1, 0, h - 1, P["ink"])
    c.px[-1] = None
    return c


def hatch(w=34):
    c = Canvas(w, 8)
    kit.wood_grain(c, 0, 0, w, 8, P["wood"], P["wooddk"], P["woodlt"], 77)
    c.frame(0, 0, w, 8, P["ink"])
    for x in range(5, w, 8):
        c.vline(x, 1, 6, P["bark"])
    kit.nail(c, w // 2, 3)
    c.px[-1] = None
    return c


def rock_arch(w=76, h=118, tunnel=28):
    """A crag of stone blocks with a low pass under it (solid): the badger sleeps in the pass."""
    c = Canvas(w, h)
    for x in range(w):
        edge = min(x, w - 1 - x)
        top = int(6 + 18 * max(0.0, 1 - edge / 14.0) ** 2 + 5 * hsh(x // 5, 0, 3))
        bottom = h - tunnel - 2 + (0 if 3 < edge else 3 - edge)   # the pass's rounded mouths
        for y in range(top, min(h, bottom + 1)):
            d = y - top
            row = (y + 2) // 9
            seam = (y + 2) % 9 == 0 or (x + (row % 2) * 11) % 22 == 0
            lit = (y + 2) % 9 == 1 or (x + (row % 2) * 11) % 22 == 1
            c.set(x, y, P["cave"] if seam else (P["rocklt"] if lit and d < 40 else
                                                   (P["rock"] if hsh(x, y, 4) < 0.75 else P["rockdk"])))
        c.set(x, top, P["leaflt"] if hsh(x, 5, 3) < 0.6 else P["rocklt"])
        for y in range(top + 1, top + 1 + int(3 * hsh(x, 6, 3))):
            c.set(x, y, P["leaf"])
    out = c.outline(P["ink"]).sub(1, 1, w, h)
    out.px[-1] = None
    return out


def arch_pillars(w=76, h=30, foot=14):
    """The old arch's two pillars, standing a little behind the pass (scenery: Zelvo walks in front
    of them): the same stone blocks as the crag, in its shadow, and widening into their feet."""
    c = Canvas(w, h)
    for x in range(w):
        edge = min(x, w - 1 - x)
        for y in range(h):
            reach = foot - 4 + (y * 5) // h      # a little wider towards the ground
            if edge >= reach:
                continue
            row = (y + 2) // 9
            seam = (y + 2) % 9 == 0 or (x + (row % 2) * 7) % 14 == 0
            c.set(x, y, P["cave"] if seam else (P["rockdk"] if hsh(x, y, 9) < 0.7 else P["rock"]))
        if edge < foot:
            c.set(x, h - 1, P["mossdk"] if hsh(x, 2, 9) < 0.5 else P["rockdk"])
    out = c.outline(P["ink"]).sub(1, 1, w, h)
    out.px[-1] = None
    return out


def burrow(w=34, h=18):
    """A rabbit burrow in the meadow: a low mound of earth round a dark round mouth (scenery; Action
    there leads down into the warren)."""
    c = Canvas(w, h)
    for x in range(w):
        side = abs(x - (w - 1) / 2.0)
        top = int(h - 1 - (h - 3) * max(0.0, 1 - (side / (w / 2.0)) ** 2) ** 0.6)
        for y in range(max(0, top), h):
            c.set(x, y, P["sand"] if y == top else ground_dirt(x, y))
        for y in range(max(0, top), h):        # the mouth: a dark half-oval down to the ground
            dx, dy = (x - (w - 1) / 2.0) / 9.0, (y - (h - 1)) / 11.0
            if dx * dx + dy * dy < 1.0:
                c.set(x, y, P["black"] if dx * dx + dy * dy < 0.6 else P["wooddk"])
    out = c.outline(P["ink"]).sub(1, 1, w, h)
    out.px[-1] = None
    return out


def low_water(w=62, h=8, skip=(21, 44)):
    """What the sinking pond shows: the top rows of its bed laid bare, wet mud with a dark tide line
    (over the water, which shows again when this is taken away); the lily pad's columns stay clear."""
    c = Canvas(w, h)
    for x in range(w):
        if skip[0] <= x < skip[1]:
            continue
        for y in range(h):
            n = hsh(x, y, 23)
            col = P["mud"] if n < 0.6 else (P["wooddk"] if n < 0.85 else P["sand"])
            if y == h - 1:
                col = P["ink"] if (x // 3) % 2 else P["wooddk"]
            c.set(x, y, col)
    c.px[-1] = None
    return c


# ---- buildings and bigger scenery ------------------------------------------------------------------

def hut():
    """Heron's reed hut by the pond (scenery); the door is where Action leads in."""
    w, h = 64, 60
    c = Canvas(w, h)
    for x in range(6, w - 6):   # walls of bundled reeds: upright bundles, tied across
        for y in range(26, h):
            band = (x - 6) % 5
            col = P["sand"] if band in (1, 2) else (P["woodlt"] if band == 3 else P["wood"])
            if y % 11 == 3:
                col = P["wooddk"]
            c.set(x, y, col)
    c.frame(6, 26, w - 12, h - 26, P["ink"])
    for y in range(0, 30):      # the thatch: straw in layers, each with a darker lower edge
        half = 4 + y * 28 // 30
        for x in range(w // 2 - half, w // 2 + half + 1):
            layer_edge = y % 7 == 6
            streak = hsh(x, y // 2, 8) < 0.35
            c.set(x, y, P["wood"] if layer_edge else (P["gold"] if streak else P["sand"]))
        c.set(w // 2 - half, y, P["ink"])
        c.set(w // 2 + half, y, P["ink"])
    c.hline(w // 2 - 32, w // 2 + 32, 29, P["ink"])
    c.hline(w // 2 - 4, w // 2 + 4, 0, P["ink"])
    c.fill(24, 36, 16, h - 36, P["wooddk"])   # door
    kit.wood_grain(c, 25, 37, 14, h - 38, P["wood"], P["wooddk"], P["woodlt"], 3, vertical=True)
    c.frame(24, 36, 16, h - 36, P["ink"])
    c.set(36, 48, P["gold"])
    c.ellipse(50, 40, 5, 5, P["ink"])          # a round window with a warm light
    c.ellipse(50, 40, 4, 4, P["yellow"])
    c.vline(50, 36, 44, P["ink"])
    c.hline(46, 54, 40, P["ink"])
    c.px[-1] = None
    return c


def door(w=20, h=30, arch=True, seed=4):
    c = Canvas(w, h)
    kit.wood_grain(c, 1, 1, w - 2, h - 1, P["wood"], P["wooddk"], P["woodlt"], seed, vertical=True)
    for x in range(0, w, 5):
        c.vline(x, 1, h - 1, P["wooddk"])
    if arch:
        for y in range(0, 6):
            for x in range(w):
                if (x - w / 2 + 0.5) ** 2 / (w / 2) ** 2 + (6 - y) ** 2 / 36 > 1:
                    c.set(x, y, None)
    out = c.outline(P["ink"])
    out = out.sub(1, 1, w, h)
    out.hline(0, w - 1, h - 1, P["ink"])
    out.fill(w - 6, h // 2, 2, 2, P["gold"])
    out.px[-1] = None
    return out


def ladder(h=60):
    c = Canvas(16, h)
    c.vline(1, 0, h - 1, P["wood"])
    c.vline(14, 0, h - 1, P["wood"])
    c.vline(0, 0, h - 1, P["ink"])
    c.vline(15, 0, h - 1, P["ink"])
    for y in range(4, h, 8):
        c.hline(1, 14, y, P["woodlt"])
        c.hline(1, 14, y + 1, P["bark"])
    c.px[-1] = None
    return c


def roots_ladder(h=70, seed=6):
    """Thick roots hanging down a burrow wall: Zelvo climbs them with Action."""
    c = Canvas(18, h)
    for i, x0 in enumerate((4, 12)):
        x = float(x0)
        for y in range(h):
            x += (hsh(y, i, seed) - 0.5) * 0.6
            c.fill(int(x), y, 3, 1, P["wood"])
            c.set(int(x), y, P["woodlt"])
            c.set(int(x) + 3, y, P["bark"])
    for y in range(6, h, 11):
        c.hline(4, 14, y, P["wooddk"])
    c.px[-1] = None
    return c


def signpost(arrow="right"):
    w, h = 26, 30
    c = Canvas(w, h)
    c.fill(11, 8, 4, h - 8, P["wooddk"])
    c.vline(10, 8, h - 1, P["ink"])
    c.vline(15, 8, h - 1, P["ink"])
    c.vline(12, 8, h - 1, P["wood"])
    sign = Canvas(26, 11)
    sign.fill(0, 1, 21, 9, P["woodlt"])
    for i in range(5):
        sign.vline(21 + i, 1 + i, 9 - i, P["woodlt"])
    sign = sign.outline(P["ink"])
    sign.hline(2, 20, 3, P["sand"])
    for x in range(5, 16):
        sign.set(x, 6, P["bark"])
    for i in range(3):
        sign.vline(15 + i, 6 - (2 - i), 6 + (2 - i), P["bark"])
    c.blit(sign.sub(0, 0, 26, 13), 0, 0)
    if arrow == "left":
        c = c.mirrored()
    if arrow == "board":
        c = Canvas(w, h)
        c.fill(11, 8, 4, h - 8, P["wooddk"])
        c.vline(10, 8, h - 1, P["ink"])
        c.vline(15, 8, h - 1, P["ink"])
        c.fill(1, 1, 24, 13, P["woodlt"])
        c.frame(0, 0, 26, 15, P["ink"])
        for y in (4, 7, 10):
            c.hline(4, 21, y, P["bark"])
    c.px[-1] = None
    return c


def mill():
    """The old mill's front: a stone footing, timber walls and a red roof; the door (a sprite of
    its own, 20 x 30) stands in the stone frame at x 46, y 120."""
    w, h = 110, 150
    c = Canvas(w, h)
    for y in range(104, h):        # stone footing, mortared
        for x in range(4, w - 4):
            c.set(x, y, scenery_rock(x, y))
        c.set(4, y, P["ink"])
        c.set(w - 5, y, P["ink"])
    c.hline(4, w - 5, 104, P["ink"])
    for x in range(8, w - 8):      # timber walls
        for y in range(40, 104):
            c.set(x, y, P["wood"] if (x // 8) % 2 else P["woodlt"])
    for x in range(8, w - 8, 8):
        c.vline(x, 41, 103, P["wooddk"])
    c.frame(8, 40, w - 16, 65, P["ink"])
    for y in range(0, 42):         # roof tiles
        half = 12 + y * 46 // 42
        for x in range(w // 2 - half, w // 2 + half + 1):
            c.set(x, y, P["reddk"] if y % 5 == 4 else (P["red"] if (x + (y // 5) * 3) % 7 else P["reddk"]))
        c.set(w // 2 - half, y, P["ink"])
        c.set(w // 2 + half, y, P["ink"])
    c.hline(w // 2 - 12, w // 2 + 12, 0, P["ink"])
    window(c, 24, 56, 18, 16)
    window(c, 68, 56, 18, 16)
    for y in range(116, h):        # the door's stone frame
        for x in range(42, 70):
            c.set(x, y, P["rocklt"] if (y + x // 6) % 5 else P["rock"])
    c.fill(46, 120, 20, 30, P["ink"])
    c.frame(42, 116, 28, 34, P["ink"])
    c.px[-1] = None
    return c


def scenery_rock(x, y):
    from scenery import rock_colour
    col = rock_colour(x, y, 5)
    return {P["rockdk"]: P["rock"], P["rock"]: P["rocklt"], P["cave"]: P["rockdk"]}.get(col, col)




def window(c, x, y, w, h):
    c.fill(x, y, w, h, P["night"])
    c.fill(x + 1, y + 1, w - 2, h - 2, P["deep"])
    c.vline(x + w // 2, y, y + h - 1, P["wooddk"])
    c.hline(x, x + w - 1, y + h // 2, P["wooddk"])
    c.frame(x - 1, y - 1, w + 2, h + 2, P["ink"])
    c.set(x + 2, y + 2, P["skylt"])


def waterwheel():
    """The mill's wheel, turning slowly (scenery, four frames)."""
    r = 26

    def draw(c, i):
        c.ellipse(r + 1, r + 1, r, r, P["ink"])
        c.ellipse(r + 1, r + 1, r - 2, r - 2, P["wooddk"])
        for k in range(8):
            a = (k / 8 + i / 32) * 2 * math.pi
            for d in range(4, r - 1):
                c.set(int(r + 1 + math.cos(a) * d), int(r + 1 + math.sin(a) * d), P["woodlt"])
            px, py = r + 1 + math.cos(a) * (r - 3), r + 1 + math.sin(a) * (r - 3)
            c.fill(int(px) - 2, int(py) - 2, 5, 5, P["wood"])
        c.ellipse(r + 1, r + 1, 4, 4, P["bark"])
        c.ellipse(r + 1, r + 1, 2, 2, P["grey"])
    return animation(4, 2 * r + 2, 2 * r + 2, draw)


def gear(r=14, teeth=10):
    cx = cy = r + 1

    def draw(c, i):
        for k in range(teeth):
            a = (k / teeth + i / (3 * teeth)) * 2 * math.pi
            c.fill(int(cx + math.cos(a) * (r - 1)) - 1, int(cy + math.sin(a) * (r - 1)) - 1, 3, 3, P["bark"])
        c.ellipse(cx + 0.5, cy + 0.5, r - 2, r - 2, P["wood"])
        c.ellipse(cx + 0.5, cy + 0.5, r - 5, r - 5, P["wooddk"])
        c.ellipse(cx + 0.5, cy + 0.5, 3, 3, P["grey"])
        for k in range(4):
            a = (k / 4 + i / 12) * 2 * math.pi
            c.line(cx, cy, int(cx + math.cos(a) * (r - 5)), int(cy + math.sin(a) * (r - 5)), P["wood"])
    return animation(3, 2 * r + 3, 2 * r + 3, draw)


def well_ring():
    """The stone ring of the old well (scenery, in front of the shaft's top)."""
    w, h = 40, 22
    c = Canvas(w, h)
    for y in range(6, h):
        off = 0 if (y // 5) % 2 else 4
        for x in range(0, w):
            edge = (x + off) % 8 == 0 or y % 5 == 0
            c.set(x, y, P["rockdk"] if edge else (P["rock"] if hsh(x, y, 2) < 0.8 else P["rocklt"]))
    c.fill(4, 0, 3, 7, P["wooddk"])     # posts and roof beam of the winch
    c.fill(w - 7, 0, 3, 7, P["wooddk"])
    out = c.outline(P["ink"])
    out = out.sub(1, 1, w, h)
    out.px[-1] = None
    return out


def lever(up=True):
    """A lever on an iron plate; both positions cover the whole plate, so the one drawn over the
    other hides it."""
    c = Canvas(16, 20)
    c.fill(0, 0, 16, 20, P["greydk"])
    c.frame(0, 0, 16, 20, P["ink"])
    c.hline(1, 14, 1, P["grey"])
    for (x, y) in ((2, 2), (12, 2), (2, 16), (12, 16)):
        kit.nail(c, x, y)
    c.fill(5, 14, 6, 4, P["ink"])
    if up:
        c.line(7, 15, 4, 4, P["ink"])
        c.line(8, 15, 5, 4, P["grey"])
        c.ellipse(4.5, 4, 2.5, 2.5, P["red"])
    else:
        c.line(8, 15, 12, 6, P["ink"])
        c.line(9, 15, 13, 6, P["grey"])
        c.ellipse(12.5, 6, 2.5, 2.5, P["leaf"])
    c.px[-1] = None
    return c


def sluice_gate():
    """The spring's sluice gate, shut: timber boards between two stone posts."""
    w, h = 44, 50
    c = Canvas(w, h)
    for x0 in (0, w - 8):
        c.fill(x0, 0, 8, h, P["rock"])
        c.vline(x0, 0, h - 1, P["rocklt"])
        c.frame(x0, 0, 8, h, P["ink"])
    for y in range(4, h - 2, 7):
        c.fill(8, y, w - 16, 6, P["wood"])
        kit.wood_grain(c, 8, y, w - 16, 6, P["wood"], P["wooddk"], P["woodlt"], y)
        c.hline(8, w - 9, y + 6, P["ink"])
    c.fill(w // 2 - 4, 0, 8, 6, P["greydk"])      # the crank's socket
    c.ellipse(w // 2, 3, 2, 2, P["ink"])
    c.px[-1] = None
    return c


def gush():
    """Water rushing out of the opened spring (scenery, three frames)."""
    def draw(c, i):
        for y in range(46):
            for x in range(36):
                t = (x + y * 2 + i * 5) % 9
                c.set(x, y, P["skylt"] if t < 2 else (P["sky"] if t < 6 else P["blue"]))
        for x in range(0, 36, 3):
            c.set(x, (x * 7 + i * 11) % 46, P["white"])
    return animation(3, 36, 46, draw)


def waterfall(h=100, w=24):
    def draw(c, i):
        for y in range(h):
            for x in range(w):
                t = (y + i * 4 + (x % 5) * 3) % 12
                c.set(x, y, P["white"] if t == 0 else (P["skylt"] if t < 5 else P["sky"]))
    return animation(3, w, h, draw)


# ---- water and darkness ---------------------------------------------------------------------------

def water_front(w, h, seed=1, frames=2, clear=0.5):
    """A pond or river surface seen from the side: a bright top line over dithered water, so that
    whatever is in it shows through (front layer, drawn over Zelvo)."""
    def draw(c, i):
        for x in range(w):
            wave = int(1.5 + 1.5 * math.sin((x + i * 4) / 5.0 + seed))
            c.set(x, wave, P["white"] if (x + i * 3) % 11 < 3 else P["skylt"])
            c.set(x, wave + 1, P["sky"])
            for y in range(wave + 2, h):
                if dith(x + i, y, clear * (1 - y / (h * 2.2))):
                    c.set(x, y, P["blue"] if y < h * 0.6 else P["deep"])
    return animation(frames, w, h, draw)


def darkness():
    """The hollow before the lantern: almost black, thinning a little round where it is entered."""
    c = Canvas(210, 190)
    for y in range(190):
        for x in range(210):
            if dith(x, y, 0.82):
                c.set(x, y, P["black"])
    c.px[-1] = None
    return c


# ---- furniture and more scenery ---------------------------------------------------------------

def table():
    c = Canvas(40, 18)
    c.fill(0, 0, 40, 4, P["woodlt"])
    c.hline(0, 39, 0, P["sand"])
    c.hline(0, 39, 4, P["ink"])
    for x in (3, 34):
        c.fill(x, 5, 3, 13, P["wood"])
        c.vline(x + 2, 5, 17, P["bark"])
    c.px[-1] = None
    return c


def bookshelf():
    c = Canvas(30, 40)
    c.fill(0, 0, 30, 40, P["wooddk"])
    c.frame(0, 0, 30, 40, P["ink"])
    cols = [P["red"], P["teal"], P["gold"], P["violet"], P["leaf"], P["blue"], P["reddk"]]
    for row, y in enumerate((3, 15, 27)):
        x = 2
        i = row
        while x < 27:
            bw = 2 + (i * 7) % 3
            c.fill(x, y + (i % 2), bw, 10 - (i % 2), cols[i % len(cols)])
            c.vline(x, y + (i % 2), y + 9, P["ink"])
            x += bw + 1
            i += 1
        c.hline(1, 28, y + 10, P["woodlt"])
        c.hline(1, 28, y + 11, P["bark"])
    c.px[-1] = None
    return c


def weed():
    def draw(c, k):
        for i, x0 in enumerate((3, 7, 10)):
            for y in range((30, 38, 24)[i]):
                x = x0 + int(2 * math.sin(y / 5.0 + k * 1.5 + i))
                c.set(x, 39 - y, P["leaf"] if i == 1 else P["moss"])
                if y % 6 == 3:
                    c.set(x + 1, 39 - y, P["leaflt"])
    return animation(2, 14, 40, draw)


def bubbles():
    def draw(c, k):
        for i in range(12):
            y = (i * 11 - k * 4) % 132
            x = 4 + int(3 * math.sin(i * 1.7 + k * 0.3))
            r = 1 + (i % 3)
            c.ellipse(x + 1.5, y + 1.5, r, r, P["skylt"])
            c.set(x + 1, y + 1, P["white"])
    return animation(4, 14, 132, draw)


def boat():
    """A little sunken rowing boat, on its side in the sand."""
    w, h = 70, 34
    c = Canvas(w, h)
    for x in range(w):
        d = 1 - ((x - w / 2) / (w / 2)) ** 2
        top = int(h - 6 - d * 18)
        for y in range(top, h - 2):
            c.set(x, y, P["wood"] if (y // 4) % 2 else P["wooddk"])
        c.set(x, top, P["woodlt"])
    c.fill(30, 6, 3, 16, P["bark"])            # the broken mast
    c.ellipse(42, 22, 5, 3, P["ink"])          # a hole in its side
    for x in range(0, w, 6):
        c.set(x + 2, h - 6 - int(hsh(x, 1) * 10), P["moss"])
    out = c.outline(P["ink"])
    return fit(out.sub(1, 1, w, h))


def worm():
    def draw(c, k):
        for x in range(12):
            c.fill(x, 2 + int(1.5 * math.sin(x / 2.0 + k * 3.1)), 1, 2, P["pink"])
        c.set(11, 2 + int(1.5 * math.sin(5.5 + k * 3.1)), P["ink"])
    return animation(2, 14, 6, draw)


def oak():
    """The Old Oak's trunk (scenery): the branches Zelvo climbs are solid ledges of their own."""
    w, h = 46, 160
    c = Canvas(w, h)
    for y in range(h):
        spread = int(6 * max(0, (y - h + 24) / 24) ** 2 * 3)
        x0, x1 = 8 - spread // 2, w - 8 + spread // 2
        for x in range(max(0, x0), min(w, x1)):
            n = hsh(x // 2, y // 6, 11)
            c.set(x, y, P["wood"] if n < 0.55 else (P["wooddk"] if n < 0.9 else P["woodlt"]))
        c.set(max(0, x0), y, P["ink"])
        c.set(min(w - 1, x1), y, P["ink"])
        c.set(max(0, x0) + 1, y, P["woodlt"])
        c.set(min(w - 1, x1) - 1, y, P["bark"])
    for (x, y) in ((18, 50), (26, 100)):   # knot holes
        c.ellipse(x, y, 4, 5, P["bark"])
        c.ellipse(x + 0.5, y + 0.5, 2.5, 3.5, P["ink"])
    c.px[-1] = None
    return c


def nest():
    c = Canvas(30, 10)
    c.ellipse(15, 5, 14, 5, P["wood"])
    for x in range(1, 29, 2):
        c.line(x, 2 + (x % 3), x + 4, 8 - (x % 4), P["wooddk"] if x % 4 else P["woodlt"])
    out = c.outline(P["ink"])
    return fit(out.sub(1, 0, 30, 12))


def hive():
    c = Canvas(16, 20)
    c.vline(8, 0, 3, P["bark"])
    for i, (y, half) in enumerate(((3, 4), (6, 6), (9, 7), (12, 7), (15, 5))):
        c.fill(8 - half, y, 2 * half + 1, 3, P["gold"] if i % 2 else P["orange"])
    c.fill(7, 12, 3, 3, P["ink"])
    out = c.outline(P["ink"])
    return fit(out.sub(1, 0, 16, 20))


def molehill():
    """The heaps of earth on both sides of the mole's hole (in front of Zelvo; the hole itself is a
    gap in the ground)."""
    w, h = 60, 14
    c = Canvas(w, h)
    for x in range(w):
        if 16 <= x < 44:
            continue
        side = x if x < 16 else w - 1 - x
        top = int(h - 1 - 11 * math.sin(math.pi * min(1.0, (side + 2) / 18.0)) ** 0.7)
        for y in range(max(0, top), h):
            c.set(x, y, ground_dirt(x, y) if y > top else P["sand"])
        c.set(x, max(0, top) - 1, P["ink"])
    c.px[-1] = None
    return c


def ground_dirt(x, y):
    n = hsh(x, y, 17)
    return P["sand"] if n < 0.1 else (P["mud"] if n < 0.7 else P["wooddk"])


def crack():
    """A dark crack in a cave floor, wide enough for a turtle."""
    c = Canvas(28, 10)
    for x in range(28):
        d = int(3 + 5 * (1 - abs(x - 13.5) / 14) + hsh(x, 0, 21) * 2)
        c.vline(x, 0, d, P["black"] if 3 < x < 24 else P["cave"])
        c.set(x, 0, P["ink"])
    c.px[-1] = None
    return c


def rope(h=34):
    c = Canvas(4, h)
    for y in range(h):
        c.set(1 + (y // 3) % 2, y, P["sand"])
        c.set(2 - (y // 3) % 2, y, P["woodlt"])
    c.fill(0, h - 3, 4, 3, P["wood"])     # the bucket's handle knot
    c.px[-1] = None
    return c


def well_inside(w=50, h=30):
    """The inside of the well's top: dark stone courses where the ground would show."""
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            col = scenery_rock(x, y)
            c.set(x, y, {P["rocklt"]: P["rock"], P["rock"]: P["rockdk"], P["rockdk"]: P["cave"]}.get(col, col))
    for y in range(h):
        for x in range(w):
            if dith(x, y, y / (h * 1.3)):
                c.set(x, y, P["ink"])
    c.vline(0, 0, h - 1, P["ink"])
    c.vline(w - 1, 0, h - 1, P["ink"])
    c.px[-1] = None
    return c


def rocks(w=40, h=16, seed=7):
    """A few rounded stones lying together (scenery)."""
    c = Canvas(w, h)
    rnd = random.Random(seed)
    x = 2
    while x < w - 6:
        r = rnd.randrange(4, 8)
        c.ellipse(x + r, h - r * 0.8, r, r * 0.8, P["grey"])
        c.ellipse(x + r - 1, h - r * 0.9, r * 0.5, r * 0.35, P["greylt"])
        x += r + rnd.randrange(2, 6)
    out = c.outline(P["ink"]).sub(1, 1, w, h)
    out.px[-1] = None
    return out
