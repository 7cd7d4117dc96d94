#!/usr/bin/python3
"""Draws tempo-synced cycles against the beat grid from real renders: a
constant signal goes through the built plug-in with `vellox render`, SYNC on,
with the transport playing from the middle of a cycle, and the gain it comes
out with (output / input) is plotted over the song position. Writes
docs/sync.png.

Usage: tools/plot_sync.py [--vellox PATH] [--out PNG]
"""
import argparse
import os
import tempfile

import cairo

from plot_cycle import RATE, render_gain

TEMPO = 120.0
START_BEAT = 0.75  # song position of the render's first frame, in quarter notes
BEATS = 4.0
SETTINGS = [  # (label, --set values, colour)
    ("NOTE 1/8, DRY 0.20", ["SYNC=On", "NOTE=1/8", "DRY=0.2", "FADE=50"], (0.85, 0.35, 0.1)),
    ("NOTE 1/4T, DRY 0.00", ["SYNC=On", "NOTE=1/4T", "DRY=0", "FADE=50"], (0.1, 0.4, 0.8)),
]


def plot(curves, path):
    width, height, left, right, top, bottom = 900, 460, 70, 20, 40, 60
    lane = (height - top - bottom) / len(curves)
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, width, height)
    c = cairo.Context(surface)
    c.set_source_rgb(1, 1, 1)
    c.paint()
    pw = width - left - right
    frames_per_beat = RATE * 60.0 / TEMPO
    end_beat = START_BEAT + BEATS
    x_of = lambda beat: left + pw * (beat - START_BEAT) / BEATS
    c.select_font_face("DejaVu Sans")
    c.set_font_size(13)
    # The grid: eighth notes thin, triplet quarters dashed, beats bold.
    grids = [(0.5, 1, (0.85, 0.85, 0.85), []), (2.0 / 3.0, 1, (0.75, 0.85, 0.95), [4, 4]),
             (1.0, 2, (0.55, 0.55, 0.55), [])]
    for step, line_width, colour, dash in grids:
        k = int(START_BEAT / step) + 1
        while k * step < end_beat - 1e-9:
            c.set_source_rgb(*colour)
            c.set_line_width(line_width)
            c.set_dash(dash)
            c.move_to(x_of(k * step), top); c.line_to(x_of(k * step), height - bottom); c.stroke()
            k += 1
    c.set_dash([])
    c.set_source_rgb(0.2, 0.2, 0.2)
    for beat in range(1, int(end_beat) + 1):
        c.move_to(x_of(beat) - 4, height - bottom + 18)
        c.show_text("%d" % beat)
    c.move_to(left + pw / 2 - 260, height - 15)
    c.show_text("song position in quarter notes at %g BPM (0 is the start of bar 1; the render starts at %g)"
                % (TEMPO, START_BEAT))
    for n, (label, gain, colour) in enumerate(curves):
        y0 = top + n * lane
        y_of = lambda g: y0 + 10 + (lane - 20) * (1.0 - g)
        c.set_source_rgb(0.2, 0.2, 0.2)
        c.set_line_width(1)
        for g in (0.0, 1.0):
            c.move_to(left - 30, y_of(g) + 4); c.show_text("%.0f" % g)
        c.set_source_rgb(*colour)
        c.set_line_width(2)
        stride = max(1, len(gain) // (pw * 4))
        c.move_to(x_of(START_BEAT), y_of(gain[0]))
        for i in range(0, len(gain), stride):
            c.line_to(x_of(START_BEAT + i / frames_per_beat), y_of(gain[i]))
        c.stroke()
        c.move_to(left + 10 + n * 400, 25); c.show_text(label)
    c.set_source_rgb(0.2, 0.2, 0.2)
    c.save(); c.move_to(20, top + (height - top - bottom) / 2 + 20); c.rotate(-1.5708); c.show_text("gain")
    c.restore()
    surface.write_to_png(path)


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vellox", default=os.path.join(top, "build", "linux", "vellox"))
    parser.add_argument("--out", default=os.path.join(top, "docs", "sync.png"))
    options = parser.parse_args()
    curves = []
    with tempfile.TemporaryDirectory() as work:
        for label, settings, colour in SETTINGS:
            curves.append((label, render_gain(options.vellox, settings, BEATS * 60.0 / TEMPO, work,
                                                    ["--tempo", str(TEMPO), "--start-beat", str(START_BEAT)]), colour))
    plot(curves, options.out)
    print("wrote " + options.out)


if __name__ == "__main__":
    main()
