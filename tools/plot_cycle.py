#!/usr/bin/python3
"""Draws the chop cycle from real renders: a constant signal goes through the
built plug-in with `vellox render` for two settings, and the gain it comes out
with (output / input) is plotted over two cycles of each. Writes docs/cycle.png.

Usage: tools/plot_cycle.py [--vellox PATH] [--out PNG]
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile

import cairo

RATE = 44100
LEVEL = 0.5  # exactly representable in 16-bit PCM
SETTINGS = [  # (label, --set values, colour)
    ("CHOP 0.5 s, DRY 0.20, FADE 50 Hz", ["CHOP=0.5", "DRY=0.2", "FADE=50"], (0.85, 0.35, 0.1)),
    ("CHOP 1.0 s, DRY 0.00, FADE 10 Hz", ["CHOP=1.0", "DRY=0", "FADE=10"], (0.1, 0.4, 0.8)),
]


def write_constant_wav(path, seconds, channels=1):
    frames = int(seconds * RATE)
    data = struct.pack("<h", int(LEVEL * 32768)) * (frames * channels)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, RATE, RATE * 2 * channels, 2 * channels, 16))
        f.write(b"data" + struct.pack("<I", len(data)) + data)


def read_float_wav(path, channels=1):
    """The samples of a float WAV file, one list per channel."""
    with open(path, "rb") as f:
        raw = f.read()
    pos = 12
    while pos + 8 <= len(raw):
        tag, size = raw[pos:pos + 4], struct.unpack("<I", raw[pos + 4:pos + 8])[0]
        if tag == b"data":
            body = raw[pos + 8:pos + 8 + size]
            samples = struct.unpack("<%df" % (len(body) // 4), body)
            return [samples[c::channels] for c in range(channels)]
        pos += 8 + size + (size & 1)
    sys.exit("no audio data in " + path)


def render_gain(vellox, settings, seconds, work, options=(), channels=1):
    """The gain of a render of `seconds` with the --set values and other
    options: one list, or one per channel when there are more."""
    source = os.path.join(work, "constant.wav")
    out = os.path.join(work, "out.wav")
    write_constant_wav(source, seconds, channels)
    args = [vellox, "render", "--in", source, "--out", out, "--format", "float", *options]
    for s in settings:
        args += ["--set", s]
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
    gains = [[s / LEVEL for s in channel] for channel in read_float_wav(out, channels)]
    return gains[0] if channels == 1 else gains


def plot(curves, path):
    width, height, left, right, top, bottom = 900, 420, 70, 20, 40, 60
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, width, height)
    c = cairo.Context(surface)
    c.set_source_rgb(1, 1, 1)
    c.paint()
    seconds = max(len(g) for _, g, _ in curves) / RATE
    pw, ph = width - left - right, height - top - bottom
    x_of = lambda t: left + pw * t / seconds
    y_of = lambda g: top + ph * (1.0 - g / 1.1)
    c.select_font_face("DejaVu Sans")
    c.set_font_size(13)
    c.set_line_width(1)
    for i in range(0, 12, 2):  # gain grid, 0 to 1
        g = i / 10
        c.set_source_rgb(0.88, 0.88, 0.88)
        c.move_to(left, y_of(g)); c.line_to(width - right, y_of(g)); c.stroke()
        c.set_source_rgb(0.2, 0.2, 0.2)
        c.move_to(left - 35, y_of(g) + 4); c.show_text("%.1f" % g)
    step = 0.25
    t = 0.0
    while t <= seconds + 1e-9:  # time grid
        c.set_source_rgb(0.88, 0.88, 0.88)
        c.move_to(x_of(t), top); c.line_to(x_of(t), top + ph); c.stroke()
        c.set_source_rgb(0.2, 0.2, 0.2)
        c.move_to(x_of(t) - 12, top + ph + 18); c.show_text("%.2f" % t)
        t += step
    c.move_to(left + pw / 2 - 30, height - 15); c.show_text("time (s)")
    c.save(); c.move_to(20, top + ph / 2 + 20); c.rotate(-1.5708); c.show_text("gain"); c.restore()
    for n, (label, gain, colour) in enumerate(curves):
        c.set_source_rgb(*colour)
        c.set_line_width(2)
        stride = max(1, len(gain) // (pw * 4))
        c.move_to(x_of(0), y_of(gain[0]))
        for i in range(0, len(gain), stride):
            c.line_to(x_of(i / RATE), y_of(gain[i]))
        c.stroke()
        c.move_to(left + 10 + n * 400, 25); c.show_text(label)
    surface.write_to_png(path)


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vellox", default=os.path.join(top, "build", "linux", "vellox"))
    parser.add_argument("--out", default=os.path.join(top, "docs", "cycle.png"))
    options = parser.parse_args()
    curves = []
    with tempfile.TemporaryDirectory() as work:
        for label, settings, colour in SETTINGS:
            chop = float(settings[0].split("=")[1])
            # Two cycles (CHOP - 0.1 s each) and a little of the third.
            curves.append((label, render_gain(options.vellox, settings, 2 * chop, work), colour))
    plot(curves, options.out)
    print("wrote " + options.out)


if __name__ == "__main__":
    main()
