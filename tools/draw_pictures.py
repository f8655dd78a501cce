#!/usr/bin/env python3
"""Draws the window's pictures as PNG files.

Usage: tools/draw_pictures.py [OUTPUT_DIR]   (default: src/app/resources)

Only the standard library: shapes are rasterised with 4x4 supersampling and
written with zlib. The pictures are Quillark's own: state squares, sort
arrows, tab icons, the button picture, the logo and a decorative QR-style
payment code (it encodes nothing and names no payment service).
"""
import os
import random
import struct
import sys
import zlib

SS = 4  # supersampling factor


class Canvas:
    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.w, self.h = width, height
        self.px = [[list(background) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        r, g, b, a = colour
        a = a / 255.0 * min(coverage, 1.0)
        dst = self.px[y][x]
        da = dst[3] / 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        for i, c in enumerate((r, g, b)):
            dst[i] = round((c * a + dst[i] * da * (1 - a)) / oa)
        dst[3] = round(oa * 255)

    def fill(self, inside, colour, box=None):
        """inside(x, y) -> bool in pixel coordinates (floats)."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, int(y0)), min(self.h, int(y1) + 1)):
            for x in range(max(0, int(x0)), min(self.w, int(x1) + 1)):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self.blend(x, y, colour, hits / (SS * SS))

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.blend(x, y, colour, 1.0)

    def circle(self, cx, cy, r, colour, inner=0.0):
        self.fill(lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour,
                  (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))

    def polygon(self, points, colour):
        def inside(x, y):
            result = False
            n = len(points)
            for i in range(n):
                xa, ya = points[i]
                xb, yb = points[(i + 1) % n]
                if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                    result = not result
            return result
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.fill(inside, colour, (min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1))

    def line(self, xa, ya, xb, yb, width, colour):
        def inside(x, y):
            dx, dy = xb - xa, yb - ya
            length2 = dx * dx + dy * dy or 1e-9
            t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length2))
            px, py = xa + t * dx, ya + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
        pad = width + 1
        self.fill(inside, colour, (min(xa, xb) - pad, min(ya, yb) - pad, max(xa, xb) + pad,
                                   max(ya, yb) + pad))

    def save(self, path):
        raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in self.px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(png)


def state_square(colour, edge):
    c = Canvas(12, 12)
    c.rect(1, 1, 11, 11, edge)
    c.rect(2, 2, 10, 10, colour)
    c.rect(3, 3, 6, 4, (255, 255, 255, 110))  # a small highlight
    return c


def arrow(up):
    c = Canvas(8, 7)
    grey, white = (128, 128, 128, 255), (255, 255, 255, 255)
    # Triangle outline: apex and base corners, one pixel wide.
    rows = [(3, 4), (3, 4), (2, 5), (2, 5), (1, 6), (1, 6), (0, 7)]
    for i, (left, right) in enumerate(rows):
        y = i if up else 6 - i
        c.rect(left, y, left + 1, y + 1, grey)
        c.rect(right, y, right + 1, y + 1, white)  # highlight edge on the lit side
    base_y = 6 if up else 0
    c.rect(1, base_y, 7, base_y + 1, white if up else grey)
    return c


def tab_servers():
    c = Canvas(16, 16)
    for top in (1, 6, 11):
        c.rect(1, top, 15, top + 4, (70, 110, 170, 255))
        c.rect(2, top + 1, 14, top + 3, (150, 190, 240, 255))
        c.rect(11, top + 1, 13, top + 3, (60, 200, 90, 255))
    return c


def tab_global():
    c = Canvas(16, 16)
    c.circle(8, 8, 7, (40, 130, 220, 255))
    c.circle(8, 8, 7, (20, 80, 160, 255), inner=6.2)
    c.line(1.5, 8, 14.5, 8, 1.0, (230, 240, 255, 255))
    c.line(8, 1.5, 8, 14.5, 1.0, (230, 240, 255, 255))
    c.circle(8, 8, 3.6, (230, 240, 255, 255), inner=2.8)
    return c


def tab_help():
    c = Canvas(16, 16)
    c.circle(8, 8, 7.2, (250, 170, 30, 255))
    c.rect(7, 3, 9, 5, (255, 255, 255, 255))
    c.rect(7, 6, 9, 13, (255, 255, 255, 255))
    return c


def button_picture():
    c = Canvas(24, 24)
    c.circle(12, 12, 10.5, (0, 136, 255, 255))
    c.circle(12, 12, 10.5, (0, 90, 190, 255), inner=9.5)
    # A latency gauge: tick marks and a needle.
    for i, (xa, ya, xb, yb) in enumerate([(5, 14, 7, 13), (7, 7, 8.5, 8.5), (12, 4, 12, 6),
                                          (17, 7, 15.5, 8.5), (19, 14, 17, 13)]):
        c.line(xa, ya, xb, yb, 1.3, (255, 255, 255, 255))
    c.line(12, 14, 16.5, 8.5, 2.0, (255, 230, 80, 255))
    c.circle(12, 14, 2, (255, 255, 255, 255))
    return c


def logo():
    c = Canvas(96, 96)
    c.circle(48, 48, 44, (0, 136, 255, 255))
    c.circle(48, 48, 44, (0, 96, 200, 255), inner=40)
    # A stylised quill: a feather shape crossing the circle.
    c.polygon([(28, 74), (64, 22), (74, 20), (70, 32), (36, 76)], (255, 255, 255, 255))
    c.line(26, 78, 66, 26, 2.0, (0, 96, 200, 255))
    # Signal arcs: latency.
    for r in (12, 20, 28):
        c.fill(lambda x, y, r=r: (r - 2.2) ** 2 <= (x - 62) ** 2 + (y - 70) ** 2 <= r * r
               and x > 62 and y < 70 and (x - 62) > 0.35 * (70 - y) - 1 and (70 - y) > 0.35 * (x - 62) - 1,
               (255, 230, 80, 255), (60, 40, 92, 72))
    c.circle(62, 70, 3.2, (255, 230, 80, 255))
    return c


def qr_style_code():
    """150 x 150: 29 x 29 modules of 5 pixels with a 2-module quiet zone = 165;
    use 25 x 25 modules of 5 pixels (125) with a margin of 12.5 -> 150."""
    size, modules, unit, margin = 150, 25, 5, 12
    c = Canvas(size, size, (255, 255, 255, 255))
    black = (20, 20, 20, 255)
    grid = [[False] * modules for _ in range(modules)]
    rng = random.Random(20240513)  # fixed: the picture never changes
    for y in range(modules):
        for x in range(modules):
            grid[y][x] = rng.random() < 0.5

    def finder(ox, oy):
        for y in range(-1, 8):
            for x in range(-1, 8):
                if 0 <= ox + x < modules and 0 <= oy + y < modules:
                    on = (0 <= x <= 6 and 0 <= y <= 6 and
                          (x in (0, 6) or y in (0, 6) or (2 <= x <= 4 and 2 <= y <= 4)))
                    grid[oy + y][ox + x] = on
    finder(0, 0)
    finder(modules - 7, 0)
    finder(0, modules - 7)
    for i in range(8, modules - 8):  # timing patterns
        grid[6][i] = grid[i][6] = i % 2 == 0
    for y in range(modules):
        for x in range(modules):
            if grid[y][x]:
                c.rect(margin + x * unit, margin + y * unit, margin + (x + 1) * unit,
                       margin + (y + 1) * unit, black)
    # The logo's colour in the middle.
    c.rect(63, 63, 87, 87, (255, 255, 255, 255))
    c.circle(75, 75, 10, (0, 136, 255, 255))
    return c


def main():
    if "--help" in sys.argv[1:] or "-h" in sys.argv[1:]:
        print(__doc__.strip())
        return
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "src", "app", "resources")
    os.makedirs(out, exist_ok=True)
    pictures = {
        "state_green.png": state_square((40, 190, 70, 255), (20, 120, 40, 255)),
        "state_grey.png": state_square((170, 170, 170, 255), (110, 110, 110, 255)),
        "state_amber.png": state_square((255, 180, 0, 255), (190, 120, 0, 255)),
        "arrow_up.png": arrow(True),
        "arrow_down.png": arrow(False),
        "tab_servers.png": tab_servers(),
        "tab_global.png": tab_global(),
        "tab_help.png": tab_help(),
        "button_test.png": button_picture(),
        "logo.png": logo(),
        "qr_code.png": qr_style_code(),
    }
    for name, canvas in pictures.items():
        canvas.save(os.path.join(out, name))
        print(f"{name}: {canvas.w} x {canvas.h}")


if __name__ == "__main__":
    main()
