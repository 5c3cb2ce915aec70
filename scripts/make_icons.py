#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files into resources/.

The picture: a compact disc in front of a document sheet, with an open folder
at the lower right. Shapes are signed distance fields in unit coordinates,
sampled many times per pixel at each target size (so outlines stay one pixel
wide at 16 px), then mapped to the nearest colour of a fixed palette. Pixels
less than half covered are transparent through the AND mask.

Standard library only; the output is the same bytes on every run. The build
does not run this script: its .ico output is kept in the repository.

Usage: scripts/make_icons.py [--preview DIR]
"""

import argparse
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RESOURCES = os.path.join(ROOT, "resources")

SUBSAMPLES = 8  # per pixel edge: 64 samples a pixel

# --- palettes ---------------------------------------------------------------

VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]


def cube_and_greys():
    """6x6x6 colour cube (black first, so index 0 is the transparent pixel's
    colour) followed by 40 greys that fall between the cube's grey levels."""
    levels = [0, 51, 102, 153, 204, 255]
    palette = [(r, g, b) for r in levels for g in levels for b in levels]
    greys = [v for v in range(4, 255, 6) if v not in levels][:40]
    palette += [(v, v, v) for v in greys]
    assert len(palette) == 256 and len(set(palette)) == 256
    return palette


CUBE256 = cube_and_greys()
MONO = [(0, 0, 0), (255, 255, 255)]
PALETTES = {1: MONO, 4: VGA16, 8: CUBE256}


def tone_of(colour):
    """0 black, 1 grey, 2 white: how a colour shows in two colours."""
    lightness = (0.30 * colour[0] + 0.59 * colour[1] + 0.11 * colour[2]) / 255
    return 0 if lightness < 0.45 else 2 if lightness > 0.8 else 1


def nearest(palette, colour):
    """index_of of the nearest palette colour, weighted roughly by how the eye
    sees each channel; the lowest index wins a tie."""
    r, g, b = colour
    best, best_distance = 0, None
    for index, (pr, pg, pb) in enumerate(palette):
        distance = 3 * (r - pr) ** 2 + 6 * (g - pg) ** 2 + 1 * (b - pb) ** 2
        if best_distance is None or distance < best_distance:
            best, best_distance = index, distance
    return best


# --- geometry ---------------------------------------------------------------


def polygon_distance(points, x, y):
    """Signed distance to a closed polygon (negative inside)."""
    d = None
    inside = False
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        wx, wy = x - ax, y - ay
        t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
        dx, dy = wx - ex * t, wy - ey * t
        segment = dx * dx + dy * dy
        d = segment if d is None else min(d, segment)
        if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
            inside = not inside
    d = math.sqrt(d)
    return -d if inside else d


class Shape:
    """One layer: a distance function (unit coordinates), a fill colour
    function and an outline colour function (None: no outline there) for a
    band inside the edge, `outline` pixels wide."""

    def __init__(self, distance, fill, outline_colour=None, outline=1.0):
        self.distance = distance
        self.fill = fill
        self.outline_colour = outline_colour
        self.outline = outline


def polygon(points, fill, outline_colour=None, outline=1.0):
    edge = None if outline_colour is None else constant(outline_colour)
    return Shape(lambda x, y: polygon_distance(points, x, y), fill, edge, outline)


def constant(colour):
    return lambda x, y: colour


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# --- the picture ------------------------------------------------------------

WHITE = (255, 255, 255)
PAPER_SHADE = (226, 226, 226)
PAPER_EDGE = (112, 112, 112)
TEXT_LINE = (176, 176, 176)
DISC = (184, 186, 192)
DISC_SHADE = (150, 152, 160)
DISC_DARK = (136, 138, 146)
DISC_EDGE = (60, 60, 60)
HOLE_EDGE_PLAIN = (100, 100, 100)
HUB = (214, 216, 220)
FOLDER_BACK = (206, 160, 24)
FOLDER_FRONT = (255, 226, 72)
FOLDER_EDGE = (120, 84, 0)


def snap(points, size):
    """Moves polygon corners onto pixel corners, so straight outlines at the
    target size cover whole pixels instead of two half-tones."""
    return [(round(px * size) / size, round(py * size) / size) for px, py in points]


def picture(size, simple):
    """The layers, back to front, for a square icon of `size` pixels.
    `simple` leaves out the small details (text lines, hub ring, sheen)."""
    px = 1.0 / size
    layers = []

    # The document sheet at the back, its upper right corner folded over. It
    # reaches left past the disc's hole, so the hole always shows paper.
    left, top, right, bottom, fold = 0.16, 0.03, 0.86, 0.74, 0.20
    sheet = snap([(left, top), (right - fold, top), (right, top + fold), (right, bottom), (left, bottom)], size)
    layers.append(polygon(sheet, lambda x, y: mix(WHITE, PAPER_SHADE, max(0.0, min(1.0, (x - left) / (right - left)))),
                          PAPER_EDGE))
    if not simple and size >= 24:
        lines = [0.10, 0.16, 0.22] if size >= 32 else [0.125, 0.21]
        for line_y in lines:
            y0 = round(line_y * size) / size
            line_right = right - fold - 2 * px if line_y < top + fold else right - 3 * px
            bar = snap([(left + 0.12, y0), (line_right, y0), (line_right, y0 + px), (left + 0.12, y0 + px)], size)
            layers.append(polygon(bar, constant(TEXT_LINE)))
    corner = snap([(right - fold, top), (right, top + fold), (right - fold, top + fold)], size)
    layers.append(polygon(corner, constant(PAPER_SHADE), PAPER_EDGE))

    # The disc in front, left of centre: silver with a hole and two light
    # streaks across it. Its centre sits on a pixel corner so the rings are even.
    cx = round(0.40 * size) / size
    cy = round(0.56 * size) / size
    radius = 0.375
    hole = max(0.085, 2.0 * px)
    hub = max(0.17, 3.5 * px)

    def disc_distance(x, y):
        r = math.hypot(x - cx, y - cy)
        return max(r - radius, hole - r)

    def disc_fill(x, y):
        r = math.hypot(x - cx, y - cy)
        if r < hub:
            return HUB
        # Light falls from the upper left: the disc is darker towards the lower right.
        base = mix(DISC, DISC_SHADE, max(0.0, ((x - cx) + (y - cy)) / (2 * radius)))
        if simple:
            return base
        angle = math.atan2(y - cy, x - cx)
        sheen = max(0.0, math.cos(2 * (angle + math.pi / 4))) ** 6
        return mix(base, WHITE, 0.9 * sheen)

    def disc_edge(x, y):
        return DISC_EDGE if math.hypot(x - cx, y - cy) > hub else None

    # The rim a touch over a pixel wide: a one-pixel ring breaks up on the diagonals.
    layers.append(Shape(disc_distance, disc_fill, disc_edge, 1.0 if size >= 32 else 1.15))

    def hole_edge(x, y):
        return abs(math.hypot(x - cx, y - cy) - hole - 0.5 * px) - 0.5 * px

    # The hole's edge lighter than the rim, or it swamps the hub at small sizes;
    # darker in the plain picture, so that it stays black in two colours.
    layers.append(Shape(hole_edge, constant(HOLE_EDGE_PLAIN if simple else DISC_DARK)))
    if not simple and size >= 32:
        # The hub's edge: a thin darker ring, drawn only where there is room.
        def hub_ring(x, y):
            r = math.hypot(x - cx, y - cy)
            return abs(r - hub) - 0.5 * px
        layers.append(Shape(hub_ring, constant(DISC_DARK)))

    # The open folder, lower right, in front of the disc: back with a tab,
    # then the front flap leaning to the right.
    back = snap([(0.54, 0.62), (0.70, 0.62), (0.75, 0.68), (0.94, 0.68), (0.94, 0.97), (0.54, 0.97)], size)
    layers.append(polygon(back, constant(FOLDER_BACK), FOLDER_EDGE))
    flap = snap([(0.62, 0.76), (0.99, 0.76), (0.94, 0.97), (0.54, 0.97)], size)
    layers.append(polygon(flap, constant(FOLDER_FRONT), FOLDER_EDGE))
    return layers


def render(size, simple):
    """Returns, per pixel (rows top to bottom), the colours of its covered
    samples and the covered share of the pixel."""
    layers = picture(size, simple)
    pixels = []
    step = 1.0 / (size * SUBSAMPLES)
    for row in range(size):
        line = []
        for column in range(size):
            samples = []
            for sy in range(SUBSAMPLES):
                y = (row * SUBSAMPLES + sy + 0.5) * step
                for sx in range(SUBSAMPLES):
                    x = (column * SUBSAMPLES + sx + 0.5) * step
                    colour = None
                    for layer in layers:
                        d = layer.distance(x, y) * size  # in pixels
                        if d < 0:
                            edge = None
                            if layer.outline_colour is not None and d > -layer.outline:
                                edge = layer.outline_colour(x, y)
                            colour = edge if edge is not None else layer.fill(x, y)
                    if colour is not None:
                        samples.append(tuple(int(round(c)) for c in colour))
            line.append((samples, len(samples) / SUBSAMPLES ** 2))
        pixels.append(line)
    return pixels


def palette_indexes(pixels, palette):
    """Palette index per pixel, None where transparent. A pixel takes the
    palette colour nearest to the mean of its samples. With 16 colours, and
    in the small sizes, only a colour that one of its samples maps to: the
    blend of a grey outline and its fill must not come out blue, and at 16
    or 24 pixels blended edges look blurred rather than smooth."""
    cache = {}

    def index_of(colour):
        if colour not in cache:
            cache[colour] = nearest(palette, colour)
        return cache[colour]

    result = []
    for y, line in enumerate(pixels):
        row = []
        for x, (samples, alpha) in enumerate(line):
            if alpha < 0.5:
                row.append(None)
                continue
            mean = tuple(sum(c[i] for c in samples) / len(samples) for i in range(3))
            if len(palette) == 2:
                # Black and white: most samples decide between black, white and
                # grey; grey is a checkerboard, so the disc stands apart from the sheet.
                votes = [0, 0, 0]
                for c in samples:
                    votes[tone_of(c)] += 1
                tone = votes.index(max(votes))
                row.append((x + y) % 2 if tone == 1 else tone // 2)
            elif len(palette) > 16 and len(pixels) > 24:
                row.append(nearest(palette, mean))
            else:
                candidates = sorted({index_of(c) for c in samples})
                row.append(candidates[nearest([palette[i] for i in candidates], mean)])
        result.append(row)
    return result


# --- icon files -------------------------------------------------------------


def icon_image(pixels, bpp):
    """One icon image in the BMP layout: BITMAPINFOHEADER with doubled
    height, colour table, XOR bits, then the AND mask; rows bottom-up."""
    palette = PALETTES[bpp]
    size = len(pixels)
    chosen = palette_indexes(pixels, palette)
    # Transparent pixels are black in the XOR bits: screen AND 1 XOR 0.
    indexes = [[0 if i is None else i for i in row] for row in chosen]
    mask = [[1 if i is None else 0 for i in row] for row in chosen]

    def pack_rows(rows, bits):
        out = bytearray()
        for row in reversed(rows):
            packed = bytearray()
            accumulator, filled = 0, 0
            for value in row:
                accumulator = (accumulator << bits) | value
                filled += bits
                if filled == 8:
                    packed.append(accumulator)
                    accumulator, filled = 0, 0
            if filled:
                packed.append(accumulator << (8 - filled))
            while len(packed) % 4:
                packed.append(0)
            out += packed
        return bytes(out)

    xor_bits = pack_rows(indexes, bpp)
    and_bits = pack_rows(mask, 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0, len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    assert len(palette) == 1 << bpp
    return header + colour_table + xor_bits + and_bits


def icon_file(images):
    """An .ico file: ICONDIR, one ICONDIRENTRY per (size, bpp, data), then the images."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        colours = 1 << bpp if bpp < 8 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def write_png(path, rows):
    """Writes RGBA rows (lists of (r, g, b, a)) as a PNG, for looking at the result."""
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    height, width = len(rows), len(rows[0])
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def quantized(pixels, bpp):
    palette = PALETTES[bpp]
    return [[(0, 0, 0, 0) if i is None else palette[i] + (255,) for i in row] for row in palette_indexes(pixels, palette)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNG previews into DIR")
    args = parser.parse_args()

    renders = {}

    def rendered(size, simple):
        if (size, simple) not in renders:
            renders[(size, simple)] = render(size, simple)
        return renders[(size, simple)]

    # The program icon: every size in 16 and in 256 colours.
    program_icon = [(size, bpp) for size in (16, 24, 32, 48) for bpp in (4, 8)]
    # The second group: the same picture without the fine detail.
    second = [(32, 1), (32, 4), (16, 4)]
    files = {"a_main.ico": (program_icon, False), "app.ico": (second, True)}

    for name, (entries, simple) in files.items():
        images = [(size, bpp, icon_image(rendered(size, simple), bpp)) for size, bpp in entries]
        with open(os.path.join(RESOURCES, name), "wb") as f:
            f.write(icon_file(images))
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            for size, bpp in entries:
                scale = 192 // size
                rows = []
                for line in quantized(rendered(size, simple), bpp):
                    wide = [p for p in line for _ in range(scale)]
                    rows += [wide] * scale
                write_png(os.path.join(args.preview, f"{name[:-4]}-{size}-{bpp}.png"), rows)


if __name__ == "__main__":
    main()
