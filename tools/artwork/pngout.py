"""Writes cairo ARGB32 surfaces as 8-bit RGBA PNG files with straight alpha.

cairo keeps premultiplied pixels in native byte order; the editor's PNG
decoder expects straight alpha, so every pixel is un-premultiplied here.
The output depends only on the pixels: no time stamps, fixed zlib level.

A filmstrip (frames stacked top to bottom) is stored with its frames side by
side and an "stRP" chunk giving their number; the editor's decoder stacks them
again. Side by side, a pixel's twin in the next frame is one frame width back
in the same row, within reach of deflate's 32 KB window, so what the frames
share (cap, shadow, ring track) is stored about once instead of per frame.
"""

import struct
import sys
import zlib

# _UNPREMULTIPLY[a][c] = round(c * 255 / a), limited to 255.
_UNPREMULTIPLY = [bytes(256)] + [
    bytes(min(255, (c * 255 + a // 2) // a) for c in range(256)) for a in range(1, 256)
]


def straight_rgba_rows(surface):
    """Returns the surface as a list of RGBA rows (bytes), straight alpha."""
    surface.flush()
    width, height, stride = surface.get_width(), surface.get_height(), surface.get_stride()
    data = bytes(surface.get_data())
    little = sys.byteorder == "little"
    rows = []
    for y in range(height):
        raw = data[y * stride: y * stride + width * 4]
        out = bytearray(width * 4)
        for x in range(0, width * 4, 4):
            if little:
                b, g, r, a = raw[x], raw[x + 1], raw[x + 2], raw[x + 3]
            else:
                a, r, g, b = raw[x], raw[x + 1], raw[x + 2], raw[x + 3]
            if a == 0:
                continue  # fully transparent pixels are stored as 0, 0, 0, 0
            table = _UNPREMULTIPLY[a]
            out[x] = table[r]
            out[x + 1] = table[g]
            out[x + 2] = table[b]
            out[x + 3] = a
        rows.append(bytes(out))
    return rows


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filtered_candidates(row, prev):
    left = bytes(4) + row[:-4]
    upleft = bytes(4) + prev[:-4]
    yield 0, row
    yield 1, bytes((x - l) & 255 for x, l in zip(row, left))
    yield 2, bytes((x - u) & 255 for x, u in zip(row, prev))
    yield 3, bytes((x - ((l + u) >> 1)) & 255 for x, l, u in zip(row, left, prev))
    yield 4, bytes((x - _paeth(l, u, c)) & 255 for x, l, u, c in zip(row, left, prev, upleft))


def _cost(data):
    # The usual heuristic: smallest sum of bytes read as signed values.
    return sum(v if v < 128 else 256 - v for v in data)


def _filter_rows(rows, adaptive):
    out = bytearray()
    prev = bytes(len(rows[0])) if rows else b""
    for row in rows:
        if not adaptive or (not any(row) and not any(prev)):
            out += b"\x00" + row
        else:
            kind, data = min(_filtered_candidates(row, prev), key=lambda c: _cost(c[1]))
            out += bytes([kind]) + data
        prev = row
    return bytes(out)


def _chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def _deflate(data):
    compressor = zlib.compressobj(9, zlib.DEFLATED, 15, 9)
    return compressor.compress(data) + compressor.flush()


def side_by_side(rows, frames):
    """The rows of a strip of frames stacked top to bottom, with the frames
    placed left to right instead."""
    height = len(rows) // frames
    return [b"".join(rows[frame * height + y] for frame in range(frames)) for y in range(height)]


def write_png(path, surface, frames=1):
    """Stores the surface as an RGBA PNG (colour type 6, 8 bits per sample);
    a strip of several frames is stored side by side, see above."""
    rows = straight_rgba_rows(surface)
    if surface.get_height() % frames != 0:
        raise ValueError("%d frames do not split a height of %d" % (frames, surface.get_height()))
    width, height = surface.get_width(), surface.get_height()
    strip = b""
    if frames > 1:
        rows = side_by_side(rows, frames)
        width, height = width * frames, height // frames
        strip = _chunk(b"stRP", struct.pack(">I", frames))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    # Per-row prediction usually wins, but rows that repeat the frame before
    # may compress better unfiltered: keep the smaller one.
    idat = min((_deflate(_filter_rows(rows, adaptive)) for adaptive in (True, False)), key=len)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(_chunk(b"IHDR", header))
        f.write(strip)  # right after the header, where the decoder looks first
        f.write(_chunk(b"IDAT", idat))
        f.write(_chunk(b"IEND", b""))
