"""mockup.py -- compose every screen of the default world as the game will show it, to look at.

    python3 content/default/src/mockup.py     writes content/default/mockups/*.png (not committed)

It reads world.json and the built pictures and draws them the way the game does: a 240x320
screen with the 240x240 view in the middle, colours cut to 5-6-5, transparent pixels skipped,
the bottom-right pixel of every picture never drawn, text from the glyph sheets with the
game's text colours. Only what the pictures need is imitated; this is no game.
"""
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
WORLD = os.path.dirname(HERE)
OUT = os.path.join(WORLD, "mockups")
sys.path.insert(0, HERE)

from pixel import Canvas, read_png  # noqa: E402


def load_manifest(name):
    """A manifest with the lists of the files it includes appended (they may hold // comments)."""
    def parse(rel):
        with open(os.path.join(WORLD, rel), encoding="utf-8") as f:
            return json.loads("".join(l for l in f if not l.lstrip().startswith("//")))
    m = parse(name)
    for rel in m.get("include", []):
        for key, items in parse(rel).items():
            if isinstance(items, list):
                m.setdefault(key, []).extend(items)
    return m


def rgb565(c):
    r, g, b = c
    v = ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3)
    return v or 1


def to_rgb(v):
    r, g, b = (v >> 11) & 31, (v >> 5) & 63, v & 31
    return ((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2))


class Game:
    def __init__(self):
        self.m = load_manifest("world.json")
        self.images = {e["id"]: self.load(e["picture"]) for e in self.m["images"]}
        self.fonts = {}
        for f in self.m["fonts"]:
            self.fonts[f["id"]] = (self.load(f["sheet"]), f["cell"][0], f["cell"][1])
        self.sprites = {}
        for s in self.m["sprites"]:
            strip = self.load(s["frames"]["strip"])
            n = s["frames"]["count"]
            fw = strip.w // n
            frames = [strip.sub(i * fw, 0, fw, strip.h) for i in range(n)]
            for f in frames:
                f.px[-1] = None
            self.sprites[s["id"]] = (s, frames)
        self.buf = [0] * (240 * 320)
        self.font, self.color, self.bg = 0, 0, 0

    def load(self, rel):
        c = read_png(os.path.join(WORLD, rel))
        c.px = [rgb565(p) if p is not None else 0 for p in c.px]
        return c

    # ---- drawing as the game does it ------------------------------------------------------------
    def clear(self):
        self.buf = [0] * (240 * 320)

    def fill_rect(self, x0, y0, x1, y1, rgb):
        v = rgb565(rgb)
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.buf[y * 240 + x] = v

    def image(self, iid, x, y):
        im = self.images.get(iid)
        if im is None:
            return
        for j in range(im.h):
            for i in range(im.w):
                if j == im.h - 1 and i == im.w - 1:
                    continue
                v = im.px[j * im.w + i]
                if v:
                    self.buf[(y + j) * 240 + x + i] = v

    def frame(self):
        self.fill_rect(15, 25, 225, 215, (200, 200, 255))
        self.image(1, 0, 25)
        self.image(1, 225, 25)
        self.image(2, 0, 0)
        self.image(2, 0, 214)

    def text(self, s, x, y):
        sheet, gw, gh = self.fonts[self.font]
        for ch in s:
            c = ord(ch)
            for j in range(gh):
                for i in range(gw):
                    if 32 <= c <= 127:
                        p = sheet.px[((c // 32 - 1) * gh + j) * sheet.w + (c % 32) * gw + i]
                    else:
                        p = 0
                    if p:
                        self.buf[(y + j) * 240 + x + i] = self.color or p
                    elif self.bg:
                        self.buf[(y + j) * 240 + x + i] = self.bg
            x += gw
        return x

    def sprite(self, sid, x, y, frame=1):
        s, frames = self.sprites[sid]
        f = frames[frame - 1]
        for j in range(f.h):
            for i in range(f.w):
                v = f.px[j * f.w + i]
                if v and 0 <= x + i < 210 and 0 <= y + j < 190:
                    self.buf[(25 + y + j) * 240 + 15 + x + i] = v

    def save(self, name):
        c = Canvas(240, 320, (0, 0, 0))
        for y in range(240):
            for x in range(240):
                c.px[(y + 40) * 240 + x] = to_rgb(self.buf[y * 240 + x]) if self.buf[y * 240 + x] else (0, 0, 0)
        os.makedirs(OUT, exist_ok=True)
        c.save(os.path.join(OUT, name + ".png"))
        return c

    # ---- screens --------------------------------------------------------------------------------
    def title(self):
        self.clear()
        self.frame()
        for iid, x, y in ((4, 15, 25), (100, 45, 22), (110, 50, 55), (120, 50, 83), (130, 35, 115),
                          (140, 70, 145), (150, 95, 175)):
            self.image(iid, x, y)
        self.font, self.bg, self.color = 1, 0, 0xFFFF
        self.text("version 0.9.8", 80, 205)

    def screen(self, iid):
        self.clear()
        self.frame()
        self.image(4, 15, 25)
        self.image(iid, 15, 25)

    def play(self, muted=False):
        """A new game on screen 1, the player landed on the ground."""
        self.title()   # the back buffer is not cleared when a game starts
        self.frame()
        self.font, self.color, self.bg = 1, 1, 0x7F4F
        self.text("Score: %04d" % 0, 160, 220)
        self.text("Lives: %d" % 3, 168, 1)
        self.fill_rect(170, 12, 220, 22, (50, 255, 50))
        for x in range(169, 221):
            self.buf[11 * 240 + x] = self.buf[22 * 240 + x] = rgb565((200, 100, 100))
        for y in range(11, 23):
            self.buf[y * 240 + 169] = self.buf[y * 240 + 220] = rgb565((200, 100, 100))
        self.fill_rect(15, 25, 225, 215, (200, 200, 255))
        objs = [(2001, 0, 0, 0), (1001, 0, 0, 0)]
        screen = [s for s in self.m["screens"] if s["number"] == 1][0]
        kinds = {"player": 16, "scenery": 2, "foreground": 30, "solid": 1, "background": 0, "front": 20,
                 "hazard": 25}
        for o in screen["objects"]:
            s, _ = self.sprites[o["sprite"]]
            objs.append((o["sprite"], o["x"], o["y"], o.get("layer") or kinds[s["kind"]]))
        # the player falls from (20, 1) until something solid is under its feet
        s3, f3 = self.sprites[3]
        pw, ph = f3[0].w, f3[0].h
        solid = set()
        for sid, x, y, layer in objs:
            if layer == 1:
                f = self.sprites[sid][1][0]
                for j in range(f.h):
                    for i in range(f.w):
                        if f.px[j * f.w + i]:
                            solid.add((x + i, y + j))
        py = 1
        while py + ph < 190 and not any((20 + i, py + ph) in solid for i in range(2, pw - 2)):
            py += 1
        objs.append((3, 20, py, 16))
        for sid, x, y, layer in sorted(objs, key=lambda o: o[3]):
            self.sprite(sid, x, y, 9 if sid == 3 else 1)
        self.font, self.bg, self.color = 2, 0x0320, 0x67EC
        self.text("Menu", 1, 1)
        self.image(8 if muted else 7, 50, 3)
        self.font, self.bg, self.color = 1, 0x0320, 0x67EC
        self.text("%d,%d   " % (20, py), 0, 225)
        return py

    def dialog(self, text):
        """The dialog box's layout: font 1, white, words kept whole, seven lines from (50,70)."""
        self.image(5, 25, 40)
        self.font, self.color, self.bg = 1, 0xFFFF, 0
        gw = self.fonts[1][1]
        t = text.replace("\n", " \n").replace("\r", "")
        x, y, i = 50, 70, 0
        while i < len(t):
            r = t[i:]
            while r.startswith("@"):
                r = r[6:]
            L = r.find(" ") if " " in r else len(r)
            if x + 7 * L > 195:
                y, x = y + 10, 50
                if y > 130:
                    break
            c = t[i]
            if c == "\n":
                y, x = y + 10, 50
                if y > 130:
                    break
            elif c == "@":
                v = int(t[i + 2:i + 6], 16)
                if t[i + 1] == "b":
                    self.bg = v
                elif t[i + 1] == "f":
                    self.color = v
                i += 5
            else:
                x = self.text(c, x, y)
                if x > 195:
                    x, y = 50, y + 10
                if y > 130:
                    break
            i += 1

    def inventory(self, items, selected):
        self.image(3, 25, 40)
        if not items:
            self.font, self.bg, self.color = 2, 1, 0xFFFF
            self.text("Empty!", 90, 95)
            return
        self.font = 1
        y = 70
        for n, (name, sid) in enumerate(items, 1):
            self.color, self.bg = (1, 0x7F4F) if n == selected else (0x7F4F, 1)
            self.text(name, 50, y)
            f = self.sprites[sid][1][0]
            for j in range(f.h):
                for i in range(f.w):
                    if f.px[j * f.w + i] and not (i == f.w - 1 and j == f.h - 1):
                        self.buf[(y + j) * 240 + 145 + i] = f.px[j * f.w + i]
            y += 18
        self.color, self.bg = (1, 0xFFFF) if len(items) + 1 == selected else (0xFFFF, 1)
        self.text("Exit inventory", 50, y)


def sheet(pictures, cols, name, scale=2):
    """Put several mock-ups side by side (scaled) to look at them together."""
    rows = (len(pictures) + cols - 1) // cols
    out = Canvas(cols * 244, rows * 324, (60, 60, 60))
    for n, p in enumerate(pictures):
        out.blit(p, (n % cols) * 244 + 2, (n // cols) * 324 + 2)
    out.scaled(scale).save(os.path.join(OUT, name + ".png"))


def main():
    g = Game()
    shots = {}
    g.clear()
    g.image(6, 0, 0)
    shots["splash"] = g.save("splash")
    g.title()
    shots["title"] = g.save("title")
    pressed = []
    for iid, x, y in ((111, 49, 54), (121, 50, 83), (131, 33, 117), (141, 74, 147), (151, 96, 177)):
        g.title()
        g.image(iid, x, y)
        pressed.append(g.save("title-pressed-%d" % iid))
    keys = []
    for iid, x, y in ((124, 30, 90), (125, 25, 90), (126, 27, 90), (127, 18, 91)):
        g.screen(122)
        g.image(iid, x, y)
        keys.append(g.save("keys-prompt-%d" % iid))
    g.screen(122)
    g.image(127, 18, 91)
    g.image(123, 34, 143)
    keys.append(g.save("keys-back-pressed"))
    vol = []
    for level in range(6):
        g.screen(139)
        g.image(133 + level, 68, 100)
        vol.append(g.save("volume-%d" % level))
    g.image(132, 93, 146)
    vol.append(g.save("volume-back-pressed"))
    g.screen(500)
    info = [g.save("info")]
    g.image(501, 97, 203)
    info.append(g.save("info-back-pressed"))
    g.screen(5555)
    ends = [g.save("game-over")]
    g.screen(5556)
    ends.append(g.save("game-end"))
    play = []
    py = g.play()
    play.append(g.save("play"))
    g.play(muted=True)
    g.dialog("Hello, little turtle! The @fFFE0old bridge@fFFFF is broken. Find a @f7F4Frope@fFFFF "
             "and come back to me.\nGood luck!")
    play.append(g.save("play-dialog"))
    g.play()
    g.inventory([], 1)
    play.append(g.save("play-inventory-empty"))
    g.play()
    g.inventory([("Brass key", 12), ("Rope", 11), ("Shiny pearl", 12)], 2)
    play.append(g.save("play-inventory"))
    sheet([shots["splash"], shots["title"]] + pressed, 4, "sheet-title")
    sheet(keys + vol, 6, "sheet-keys-volume", scale=1)
    sheet(info + ends + play, 4, "sheet-other")
    print("mock-ups in", OUT, "(player lands at y=%d)" % py)


if __name__ == "__main__":
    main()
