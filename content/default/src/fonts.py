"""fonts.py -- the two glyph files turned into glyph sheets, and text drawing for the pictures."""
import os

from palette import P
from pixel import Canvas

HERE = os.path.dirname(os.path.abspath(__file__))


class Font:
    def __init__(self, path, cell_w, cell_h):
        self.cw, self.ch = cell_w, cell_h
        self.glyphs = {}  # code -> list of rows ('#' / '.')
        code, rows = None, []
        for line in open(path, encoding="utf-8"):
            line = line.rstrip("\n")
            if line.startswith("# ") or not line:
                continue
            if line.startswith("@ "):
                if code is not None:
                    self._add(code, rows)
                code, rows = int(line.split()[1]), []
            else:
                rows.append(line)
        self._add(code, rows)
        missing = [c for c in range(32, 128) if c not in self.glyphs]
        assert not missing, "%s lacks glyphs %s" % (path, missing)

    def _add(self, code, rows):
        assert len(rows) == self.ch, "glyph %d: %d rows" % (code, len(rows))
        for r in rows:
            assert len(r) < self.cw and set(r) <= set("#."), "glyph %d: row %r" % (code, r)
        self.glyphs[code] = rows

    def sheet(self, ink):
        """The glyph sheet: 32 cells across, three cell rows for the codes 32..127."""
        c = Canvas(32 * self.cw, 3 * self.ch)
        for code, rows in self.glyphs.items():
            gx, gy = (code % 32) * self.cw, (code // 32 - 1) * self.ch
            for y, row in enumerate(rows):
                for x, ch in enumerate(row):
                    if ch == "#":
                        c.set(gx + x, gy + y, ink)
        return c

    # ---- text in pictures -------------------------------------------------------------------
    def ink_span(self, code):
        rows = self.glyphs.get(code, self.glyphs[63])
        cols = [x for r in rows for x, ch in enumerate(r) if ch == "#"]
        return (min(cols), max(cols)) if cols else None

    def advance(self, code, proportional):
        if not proportional:
            return self.cw
        span = self.ink_span(code)
        if span is None:
            return self.cw // 2 + 1
        return span[1] - span[0] + 2

    def width(self, text, proportional=True):
        w = sum(self.advance(ord(ch), proportional) for ch in text)
        return w - 1 if proportional and text else w

    def draw(self, canvas, text, x, y, color, proportional=True, shadow=None, outline=None):
        """Draw text with its top-left at (x, y); returns the width drawn."""
        layer = Canvas(self.width(text, proportional) + 1, self.ch)
        cx = 0
        for ch in text:
            code = ord(ch)
            rows = self.glyphs.get(code, self.glyphs[63])
            span = self.ink_span(code)
            x0 = span[0] if proportional and span else 0
            for gy, row in enumerate(rows):
                for gx, c in enumerate(row):
                    if c == "#":
                        layer.set(cx + gx - x0, gy, color)
            cx += self.advance(code, proportional)
        if outline:
            o = layer.outline(outline, diagonal=True)
            canvas.blit(o, x - 1, y - 1)
        if shadow:
            canvas.blit(layer.recolor({color: shadow}), x + 1, y + 1)
        canvas.blit(layer, x, y)
        return layer.w - 1

    def draw_centered(self, canvas, text, cx, y, color, **kw):
        w = self.width(text, kw.get("proportional", True))
        return self.draw(canvas, text, cx - w // 2, y, color, **kw)


SMALL = Font(os.path.join(HERE, "glyphs", "small.txt"), 6, 10)
MENU = Font(os.path.join(HERE, "glyphs", "menu.txt"), 8, 12)
INK = P["white"]
