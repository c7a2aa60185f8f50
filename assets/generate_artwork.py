#!/usr/bin/env python3
"""Draws the player's artwork: the banner, the transport glyphs, button and menu pictures,
the slider thumbs and the program icon.

Everything is drawn here from shapes; only the standard library is used, plus ImageMagick's
`convert` to encode the banner as JPEG. Each picture comes twice: at its size, and drawn again
at twice the size for high-density screens ("name@2x.ext", which Qt takes for a device pixel
ratio of 2). Run it from anywhere; it writes into this folder:

    python3 assets/generate_artwork.py

Glyph BMPs follow the bitmap-button convention: the bottom-left pixel's colour is transparent.
"""

import math
import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# Colour of the transparent background of every glyph (never used inside a picture). A face
# colour, so the antialiased edges blend towards what the button shows behind them.
KEY = (236, 233, 216)


class Canvas:
    """A picture of width x height logical pixels, held at scale device pixels per logical one.

    The drawing methods take logical coordinates; blend and px work on device pixels.
    """

    def __init__(self, width, height, fill=(0, 0, 0), scale=1):
        self.s = scale
        self.w, self.h = width * scale, height * scale
        self.px = [[list(fill) for _ in range(self.w)] for _ in range(self.h)]
        self.alpha = [[255] * self.w for _ in range(self.h)]

    def blend(self, x, y, colour, coverage):
        if not (0 <= x < self.w and 0 <= y < self.h) or coverage <= 0:
            return
        c = min(coverage, 1.0)
        p = self.px[y][x]
        for i in range(3):
            p[i] = round(p[i] * (1 - c) + colour[i] * c)

    def shape(self, inside, colour, box=None, samples=4):
        """Fills the points for which inside(x, y) holds, antialiased by supersampling."""
        s = self.s
        x0, y0, x1, y1 = [v * s for v in box] if box else (0, 0, self.w, self.h)
        step = 1.0 / samples
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside((x + (sx + 0.5) * step) / s, (y + (sy + 0.5) * step) / s):
                            hits += 1
                self.blend(x, y, colour, hits / (samples * samples))

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(px, py):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result

        self.shape(inside, colour, (min(xs), min(ys), max(xs) + 1, max(ys) + 1))

    def rect(self, x0, y0, x1, y1, colour):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)

    def circle(self, cx, cy, r, colour):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour,
                   (cx - r, cy - r, cx + r + 1, cy + r + 1))

    def ring(self, cx, cy, r0, r1, colour, a0=0.0, a1=2 * math.pi):
        def inside(x, y):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if not r0 * r0 <= d <= r1 * r1:
                return False
            a = math.atan2(y - cy, x - cx) % (2 * math.pi)
            return a0 <= a <= a1 if a0 <= a1 else (a >= a0 or a <= a1)

        self.shape(inside, colour, (cx - r1, cy - r1, cx + r1 + 1, cy + r1 + 1))

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                      (x0 - nx, y0 - ny)], colour)

    def vgradient(self, top, bottom):
        y0, y1 = 0, self.h
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            colour = [round(top[i] + (bottom[i] - top[i]) * t) for i in range(3)]
            for x in range(self.w):
                self.px[y][x] = list(colour)

    # --- writers -----------------------------------------------------------------------------

    def save_bmp(self, path):
        row = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            line = bytearray()
            for x in range(self.w):
                r, g, b = self.px[y][x]
                line += bytes((b, g, r))
            line += b"\0" * (row - len(line))
            data += line
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835,
                           0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)

    def save_png(self, path):
        raw = bytearray()
        for y in range(self.h):
            raw.append(0)
            for x in range(self.w):
                raw += bytes(self.px[y][x]) + bytes((self.alpha[y][x],))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(png)

    def save_jpeg(self, path, quality=90):
        with tempfile.NamedTemporaryFile(suffix=".ppm", delete=False) as f:
            f.write(b"P6 %d %d 255\n" % (self.w, self.h))
            for y in range(self.h):
                for x in range(self.w):
                    f.write(bytes(self.px[y][x]))
            ppm = f.name
        try:
            subprocess.run(["convert", ppm, "-quality", str(quality), "-sampling-factor", "1x1",
                            "-strip", path], check=True)
        finally:
            os.unlink(ppm)


# --- the banner ----------------------------------------------------------------------------------

def banner(scale=1, name="banner.jpg"):
    c = Canvas(359, 105, scale=scale)
    s = scale
    c.vgradient((6, 18, 40), (2, 4, 12))
    # A faint level meter across the right half, the kind of bars a player shows while it plays.
    for i in range(26):
        x = 120 + i * 9
        height = 14 + 30 * abs(math.sin(i * 0.55)) * (0.6 + 0.4 * math.cos(i * 0.23))
        for k in range(int(height // 3)):
            y = 74 - k * 3
            t = k / 14.0
            colour = (round(10 + 20 * t), round(40 + 40 * (1 - t)), round(70 + 30 * t))
            c.rect(x, y, x + 7, y + 2, colour)
    # A sine trace through the middle, one pixel thick with a shadow below.
    for dx in range(c.w):
        x = dx / s
        y = int((58 + 12 * math.sin(x / 19.0) * math.cos(x / 53.0)) * s)
        for k in range(s):
            c.blend(dx, y + k, (40, 110, 150), 0.9)
            c.blend(dx, y + s + k, (20, 60, 90), 0.6)
    # A darker band under the scrolling title.
    for y in range(78 * s, 102 * s):
        for x in range(4 * s, 355 * s):
            c.blend(x, y, (0, 0, 0), 0.55)
    c.rect(4, 78, 355, 79, (30, 70, 110))
    c.rect(4, 101, 355, 102, (30, 70, 110))
    # Thin frame.
    for k in range(s):
        for x in range(c.w):
            c.blend(x, k, (60, 100, 140), 1)
            c.blend(x, c.h - 1 - k, (60, 100, 140), 1)
        for y in range(c.h):
            c.blend(k, y, (60, 100, 140), 1)
            c.blend(c.w - 1 - k, y, (60, 100, 140), 1)
    c.save_jpeg(os.path.join(HERE, name))


# --- glyphs ----------------------------------------------------------------------------------------

def glyph(draw, size=16, scale=1):
    c = Canvas(size, size, KEY, scale)
    draw(c)
    # The bottom-left pixel names the transparent colour.
    c.px[c.h - 1][0] = list(KEY)
    return c


def scaled_name(name, scale):
    """"play1.bmp" at scale 2 is "play1@2x.bmp"."""
    if scale == 1:
        return name
    stem, ext = os.path.splitext(name)
    return "%s@%dx%s" % (stem, scale, ext)


def play_shape(c, colour, edge):
    c.polygon([(4, 2), (13.5, 8), (4, 14)], edge)
    c.polygon([(5, 3.8), (11.8, 8), (5, 12.2)], colour)


def pause_shape(c, colour, edge):
    for x in (3, 9):
        c.rect(x, 2, x + 4, 14, edge)
        c.rect(x + 1, 3, x + 3, 13, colour)


def stop_shape(c, colour, edge):
    c.rect(3, 3, 13, 13, edge)
    c.rect(4, 4, 12, 12, colour)


def transport_glyphs(scale=1):
    folder = os.path.join(HERE, "Tombol")
    os.makedirs(folder, exist_ok=True)
    idle, idle_edge = (96, 104, 112), (40, 44, 52)
    lit = {"play": ((60, 230, 60), (0, 90, 0)),
           "pause": ((250, 220, 40), (120, 90, 0)),
           "stop": ((240, 60, 50), (110, 0, 0))}
    shapes = {"play": play_shape, "pause": pause_shape, "stop": stop_shape}
    names = {"play": ("play1.bmp", "play2.bmp"), "pause": ("pause1.bmp", "pause2.bmp"),
             "stop": ("stop.bmp", "stop1.bmp")}
    for kind, (normal, active) in names.items():
        shape = shapes[kind]
        glyph(lambda c: shape(c, idle, idle_edge), scale=scale).save_bmp(
            os.path.join(folder, scaled_name(normal, scale)))
        glyph(lambda c: shape(c, *lit[kind]), scale=scale).save_bmp(
            os.path.join(folder, scaled_name(active, scale)))


def button_pictures(scale=1):
    folder = os.path.join(HERE, "buttons")
    os.makedirs(folder, exist_ok=True)
    blue, edge = (40, 90, 200), (10, 30, 90)

    def prev(c):
        c.rect(2, 3, 4, 13, edge)
        c.polygon([(13, 3), (5, 8), (13, 13)], edge)
        c.polygon([(12, 4.8), (6.8, 8), (12, 11.2)], blue)

    def nxt(c):
        c.rect(12, 3, 14, 13, edge)
        c.polygon([(3, 3), (11, 8), (3, 13)], edge)
        c.polygon([(4, 4.8), (9.2, 8), (4, 11.2)], blue)

    def add(c):
        c.rect(6, 2, 10, 14, (0, 90, 0))
        c.rect(2, 6, 14, 10, (0, 90, 0))
        c.rect(7, 3, 9, 13, (50, 200, 50))
        c.rect(3, 7, 13, 9, (50, 200, 50))

    def delete(c):
        c.line(3, 3, 13, 13, 3, (150, 0, 0))
        c.line(13, 3, 3, 13, 3, (150, 0, 0))
        c.line(3.5, 3.5, 12.5, 12.5, 1.4, (240, 70, 60))
        c.line(12.5, 3.5, 3.5, 12.5, 1.4, (240, 70, 60))

    def clear(c):
        c.rect(4, 5, 12, 14, (70, 70, 80))
        c.rect(5, 6, 11, 13, (200, 200, 210))
        c.rect(3, 3, 13, 5, (70, 70, 80))
        c.rect(6, 1, 10, 3, (70, 70, 80))
        for x in (6.5, 8.5):
            c.rect(x, 7, x + 1, 12, (90, 90, 100))

    def info(c):
        c.circle(7.5, 7.5, 7, (10, 40, 120))
        c.circle(7.5, 7.5, 6, (60, 120, 230))
        c.circle(7.5, 4.2, 1.3, (255, 255, 255))
        c.rect(6.5, 6.5, 8.6, 12, (255, 255, 255))

    def folder_open(c):
        c.polygon([(1, 3), (6, 3), (7, 5), (14, 5), (14, 13), (1, 13)], (120, 80, 0))
        c.polygon([(2, 4), (5.6, 4), (6.6, 6), (13, 6), (13, 12), (2, 12)], (240, 200, 70))
        c.polygon([(3, 8), (15, 8), (13, 13), (1, 13)], (200, 150, 30))

    def about(c):
        c.circle(7.5, 7.5, 7, (0, 80, 80))
        c.circle(7.5, 7.5, 6, (0, 170, 170))
        c.polygon([(5.5, 4), (11, 7.5), (5.5, 11)], (255, 255, 255))

    def readme(c):
        c.rect(3, 1, 13, 15, (60, 60, 60))
        c.rect(4, 2, 12, 14, (255, 255, 250))
        for y in (4, 6, 8, 10, 12):
            c.rect(5, y, 11 if y != 12 else 9, y + 1, (60, 90, 160))

    def play(c):
        c.polygon([(4, 2), (13.5, 8), (4, 14)], (0, 90, 0))
        c.polygon([(5, 3.8), (11.8, 8), (5, 12.2)], (60, 230, 60))

    for name, draw in {"prev": prev, "next": nxt, "add": add, "delete": delete, "clear": clear,
                       "info": info, "open": folder_open, "about": about, "readme": readme,
                       "play": play}.items():
        glyph(draw, scale=scale).save_bmp(os.path.join(folder, scaled_name(name + ".bmp", scale)))


def volume_picture(scale=1):
    # The speaker beside the volume slider.
    c = Canvas(20, 16, KEY, scale)
    c.rect(2, 5, 6, 11, (40, 40, 40))
    c.polygon([(5, 5), (10, 1), (10, 15), (5, 11)], (40, 40, 40))
    c.rect(3, 6, 5, 10, (150, 150, 160))
    c.polygon([(6, 6), (9, 3), (9, 13), (6, 10)], (150, 150, 160))
    for r in (3.5, 6.5):
        c.ring(10, 8, r, r + 1.3, (0, 90, 160), 5.3, 1.0)
    c.px[c.h - 1][0] = list(KEY)
    c.save_bmp(os.path.join(HERE, "buttons", scaled_name("volume.bmp", scale)))


def slider_thumbs(scale=1):
    # Each thumb holds its two states side by side, as the slider shows them: normal on the left,
    # pressed on the right. Only the colours differ, so the thumb keeps its shape when grabbed.
    # What lies outside the shape is olive, the colour the slider leaves out when it draws.
    folder = os.path.join(HERE, "sliders")
    os.makedirs(folder, exist_ok=True)
    states = [((70, 140, 220), (10, 40, 100)),    # normal
              ((140, 210, 255), (0, 60, 140))]    # pressed
    for name, (w, h) in {"position": (9, 9), "volume": (7, 11)}.items():
        c = Canvas(2 * w, h, KEY, scale)
        for i, (body, edge) in enumerate(states):
            x = i * w
            c.polygon([(x, 0), (x + w, 0), (x + w, h - 3), (x + w / 2, h), (x, h - 3)], edge)
            c.polygon([(x + 1, 1), (x + w - 1, 1), (x + w - 1, h - 3.5), (x + w / 2, h - 1.4),
                       (x + 1, h - 3.5)], body)
            c.rect(x + 1, 1, x + w - 1, 2, (230, 240, 255))
        for row in c.px:
            for p in row:
                if tuple(p) == KEY:
                    p[:] = [128, 128, 0]
        c.save_bmp(os.path.join(folder, scaled_name("%s_thumb.bmp" % name, scale)))


def icon():
    c = Canvas(64, 64, (0, 0, 0))
    c.alpha = [[0] * 64 for _ in range(64)]
    disc = Canvas(64, 64, (0, 0, 0))
    # Coverage mask for the round body, kept as alpha.
    for y in range(64):
        for x in range(64):
            hits = sum(1 for sy in range(4) for sx in range(4)
                       if (x + (sx + .5) / 4 - 32) ** 2 + (y + (sy + .5) / 4 - 32) ** 2 <= 30 ** 2)
            c.alpha[y][x] = round(255 * hits / 16)
            t = y / 63
            c.px[y][x] = [round(10 + 20 * t), round(60 - 30 * t), round(140 - 80 * t)]
    del disc
    c.ring(32, 32, 25, 28, (0, 200, 220))
    c.ring(32, 32, 18, 19.5, (0, 120, 150))
    c.polygon([(25, 18), (46, 32), (25, 46)], (250, 250, 255))
    c.polygon([(27, 22), (42, 32), (27, 42)], (90, 220, 120))
    c.save_png(os.path.join(HERE, "tovra3.png"))


if __name__ == "__main__":
    for factor in (1, 2):
        banner(factor, scaled_name("banner.jpg", factor))
        transport_glyphs(factor)
        button_pictures(factor)
        volume_picture(factor)
        slider_thumbs(factor)
    icon()
