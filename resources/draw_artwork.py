#!/usr/bin/env python3
"""Draws the tool-bar glyphs and the program icon of Kelderwyn Map as PNG files.

Only the Python standard library is used. Every shape is an inside test in
the coordinates of the drawing's units; a pixel's coverage is the share of an
8 x 8 grid of samples inside it, composited "over" what is already drawn. The
output is the same bytes on every run. kelderwyn-map.svg is drawn by hand
after the same geometry as the 32 x 32 icon.

Each glyph is drawn from the same shapes twice: 16 x 16 pixels for one unit
a pixel, and as NAME@2x.png at 32 x 32, two pixels a unit, which Qt picks on a
screen of two device pixels per logical one (and at 1.25 or 1.5, scaled
down). The magnifiers carry a light edge outside their dark frame and handle,
so that they stand out on a dark tool bar as on a light one.

Usage: python3 draw_artwork.py [OUTPUT_DIR]   (default: the folder of this script)
"""

import math
import os
import struct
import sys
import zlib

SAMPLES = 8


class Canvas:
    def __init__(self, width, height, unit=1):
        """width and height in units; unit pixels to a unit."""
        self.unit = unit
        self.width = width * unit
        self.height = height * unit
        # Straight (not premultiplied) RGBA, components 0..1.
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.width * self.height)]

    def fill(self, inside, colour, bounds=None):
        """Paints colour (r, g, b[, a] in 0..255) where inside(x, y) holds."""
        r, g, b = (c / 255.0 for c in colour[:3])
        alpha = colour[3] / 255.0 if len(colour) > 3 else 1.0
        u = self.unit
        x0, y0, x1, y1 = (c * u for c in bounds) if bounds else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        step = 1.0 / SAMPLES
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for sy in range(SAMPLES):
                    y = (py + (sy + 0.5) * step) / u
                    for sx in range(SAMPLES):
                        if inside((px + (sx + 0.5) * step) / u, y):
                            hits += 1
                if hits:
                    self._over(px, py, r, g, b, alpha * hits / (SAMPLES * SAMPLES))

    def _over(self, px, py, r, g, b, a):
        dst = self.pixels[py * self.width + px]
        out_a = a + dst[3] * (1.0 - a)
        if out_a <= 0.0:
            return
        for i, src in enumerate((r, g, b)):
            dst[i] = (src * a + dst[i] * dst[3] * (1.0 - a)) / out_a
        dst[3] = out_a

    def png(self):
        rows = bytearray()
        for py in range(self.height):
            rows.append(0)
            for px in range(self.width):
                for c in self.pixels[py * self.width + px]:
                    rows.append(max(0, min(255, int(round(c * 255.0)))))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


# Inside tests -----------------------------------------------------------------

def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner < (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + radius - x, 0.0, x - (x1 - radius))
        dy = max(y0 + radius - y, 0.0, y - (y1 - radius))
        return dx * dx + dy * dy <= radius * radius
    return inside


def segment_distance(x, y, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)
    t = max(0.0, min(1.0, t))
    return math.hypot(x - ax - t * vx, y - ay - t * vy)


def capsule(ax, ay, bx, by, width):
    """A line of the given width with round ends."""
    return lambda x, y: segment_distance(x, y, ax, ay, bx, by) <= width / 2.0


def polygon(points):
    """Even-odd fill of a closed polygon."""
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                result = not result
        return result
    return inside


def outline(points, width):
    """The closed outline of a polygon, centred on its edges."""
    n = len(points)

    def inside(x, y):
        return any(segment_distance(x, y, *points[i], *points[(i + 1) % n]) <= width / 2.0 for i in range(n))
    return inside


def both(first, second):
    return lambda x, y: first(x, y) and second(x, y)


def scaled(points, s, dx=0.0, dy=0.0):
    return [(x * s + dx, y * s + dy) for x, y in points]


# Tool-bar glyphs, 16 x 16 -------------------------------------------------------

INK = (28, 32, 48)
FRAME = (52, 58, 72)
GLASS = (196, 226, 250)
GLASS_SHADE = (150, 190, 228)
HANDLE = (118, 78, 40)
HANDLE_DARK = (70, 44, 20)
# Nearly invisible on a light tool bar, a clear rim on a dark one.
EDGE = (250, 250, 250, 190)
EDGE_WIDTH = 0.7


def magnifier(canvas):
    """Lens centred on the corner of pixels (6, 6) so that the signs inside it fall on whole pixels;
    the frame and its light edge end at the glyph's top and left sides."""
    cx, cy = 6.0, 6.0
    frame_outer = 6.0 - EDGE_WIDTH
    canvas.fill(capsule(10.2, 10.2, 13.6, 13.6, 3.6 + 2 * EDGE_WIDTH), EDGE)
    canvas.fill(circle(cx, cy, frame_outer + EDGE_WIDTH), EDGE)
    canvas.fill(capsule(10.2, 10.2, 13.6, 13.6, 3.6), HANDLE_DARK)
    canvas.fill(capsule(10.2, 10.2, 13.4, 13.4, 2.0), HANDLE)
    canvas.fill(circle(cx, cy, 4.2), GLASS_SHADE)
    canvas.fill(circle(cx - 0.5, cy - 0.5, 3.6), GLASS)
    canvas.fill(both(ring(cx, cy, 3.9, 2.7), lambda x, y: x + y < 2 * cx - 2.2 and x - y < 1.6 and y - x < 1.6),
                (255, 255, 255, 200))
    canvas.fill(ring(cx, cy, frame_outer, 4.1), FRAME)


def zoom_in(unit=1):
    canvas = Canvas(16, 16, unit)
    magnifier(canvas)
    canvas.fill(rect(3, 5, 9, 7), INK)
    canvas.fill(rect(5, 3, 7, 9), INK)
    return canvas


def zoom_out(unit=1):
    canvas = Canvas(16, 16, unit)
    magnifier(canvas)
    canvas.fill(rect(3, 5, 9, 7), INK)
    return canvas


def zoom_actual(unit=1):
    canvas = Canvas(16, 16, unit)
    magnifier(canvas)
    return canvas


def go(unit=1):
    canvas = Canvas(16, 16, unit)
    canvas.fill(rounded_rect(0.5, 0.5, 15.5, 15.5, 2.5), (22, 104, 36))
    canvas.fill(rounded_rect(1.5, 1.5, 14.5, 14.5, 1.8), (52, 160, 62))
    canvas.fill(rounded_rect(1.5, 1.5, 14.5, 8.0, 1.8), (96, 196, 96, 110))
    arrow = [(3.0, 6.0), (8.0, 6.0), (8.0, 2.8), (13.2, 8.0), (8.0, 13.2), (8.0, 10.0), (3.0, 10.0)]
    canvas.fill(polygon([(x + 0.5, y + 0.6) for x, y in arrow]), (10, 70, 20, 150))
    canvas.fill(polygon(arrow), (255, 255, 255))
    return canvas


# Program icon: a folded map with a compass rose, drawn on a 32-unit grid --------

PAPER = (238, 220, 168)
PAPER_FOLD = (214, 190, 134)
PAPER_EDGE = (104, 74, 38)
SEA = (110, 160, 200)
NORTH = (196, 36, 32)
NORTH_DARK = (128, 20, 20)
POINT = (46, 56, 86)
POINT_LIGHT = (110, 122, 156)

PANELS = [
    [(3, 7), (11, 4), (11, 27), (3, 30)],
    [(11, 4), (21, 7), (21, 30), (11, 27)],
    [(21, 7), (29, 4), (29, 27), (21, 30)],
]
MAP_OUTLINE = [(3, 7), (11, 4), (21, 7), (29, 4), (29, 27), (21, 30), (11, 27), (3, 30)]
COAST = [(3, 19), (7, 17), (11, 18.5), (11, 27), (3, 30)]


def icon(size):
    s = size / 32.0
    canvas = Canvas(size, size)
    for index, panel in enumerate(PANELS):
        canvas.fill(polygon(scaled(panel, s)), PAPER_FOLD if index == 1 else PAPER)
    canvas.fill(polygon(scaled(COAST, s)), SEA)
    canvas.fill(outline(scaled(MAP_OUTLINE, s), max(1.0, 1.4 * s)), PAPER_EDGE)
    if size >= 32:
        canvas.fill(capsule(11 * s, 4 * s, 11 * s, 27 * s, 0.8), PAPER_EDGE + (150,))
        canvas.fill(capsule(21 * s, 7 * s, 21 * s, 30 * s, 0.8), PAPER_EDGE + (150,))

    # Compass rose on a pale dial: four points, each split into a lit and a shaded half.
    cx, cy = 16.0, 17.0
    long_point, short_point, waist = 12.5, 9.0, 3.4
    canvas.fill(circle(cx * s, cy * s, 7.2 * s), (252, 246, 226, 210))
    if size >= 32:
        canvas.fill(ring(cx * s, cy * s, 7.2 * s, 6.2 * s), PAPER_EDGE + (190,))
    for dx, dy, length in ((0, -1, long_point), (1, 0, short_point), (0, 1, long_point), (-1, 0, short_point)):
        tip = (cx + dx * length, cy + dy * length)
        left = (cx - dy * waist, cy + dx * waist)
        right = (cx + dy * waist, cy - dx * waist)
        centre = (cx, cy)
        north = dy == -1
        lit = NORTH if north else POINT_LIGHT
        shaded = NORTH_DARK if north else POINT
        canvas.fill(polygon(scaled([centre, left, tip], s)), lit)
        canvas.fill(polygon(scaled([centre, tip, right], s)), shaded)
    if size >= 32:
        canvas.fill(circle(cx * s, cy * s, 1.3 * s), (250, 244, 220))
        canvas.fill(ring(cx * s, cy * s, 1.3 * s + 0.6, 1.3 * s), POINT)
    return canvas


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    images = {
        "kelderwyn-map-16.png": icon(16),
        "kelderwyn-map-32.png": icon(32),
    }
    for name, glyph in (("zoom_in", zoom_in), ("zoom_out", zoom_out), ("zoom_actual", zoom_actual), ("go", go)):
        images[name + ".png"] = glyph()
        images[name + "@2x.png"] = glyph(2)
    for name, canvas in images.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(canvas.png())


if __name__ == "__main__":
    main()
