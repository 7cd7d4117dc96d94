#!/usr/bin/env python3
"""Paints the Windows installer's artwork into OUT_DIR: vellox.ico (the
installer's, uninstaller's and Add/Remove Programs icon: the editor's knob
with its orange arc, 16 to 256 pixels), wizard.bmp (164 x 314, the welcome and finish pages)
and header.bmp (150 x 57, the other pages). Standard library only.
Usage: make_artwork.py OUT_DIR"""
import math
import os
import struct
import sys
import zlib

PANEL = (0x2B, 0x2C, 0x30)
PANEL_DARK = (0x1C, 0x1D, 0x20)
KNOB = (0x4A, 0x4C, 0x52)
ARC = (0xE8, 0x8A, 0x2C)
GROOVE = (0x12, 0x12, 0x14)
WHITE = (0xF2, 0xF2, 0xF2)
SAMPLES = 4  # per axis, for smooth edges


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def knob_shapes(cx, cy, r):
    """The editor's knob as (inside(x, y), colour) layers, back to front."""
    start, end, value = math.radians(225), math.radians(-45), 0.72
    pointer = start + (end - start) * value

    def ring(lo, hi, upto):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if not lo <= d <= hi:
                return False
            a = math.atan2(cy - y, x - cx)
            if a < -math.pi / 2:
                a += 2 * math.pi  # angles run from 225 down to -45 degrees
            return upto <= a <= start
        return inside

    def disc(radius):
        return lambda x, y: math.hypot(x - cx, y - cy) <= radius

    def needle(x, y):
        ux, uy = math.cos(pointer), -math.sin(pointer)
        px, py = x - cx, y - cy
        t = max(0.25 * r, min(0.62 * r, px * ux + py * uy))
        return math.hypot(px - t * ux, py - t * uy) <= 0.07 * r

    return [(ring(0.80 * r, r, end), GROOVE), (ring(0.80 * r, r, pointer), ARC),
            (disc(0.70 * r), KNOB), (needle, WHITE)]


def paint(width, height, background, layers):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            base = background(x + 0.5, y + 0.5)
            colour, alpha = base[:3], base[3]
            for inside, fill in layers:
                hits = sum(inside(x + (i + 0.5) / SAMPLES, y + (j + 0.5) / SAMPLES)
                           for i in range(SAMPLES) for j in range(SAMPLES))
                if hits:
                    t = hits / SAMPLES ** 2
                    colour = mix(colour, fill, t)
                    alpha = max(alpha, t)
            row.append(tuple(int(round(c)) for c in colour) + (int(round(255 * alpha)),))
        rows.append(row)
    return rows


def icon_image(size):
    r = size * 0.47
    corner = size * 0.2

    def background(x, y):
        # A rounded square of the panel's colour behind the knob.
        dx = max(corner - x, 0, x - (size - corner))
        dy = max(corner - y, 0, y - (size - corner))
        a = max(0.0, min(1.0, corner - math.hypot(dx, dy) + 0.5))
        return mix(PANEL, PANEL_DARK, y / size) + (a,)
    return paint(size, size, background, knob_shapes(size / 2, size / 2, r * 0.92))


def bitmap(width, height, knob_at, knob_r, chop_band):
    def background(x, y):
        base = mix(PANEL, PANEL_DARK, y / height)
        # The chop cycle as a band of bars: full level, then the short dip.
        lo, hi = chop_band
        if lo <= y <= hi:
            phase = (x / width * 3.0) % 1.0
            level = 0.35 if phase > 0.78 else 1.0
            if abs(y - (lo + hi) / 2) <= level * (hi - lo) / 2:
                base = mix(base, ARC, 0.85)
        return base + (1.0,)
    return paint(width, height, background, knob_shapes(knob_at[0], knob_at[1], knob_r))


def png_bytes(rows):
    """An RGBA PNG of the rows, as Windows takes the large icon sizes."""
    def chunk(kind, payload):
        body = kind + payload
        return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def write_ico(path, sizes):
    images = []
    for size in sizes:
        rows = icon_image(size)
        if size >= 256:
            # Stored as PNG, as Windows expects of 256 x 256 icons.
            images.append((size, png_bytes(rows)))
            continue
        pixels = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(rows) for r, g, b, a in row)
        mask_row = ((size + 31) // 32) * 4
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
        images.append((size, header + pixels + bytes(mask_row * size)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        # A size of 256 is written as 0.
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(data + b"".join(blob for _, blob in images))


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b"".join(b"".join(struct.pack("<BBB", b, g, r) for r, g, b, _ in row).ljust(stride, b"\0")
                      for row in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "vellox.ico"), [16, 24, 32, 48, 256])
    write_bmp(os.path.join(out, "wizard.bmp"), bitmap(164, 314, (82, 120), 52, (230, 270)))
    write_bmp(os.path.join(out, "header.bmp"), bitmap(150, 57, (122, 28), 22, (22, 34)))


if __name__ == "__main__":
    main()
