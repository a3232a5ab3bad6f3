"""pixel.py -- a tiny RGBA canvas, PNG writing and reading, standard library only.

Every picture of the default world is drawn on a Canvas: colours are (r, g, b) tuples from the
palette (palette.py), None is a transparent pixel.
"""
import struct
import zlib


class Canvas:
    def __init__(self, width, height, fill=None):
        self.w = width
        self.h = height
        self.px = [fill] * (width * height)

    # ---- pixels ---------------------------------------------------------------------------
    def get(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y * self.w + x]
        return None

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def copy(self):
        c = Canvas(self.w, self.h)
        c.px = list(self.px)
        return c

    # ---- shapes ---------------------------------------------------------------------------
    def fill(self, x0, y0, w, h, c):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.set(x, y, c)

    def hline(self, x0, x1, y, c):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.set(x, y, c)

    def frame(self, x0, y0, w, h, c):
        self.hline(x0, x0 + w - 1, y0, c)
        self.hline(x0, x0 + w - 1, y0 + h - 1, c)
        self.vline(x0, y0, y0 + h - 1, c)
        self.vline(x0 + w - 1, y0, y0 + h - 1, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def ellipse(self, cx, cy, rx, ry, c):
        """A filled ellipse centred on (cx, cy) (half-pixel centres allowed)."""
        for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
            for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
                dx = (x + 0.5 - cx) / rx if rx else 0
                dy = (y + 0.5 - cy) / ry if ry else 0
                if dx * dx + dy * dy <= 1.0:
                    self.set(x, y, c)

    def round_rect(self, x0, y0, w, h, r, c):
        """A filled rectangle whose corners are cut by r pixels (a pixel-art rounded corner)."""
        for y in range(h):
            for x in range(w):
                dx = min(x, w - 1 - x)
                dy = min(y, h - 1 - y)
                if dx + dy >= r or r == 0:
                    self.set(x0 + x, y0 + y, c)

    def round_frame(self, x0, y0, w, h, r, c):
        """The one-pixel outline of round_rect."""
        for y in range(h):
            for x in range(w):
                dx = min(x, w - 1 - x)
                dy = min(y, h - 1 - y)
                if dx + dy >= r and (dx == 0 or dy == 0 or dx + dy == r):
                    self.set(x0 + x, y0 + y, c)

    # ---- composition -----------------------------------------------------------------------
    def blit(self, src, x0, y0, flip=False):
        """Draw src's opaque pixels at (x0, y0)."""
        for y in range(src.h):
            for x in range(src.w):
                c = src.px[y * src.w + (src.w - 1 - x if flip else x)]
                if c is not None:
                    self.set(x0 + x, y0 + y, c)

    def sub(self, x0, y0, w, h):
        out = Canvas(w, h)
        for y in range(h):
            for x in range(w):
                out.px[y * w + x] = self.get(x0 + x, y0 + y)
        return out

    def mirrored(self):
        out = Canvas(self.w, self.h)
        for y in range(self.h):
            for x in range(self.w):
                out.px[y * self.w + x] = self.px[y * self.w + self.w - 1 - x]
        return out

    def scaled(self, f):
        out = Canvas(self.w * f, self.h * f)
        for y in range(out.h):
            for x in range(out.w):
                out.px[y * out.w + x] = self.px[(y // f) * self.w + x // f]
        return out

    def recolor(self, mapping):
        out = self.copy()
        out.px = [mapping.get(c, c) if c is not None else None for c in out.px]
        return out

    def outline(self, c, diagonal=False):
        """A copy with every transparent pixel next to an opaque one set to c (grows by one)."""
        out = Canvas(self.w + 2, self.h + 2)
        out.blit(self, 1, 1)
        res = out.copy()
        n = [(-1, 0), (1, 0), (0, -1), (0, 1)]
        if diagonal:
            n += [(-1, -1), (1, -1), (-1, 1), (1, 1)]
        for y in range(out.h):
            for x in range(out.w):
                if out.get(x, y) is None and any(out.get(x + dx, y + dy) is not None for dx, dy in n):
                    res.set(x, y, c)
        return res

    def clear_bottom_right(self):
        """The game never draws a picture's bottom-right pixel: keep it transparent."""
        self.px[-1] = None
        return self

    # ---- files ------------------------------------------------------------------------------
    def save(self, path):
        write_png(path, self.w, self.h, self.px)


def write_png(path, width, height, pixels):
    """Write an 8-bit RGBA PNG (transparent pixels as (0, 0, 0, 0)). Deterministic output."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            c = pixels[y * width + x]
            if c is None:
                raw += b"\0\0\0\0"
            else:
                raw += bytes((c[0], c[1], c[2], 255))

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def read_png(path):
    """Read an 8-bit RGB or RGBA, non-interlaced PNG into a Canvas (alpha < 128 is transparent)."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat = 8, b""
    while pos < len(data):
        length, tag = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if tag == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and ctype in (2, 6) and interlace == 0, path
        elif tag == b"IDAT":
            idat += body
        pos += 12 + length
    bpp = 4 if ctype == 6 else 3
    raw = zlib.decompress(idat)
    stride = w * bpp
    prev = bytearray(stride)
    out = Canvas(w, h)
    i = 0
    for y in range(h):
        ftype = raw[i]
        line = bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if ftype == 1:
                line[x] = (line[x] + a) & 255
            elif ftype == 2:
                line[x] = (line[x] + b) & 255
            elif ftype == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[x] = (line[x] + pred) & 255
        for x in range(w):
            px = line[x * bpp:(x + 1) * bpp]
            alpha = px[3] if bpp == 4 else 255
            out.px[y * w + x] = (px[0], px[1], px[2]) if alpha >= 128 else None
        prev = line
    return out
