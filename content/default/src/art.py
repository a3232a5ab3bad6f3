"""art.py -- every picture of the default world, drawn in code from the kit's pieces.

Positions in comments are view pixels, where the game draws each picture. A picture's
bottom-right pixel is never drawn by the game, so every picture leaves it transparent.
"""
import random

import kit
import turtle
from fonts import MENU, SMALL
from kit import P
from pixel import Canvas

# The view: the playfield box the game fills with lavender, and where the panels stand.
BOX = (15, 25, 210, 190)


# ---- the frame: image 1 (sides) and image 2 (top and bottom bands) -------------------------------

def frame_side():
    """Image 1, 15x190, drawn at (0,25) and (225,25): a carved post, the same from both sides."""
    w, h = 15, 190
    c = Canvas(w, h)
    kit.wood_grain(c, 2, 0, 11, h, P["wood"], P["wooddk"], P["woodlt"], seed=11, vertical=True)
    c.vline(0, 0, h - 1, P["ink"])
    c.vline(14, 0, h - 1, P["ink"])
    c.vline(1, 0, h - 1, P["wooddk"])
    c.vline(13, 0, h - 1, P["wooddk"])
    c.vline(2, 0, h - 1, P["woodlt"])
    # a moss band and a brass ring every so often
    for y0 in (28, 92, 156):
        c.fill(2, y0, 11, 3, P["moss"])
        c.hline(2, 12, y0, P["leaf"])
        c.hline(2, 12, y0 + 3, P["mossdk"])
    for y0 in (60, 124):
        kit.nail(c, 6, y0)
    return c.clear_bottom_right()


def frame_band():
    """Image 2, 240x26, drawn at (0,0) and (0,214): the top band (rows 0..24) and the bottom band
    (rows 215..239). Rows 0, 1, 24 and 25 are outline so both uses get a dark edge on each side."""
    w, h = 240, 26
    c = Canvas(w, h)
    kit.wood_grain(c, 0, 2, w, 22, P["wood"], P["wooddk"], P["woodlt"], seed=12)
    c.hline(0, w - 1, 2, P["woodlt"])
    c.hline(0, w - 1, 3, P["sand"])
    c.hline(0, w - 1, 22, P["wooddk"])
    c.hline(0, w - 1, 23, P["bark"])
    for y in (0, 1, 24, 25):
        c.hline(0, w - 1, y, P["ink"])
    c.vline(0, 0, h - 1, P["ink"])
    c.vline(w - 1, 0, h - 1, P["ink"])
    # the side posts run through the bands at both ends
    for x0 in (0, 225):
        c.vline(x0 + 1, 2, 23, P["wooddk"])
        c.vline(x0 + 13, 2, 23, P["wooddk"])
        if x0:
            c.vline(x0, 2, 23, P["ink"])
        else:
            c.vline(14, 2, 23, P["ink"])
    # leaves hanging from the band's middle, where no status text is drawn
    rnd = random.Random(5)
    for x in range(80, 160, 9):
        y = 5 + rnd.randrange(0, 3)
        c.set(x, y, P["leaflt"])
        c.set(x + 1, y, P["leaf"])
        c.set(x + 1, y + 1, P["leaf"])
        c.set(x + 2, y + 1, P["moss"])
    return c.clear_bottom_right()


# ---- the common panel (image 4) and the title ------------------------------------------------------

POLE_X = 97   # panel x of the signpost the title planks hang on (view 112..117)


def scene(w, h, seed=3, pole=True):
    """The pond at the edge of the wood: sky, clouds, far hills, the meadow and the bank."""
    c = Canvas(w, h)
    kit.gradient(c, 0, 0, w, 130, [P["sky"], P["sky"], P["skylt"], P["white"]])
    for (x, y, cw, s) in ((8, 18, 38, 1), (150, 8, 48, 2), (120, 52, 30, 3), (20, 74, 26, 4),
                          (168, 86, 34, 5)):
        kit.cloud(c, x, y, cw, s)
    kit.hills(c, 0, 0, w, h, 118, 10, 21.0, P["teal"], P["teal"], seed)
    kit.hills(c, 0, 0, w, h, 134, 8, 15.0, P["moss"], P["leaf"], seed + 1)
    # a few trees on the near hills
    rnd = random.Random(seed)
    for x in (10, 26, 176, 194, 60, 150):
        ty = 126 + rnd.randrange(0, 6)
        c.vline(x, ty + 6, ty + 12, P["bark"])
        c.ellipse(x + 0.5, ty + 3, 5, 6, P["mossdk"])
        c.ellipse(x - 0.5, ty + 2, 3.5, 4.5, P["moss"])
        c.set(x - 2, ty, P["leaf"])
    # meadow and bank
    kit.gradient(c, 0, 150, w, h - 150, [P["leaf"], P["moss"], P["mossdk"], P["mossdk"]])
    kit.grass_edge(c, 0, 150, w, seed + 2)
    # the pond on both sides of the path
    for (px, pw) in ((6, 62), (142, 62)):
        c.ellipse(px + pw / 2, 166, pw / 2, 8, P["deep"])
        c.ellipse(px + pw / 2, 165, pw / 2 - 2, 6.5, P["blue"])
        for i in range(3):
            lx = px + 8 + i * 18 + rnd.randrange(0, 5)
            ly = 163 + rnd.randrange(0, 5)
            c.ellipse(lx, ly, 4, 2, P["leaf"])
            c.set(lx, ly, P["blue"])
            c.set(lx + 1, ly - 1, P["leaflt"])
        c.hline(px + 10, px + 20, 160, P["skylt"])
    # reeds
    for x in (4, 9, 13, 196, 201, 205):
        top = 140 + rnd.randrange(0, 8)
        c.vline(x, top, 172, P["moss"])
        c.vline(x + 1, top + 2, 172, P["mossdk"])
        c.fill(x, top - 4, 2, 5, P["wooddk"])
        c.set(x, top - 4, P["wood"])
    if pole:
        px = POLE_X
        top = 34   # hidden behind the top plank of the title and the boards of the other screens
        kit.wood_grain(c, px + 1, top, 4, 178 - top, P["wood"], P["wooddk"], P["woodlt"], 9, vertical=True)
        c.vline(px, top, 177, P["ink"])
        c.vline(px + 5, top, 177, P["ink"])
        c.vline(px + 1, top, 177, P["woodlt"])
        c.hline(px - 1, px + 6, 178, P["mossdk"])
        kit.grass_edge(c, px - 3, 177, 12, seed + 7)
    # the dark bank where the game writes its version line (view y 205..214)
    c.fill(0, 178, w, h - 178, P["mossdk"])
    kit.grass_edge(c, 0, 178, w, seed + 3, P["moss"], P["mossdk"])
    return c


def panel4():
    """Image 4, 210x190 at (15,25): the backdrop of the title and of every front-end screen."""
    c = scene(210, 190)
    for (x, y) in ((0, 0), (209, 0), (0, 189), (209, 189)):
        c.set(x, y, None)   # one-pixel round corners, the same at all four
    return c


def logo_letters(text, scale=3):
    """Chunky logo letters: the menu font scaled up, lit from above, outlined, with a shadow."""
    base = Canvas(MENU.width(text) + 1, 9)
    MENU.draw(base, text, 0, -1, P["leaflt"])   # capitals only: glyph rows 1..9
    big = base.scaled(scale)
    # light the top third, shade the bottom rows of every stroke
    for y in range(big.h):
        for x in range(big.w):
            if big.get(x, y) is not None:
                top = big.get(x, y - scale) is None
                bottom = big.get(x, y + scale) is None
                if top and big.get(x, y - 1) is None:
                    big.set(x, y, P["lime"])
                elif bottom and big.get(x, y + 1) is None:
                    big.set(x, y, P["leaf"])
    out = big.outline(P["ink"], diagonal=True)
    shadow = out.recolor({c: P["mossdk"] for c in set(out.px) if c is not None})
    res = Canvas(out.w + 2, out.h + 2)
    res.blit(shadow, 2, 2)
    res.blit(out, 0, 0)
    return res


def shell_o(size):
    """The O of the logo: Zelvo's shell seen from above."""
    c = Canvas(size, size)
    r = size / 2
    c.ellipse(r, r, r - 0.5, r - 0.5, P["ink"])
    c.ellipse(r, r, r - 1.5, r - 1.5, P["gold"])
    c.ellipse(r, r, r - 3.5, r - 3.5, P["wood"])
    c.ellipse(r - 1, r - 1, r - 5, r - 5, P["woodlt"])
    # scutes: a hexagon in the middle and lines to the rim
    hexr = r * 0.38
    import math
    pts = [(r + hexr * math.cos(a * math.pi / 3), r + hexr * math.sin(a * math.pi / 3)) for a in range(6)]
    for i in range(6):
        x0, y0 = pts[i]
        x1, y1 = pts[(i + 1) % 6]
        c.line(int(x0), int(y0), int(x1), int(y1), P["wooddk"])
        ox, oy = r + (r - 3.5) * math.cos(i * math.pi / 3), r + (r - 3.5) * math.sin(i * math.pi / 3)
        c.line(int(x0), int(y0), int(ox), int(oy), P["wooddk"])
    c.ellipse(r - 1, r - 1, 1.5, 1.5, P["sand"])
    return c


def logo(scale=3):
    """ZELV and a shell for the O."""
    letters = logo_letters("ZELV", scale)
    size = letters.h - 3
    o = shell_o(size)
    out = Canvas(letters.w + size + 2, letters.h)
    out.blit(letters, 0, 0)
    sh = o.recolor({c: P["mossdk"] for c in set(o.px) if c is not None})
    out.blit(sh, letters.w - 1, 2)
    out.blit(o, letters.w - 3, 0)
    return out


def title_picture():
    """Image 100 at (45,22), 150x33: the logo on the sign board at the top of the signpost."""
    w, h = 150, 33
    c = Canvas(w, h)
    lg = logo(3)
    assert lg.h <= h and lg.w <= w, (lg.w, lg.h)
    c.blit(lg, (w - lg.w) // 2, (h - lg.h) // 2)
    return c.clear_bottom_right()


# ---- title buttons ------------------------------------------------------------------------------------

# For each button: normal id and position, pressed id and position (where the game draws them),
# the tap rectangle (inclusive) and the label. The game draws some pictures right of or below
# their tap rectangle's edge; a plank covers the part of the rectangle its picture can reach, and
# the normal plank only what the pressed one covers too, so the press always hides it.
TITLE_BUTTONS = [
    (110, (50, 55), 111, (49, 54), (50, 55, 170, 75), "START"),
    (120, (50, 83), 121, (50, 83), (45, 85, 180, 105), "KEYS"),
    (130, (35, 115), 131, (33, 117), (30, 115, 195, 135), "VOLUME"),
    (140, (70, 145), 141, (74, 147), (70, 145, 155, 164), "INFO"),
    (150, (95, 175), 151, (96, 177), (80, 175, 140, 195), "QUIT"),
]


def reachable(tap, *positions):
    """The part of a tap rectangle that pictures drawn at all the given positions can cover."""
    x0, y0, x1, y1 = tap
    return (max([x0] + [p[0] for p in positions]), max([y0] + [p[1] for p in positions]), x1, y1)


ICONS = {
    "START": [
        "#......",
        "###....",
        "#####..",
        "#######",
        "#####..",
        "###....",
        "#......",
    ],
    "KEYS": [
        ".###...",
        "#...#..",
        "#...###",
        "#...#.#",
        ".###..#",
        ".......",
        ".......",
    ],
    "VOLUME": [
        "...#...",
        "..##.#.",
        "###.#.#",
        "###.#.#",
        "###.#.#",
        "..##.#.",
        "...#...",
    ],
    "INFO": [
        "..##...",
        ".......",
        ".###...",
        "..##...",
        "..##...",
        "..##...",
        ".####..",
    ],
    "QUIT": [
        "##...##",
        "###.###",
        ".#####.",
        "..###..",
        ".#####.",
        "###.###",
        "##...##",
    ],
}


def button_picture(pos, box, label, pressed, seed):
    x0, y0, x1, y1 = box
    pw, ph = x1 - x0 + 1, y1 - y0 + 1
    ox, oy = x0 - pos[0], y0 - pos[1]
    c = Canvas(ox + pw, oy + ph)
    p = kit.plank(pw, ph, pressed=pressed, seed=seed)
    # label with its icon, centred
    icon = kit.icon_from(ICONS[label], {"#": P["yellow"] if pressed else P["bark"]})
    tw = MENU.width(label) + 4 + icon.w
    tx = (pw - tw) // 2
    ty = (ph - 9) // 2 - 1 + (1 if pressed else 0)
    shadow = kit.icon_from(ICONS[label], {"#": P["bark"] if pressed else P["sand"]})
    p.blit(shadow, tx + 1, ty + 2)
    p.blit(icon, tx, ty + 1)
    if pressed:
        MENU.draw(p, label, tx + icon.w + 4, ty - 1, P["yellow"], shadow=P["bark"])
    else:
        MENU.draw(p, label, tx + icon.w + 4, ty - 1, P["bark"], shadow=P["sand"])
    c.blit(p, ox, oy)
    return c


def title_buttons():
    out = {}
    for n, (nid, npos, pid, ppos, tap, label) in enumerate(TITLE_BUTTONS):
        out[nid] = button_picture(npos, reachable(tap, npos, ppos), label, False, seed=20 + n)
        out[pid] = button_picture(ppos, reachable(tap, ppos), label, True, seed=20 + n)
    return out


# ---- the reading boards of the other front-end screens -------------------------------------------------

def overlay():
    """A picture the game draws at (15,25) over the backdrop: 210x190, transparent where empty."""
    return Canvas(210, 190)


def put_board(c, vx0, vy0, vx1, vy1, seed=7):
    """A board covering view pixels vx0..vx1, vy0..vy1 on an overlay drawn at (15,25)."""
    b = kit.board(vx1 - vx0 + 1, vy1 - vy0 + 1, seed=seed)
    c.blit(b, vx0 - 15, vy0 - 25)


def heading(c, text, vy, color=None):
    MENU.draw_centered(c, text, 120 - 15, vy - 25, color or P["gold"], shadow=P["ink"])
    w = MENU.width(text)
    kit.divider(c, 120 - 15, vy - 25 + 12, w // 2 + 4)


def small_centered(c, text, vy, color=None):
    SMALL.draw_centered(c, text, 120 - 15, vy - 25, color or P["cream"])


def small_at(c, text, vx, vy, color=None):
    SMALL.draw(c, text, vx - 15, vy - 25, color or P["cream"])


def plank_at(c, box, label, pressed=False, seed=30, font=MENU, origin=(15, 25)):
    """A labelled plank covering view box (x0, y0, x1, y1) on a picture drawn at origin."""
    x0, y0, x1, y1 = box
    pw, ph = x1 - x0 + 1, y1 - y0 + 1
    p = kit.plank(pw, ph, pressed=pressed, seed=seed, nails=pw > 50)
    ty = (ph - (9 if font is MENU else 7)) // 2 - 1
    kit.engraved(p, label, pw // 2, ty, pressed, font)
    c.blit(p, x0 - origin[0], y0 - origin[1])


# Key definition: the board, its prompt slot (view 34..205 x 92..113) and its Back plank.
KEYS_BACK = (34, 143, 205, 162)
PROMPT_BOX = (34, 92, 205, 113)
PROMPTS = [(124, (30, 90), "LEFT", "left"), (125, (25, 90), "RIGHT", "right"),
           (126, (27, 90), "UP  (JUMP)", "up"), (127, (18, 91), "ACTION", None)]


def keys_screen():
    c = overlay()
    put_board(c, 24, 30, 215, 170)
    heading(c, "DEFINE KEYS", 38)
    small_centered(c, "Press the key you want to use", 60)
    small_centered(c, "for this move:", 70)
    sunken_slot(c, PROMPT_BOX)
    small_centered(c, "Left, Right, Up, then Action.", 120, P["greylt"])
    small_centered(c, "Tap the screen to go back.", 130, P["greylt"])
    plank_at(c, KEYS_BACK, "BACK TO MENU")
    return c.clear_bottom_right()


def pressed_plank(box, label, font=MENU):
    """The pressed form of a board's plank, as a picture drawn at the plank's top-left corner."""
    x0, y0, x1, y1 = box
    c = Canvas(x1 - x0 + 1, y1 - y0 + 1)
    plank_at(c, box, label, pressed=True, font=font, origin=(x0, y0))
    return c.clear_bottom_right()


def sunken_slot(c, box):
    """An inset one pixel around a view box, on an overlay drawn at (15,25)."""
    x0, y0, x1, y1 = box
    kit.inset(c, x0 - 15 - 1, y0 - 25 - 1, x1 - x0 + 3, y1 - y0 + 3)


def prompt(pos, label, direction):
    """Images 124..127: what to press next, on a lit strip over the board's slot."""
    x0, y0, x1, y1 = PROMPT_BOX
    c = Canvas(x1 - pos[0] + 1, y1 - pos[1] + 1)
    sw, sh = x1 - x0 + 1, y1 - y0 + 1
    s = Canvas(sw, sh)
    s.round_rect(0, 0, sw, sh, 2, P["gold"])
    s.round_frame(0, 0, sw, sh, 2, P["ink"])
    s.hline(2, sw - 3, 1, P["yellow"])
    s.hline(2, sw - 3, sh - 2, P["orange"])
    tw = MENU.width(label)
    MENU.draw(s, label, (sw - tw) // 2, (sh - 12) // 2 + 1, P["ink"], shadow=P["yellow"])
    if direction:
        a = kit.arrow(direction, P["ink"])
        for ax in (8, sw - 17):
            s.blit(a, ax, (sh - 9) // 2)
    else:
        for ax in (8, sw - 17):
            s.ellipse(ax + 4.5, sh / 2, 4.5, 4.5, P["ink"])
            s.ellipse(ax + 4.5, sh / 2, 2.5, 2.5, P["red"])
            s.set(ax + 3, int(sh / 2) - 2, P["pink"])
    c.blit(s, x0 - pos[0], y0 - pos[1])
    return c.clear_bottom_right()


# Volume: Down taps x 60..80, Up taps x 145..185 (both y 90..120), Back x 90..150 y 130..160.
VOL_DOWN = (60, 90, 80, 120)
VOL_UP = (145, 90, 185, 120)
VOL_BACK = (93, 146, 150, 160)
LEVEL_POS = (68, 100)
LEVEL_BOX = (83, 100, 142, 119)   # the level window; the level pictures start at x 68


def volume_screen():
    c = overlay()
    put_board(c, 24, 30, 215, 170)
    heading(c, "MUSIC VOLUME", 38)
    small_centered(c, "Tap - or + to change it.", 62)
    for box, sign in ((VOL_DOWN, "-"), (VOL_UP, "+")):
        x0, y0, x1, y1 = box
        pw, ph = x1 - x0 + 1, y1 - y0 + 1
        p = kit.plank(pw, ph, seed=40 + len(sign), nails=False)
        g = Canvas(9, 9)
        g.fill(1, 3, 7, 3, P["bark"])
        if sign == "+":
            g.fill(3, 1, 3, 7, P["bark"])
        sh = g.recolor({P["bark"]: P["sand"]})
        p.blit(sh, (pw - 9) // 2 + 1, (ph - 9) // 2 + 1)
        p.blit(g, (pw - 9) // 2, (ph - 9) // 2)
        c.blit(p, x0 - 15, y0 - 25)
    sunken_slot(c, LEVEL_BOX)
    plank_at(c, VOL_BACK, "BACK")
    return c.clear_bottom_right()


def volume_level(level):
    """Images 133 (muted) .. 138 (loudest) at (68,100): five steps lit up to the level."""
    x0, y0, x1, y1 = LEVEL_BOX
    c = Canvas(x1 - LEVEL_POS[0] + 2, y1 - LEVEL_POS[1] + 2)
    ox, oy = x0 - LEVEL_POS[0], y0 - LEVEL_POS[1]
    w, h = x1 - x0 + 1, y1 - y0 + 1
    c.fill(ox, oy, w, h, P["black"])
    if level == 0:   # muted: the crossed-out speaker and the word OFF instead of the steps
        sp = kit.speaker(False).recolor({P["ink"]: P["greylt"], P["cream"]: P["grey"]})
        c.blit(sp, ox + 12, oy + (h - sp.h) // 2)
        SMALL.draw(c, "OFF", ox + 32, oy + (h - 7) // 2 - 1, P["red"])
        return c.clear_bottom_right()
    lit = [P["leaflt"], P["leaflt"], P["lime"], P["gold"], P["orange"]]
    for i in range(5):
        bw = 9
        bx = ox + 4 + i * 11
        bh = 4 + i * 3
        by = oy + h - 3 - bh
        if i < level:
            c.fill(bx, by, bw, bh, lit[i])
            c.hline(bx, bx + bw - 1, by, P["white"])
        else:
            c.frame(bx, by, bw, bh, P["greydk"])
    return c.clear_bottom_right()


# Information: the board, and its Back plank at (97,203) below it.
INFO_BACK = (97, 203, 142, 214)

INFO_STORY = ("Lily Pond is sinking and its brook has gone quiet. Zelvo the turtle sets out "
              "for the Spring in the hills: find useful things, use them in the right places "
              "and set the Spring free!")
INFO_KEYS = [("LEFT, RIGHT", "walk"), ("UP", "jump"), ("ACTION", "talk, pick up, use,"),
             ("", "open your bag")]
INFO_TIPS = ("Dangers drain your energy; you have three lives. KEYS sets the keys, and "
             "Menu leaves a game.")
INFO_WIDTH = 184   # the board's inside, view x 26..210


def wrap(text, width, font=SMALL):
    lines, line = [], ""
    for word in text.split():
        cand = (line + " " + word).strip()
        if font.width(cand) <= width:
            line = cand
        else:
            lines.append(line)
            line = word
    return lines + [line]


def info_screen():
    c = overlay()
    put_board(c, 17, 28, 222, 199)
    heading(c, "HOW TO PLAY", 34)
    y = 50
    for line in wrap(INFO_STORY, INFO_WIDTH):
        small_at(c, line, 26, y)
        y += 10
    y += 3
    for key, what in INFO_KEYS:
        small_at(c, key, 30, y, P["gold"])
        small_at(c, what, 104, y, P["cream"])
        y += 10
    y += 3
    for line in wrap(INFO_TIPS, INFO_WIDTH):
        small_at(c, line, 26, y)
        y += 10
    assert y <= 194, y   # the last line ends above the board's rim
    plank_at(c, INFO_BACK, "BACK", font=SMALL)
    return c.clear_bottom_right()


# ---- closing screens ------------------------------------------------------------------------------------

def big_words(text, fill, light, dark, scale=2):
    base = Canvas(MENU.width(text) + 1, 9)
    MENU.draw(base, text, 0, -1, fill)
    big = base.scaled(scale)
    for y in range(big.h):
        for x in range(big.w):
            if big.get(x, y) is not None:
                if big.get(x, y - 1) is None:
                    big.set(x, y, light)
                elif big.get(x, y + 1) is None:
                    big.set(x, y, dark)
    return big.outline(P["ink"], diagonal=True)


def closing_screen(words, pose, lines, seed, stars=False):
    """Images 5555 and 5556 at (15,25): big words, Zelvo on the grass, two lines under it."""
    c = overlay()
    put_board(c, 30, 48, 209, 182, seed=seed)
    c.blit(words, 105 - words.w // 2, 33)
    if stars:
        rnd = random.Random(3)
        for (x, y) in ((40, 72), (160, 70), (52, 104), (150, 100), (70, 64), (138, 116)):
            col = rnd.choice([P["gold"], P["yellow"], P["pink"]])
            for d in (-2, -1, 0, 1, 2):
                c.set(x + d, y, col)
                c.set(x, y + d, col)
    z = pose.scaled(3)
    c.blit(z, 105 - z.w // 2, 124 - z.h)
    kit.grass_edge(c, 50, 124, 110, 4)
    small_centered(c, lines[0], 154)
    small_centered(c, lines[1], 166, P["gold"])
    return c.clear_bottom_right()


def game_over():
    """Image 5555: the last life is gone."""
    return closing_screen(big_words("GAME OVER", P["red"], P["pink"], P["reddk"]), turtle.on_back(),
                          ("Zelvo is out of lives.", "Have another go!"), seed=8)


def game_end():
    """Image 5556: the journey is over."""
    return closing_screen(big_words("WELL DONE!", P["lime"], P["white"], P["leaf"]), turtle.cheering(),
                          ("The Spring runs again!", "Thank you for playing."), seed=9, stars=True)


# ---- in-game panels and icons -------------------------------------------------------------------------------

PANEL = (25, 40, 214, 155)   # view box of the dialog and inventory panels


def game_panel(title_icon):
    x0, y0, x1, y1 = PANEL
    w, h = x1 - x0 + 1, y1 - y0 + 1
    b = kit.board(w, h, seed=13, inner=P["black"])
    # a header strip across the top of the inside, above the first text line (view y 70)
    b.fill(6, 6, w - 12, 20, P["night"])
    b.hline(6, w - 7, 26, P["deep"])
    b.hline(6, w - 7, 27, P["ink"])
    b.blit(title_icon, 12, 8)
    return b


def dialog_panel():
    """Image 5, 190x116 at (25,40): the text of a dialog stands in view x 50..~202, y 70..139."""
    icon = turtle.standing("right").sub(0, 0, 16, 16)
    p = game_panel(icon)
    for i in range(3):
        p.ellipse(37 + i * 8, 16, 2, 2, P["cream"])
    hint = "any key goes on"
    SMALL.draw(p, hint, p.w - 12 - SMALL.width(hint), 11, P["grey"])
    return p.clear_bottom_right()


def inventory_panel():
    """Image 3, 190x116 at (25,40): item lines at view (50, 70 + 18k), pictures at (145, ...)."""
    bag = kit.icon_from([
        "....kkk.....",
        "...k...k....",
        "..kkkkkkkk..",
        ".kBBBBBBBBk.",
        "kBBLLLBBBBBk",
        "kBLyykLBBBBk",
        "kBBBBBBBBBBk",
        "kBBBBBBBBBBk",
        "kbBBBBBBBBbk",
        ".kbbbbbbbbk.",
        "..kkkkkkkk..",
    ], {"k": P["ink"], "B": P["wood"], "L": P["woodlt"], "b": P["wooddk"], "y": P["gold"]})
    p = game_panel(bag.scaled(1))
    MENU.draw(p, "YOUR BAG", 32, 9, P["gold"], shadow=P["ink"])
    hint = "< > choose"
    SMALL.draw(p, hint, p.w - 12 - SMALL.width(hint), 11, P["grey"])
    p.hline(6, p.w - 7, 98, P["night"])
    SMALL.draw_centered(p, "Action: use it here or drop it", p.w // 2, 101, P["grey"])
    return p.clear_bottom_right()


def sound_icon(on):
    """Images 7 (sound on) and 8 (muted) at (50,3): one plaque shape, so each hides the other."""
    w, h = 22, 18   # drawn from x 51: the button takes taps at 50 < x < 100
    p = kit.plank(w, h, seed=50, nails=False)
    sp = kit.speaker(on)
    p.blit(sp, (w - sp.w) // 2, (h - sp.h) // 2)
    c = Canvas(w + 1, h)
    c.blit(p, 1, 0)
    return c


# ---- the splash --------------------------------------------------------------------------------------------

def splash():
    """Image 6, 240x240 at (0,0): shown while the game starts."""
    c = Canvas(240, 240, P["ink"])
    s = scene(232, 232, seed=4, pole=False)
    c.blit(s, 4, 4)
    # a wooden frame like the game's
    for i, col in enumerate((P["ink"], P["wooddk"], P["wood"], P["woodlt"])):
        c.frame(i, i, 240 - 2 * i, 240 - 2 * i, col)
    c.frame(4, 4, 232, 232, P["ink"])
    lg = logo(5)
    c.blit(lg, 120 - lg.w // 2, 28)
    SMALL.draw_centered(c, "a turtle's journey", 120, 28 + lg.h + 4, P["night"])
    z = turtle.standing("right").scaled(4)
    c.ellipse(120, 180, 34, 6, P["mossdk"])
    c.blit(z, 120 - z.w // 2, 180 - z.h + 2)
    SMALL.draw_centered(c, "getting ready...", 120, 218, P["cream"])
    c.set(239, 239, None)
    return c


# ---- everything, by image id ------------------------------------------------------------------------------------

def all_images():
    imgs = {
        1: frame_side(),
        2: frame_band(),
        3: inventory_panel(),
        4: panel4(),
        5: dialog_panel(),
        6: splash(),
        7: sound_icon(True),
        8: sound_icon(False),
        100: title_picture(),
        122: keys_screen(),
        123: pressed_plank(KEYS_BACK, "BACK TO MENU"),     # at (34,143)
        132: pressed_plank(VOL_BACK, "BACK"),              # at (93,146)
        139: volume_screen(),
        500: info_screen(),
        501: pressed_plank(INFO_BACK, "BACK", SMALL),      # at (97,203)
        5555: game_over(),
        5556: game_end(),
    }
    imgs.update(title_buttons())
    for pid, pos, label, direction in PROMPTS:
        imgs[pid] = prompt(pos, label, direction)
    for level in range(6):
        imgs[133 + level] = volume_level(level)
    for k, im in imgs.items():
        assert im.get(im.w - 1, im.h - 1) is None, "image %d: bottom-right pixel" % k
    return imgs
