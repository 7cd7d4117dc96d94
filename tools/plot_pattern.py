#!/usr/bin/python3
"""Draws the pattern gate from real renders: a constant stereo signal goes
through the built plug-in with `vellox render` at 120 BPM, and the gain each
channel comes out with (output / input) is plotted over two beats for a
straight pattern, the same pattern swung, a stereo offset and a pattern
restarted by note-ons. Writes docs/pattern.png.

Usage: tools/plot_pattern.py [--vellox PATH] [--out PNG]
"""
import argparse
import os
import tempfile

import cairo

from plot_cycle import RATE, render_gain

TEMPO = 120.0
BEATS = 2.0
STRAIGHT = ["SYNC=On", "NOTE=1/2", "PATTERN=On", "STEPS=8", "GATE=60", "FADE=50", "DRY=0.1"]
LEVELS = ["--pattern", "1,0.5,1,0,1,0.5,0.8,1"]
NOTES = [0.3, 0.68]  # seconds
LANES = [  # (label, --set values, other options, channels drawn)
    ("straight: 8 steps of 1/2, GATE 60 %, DRY 0.10", STRAIGHT, LEVELS, [0]),
    ("swung: the same with SWING 50 %", STRAIGHT + ["SWING=50"], LEVELS, [0]),
    ("stereo offset: STEPS 2 (1, 0), NOTE 1/4, OFFSET 50 %: left and right",
     ["SYNC=On", "NOTE=1/4", "PATTERN=On", "STEPS=2", "GATE=90", "OFFSET=50", "FADE=50"], ["--pattern", "1,0"], [0, 1]),
    ("RETRIG MIDI: the straight pattern restarted by note-ons at 0.3 s and 0.68 s",
     STRAIGHT + ["RETRIG=MIDI"], LEVELS + ["--notes", ",".join(str(t) for t in NOTES)], [0]),
]
COLOURS = [(0.85, 0.35, 0.1), (0.1, 0.4, 0.8)]


def render_gains(vellox, settings, options, work):
    return render_gain(vellox, settings, BEATS * 60.0 / TEMPO, work, ["--tempo", str(TEMPO), *options], channels=2)


def plot(lanes, path):
    width, height, left, right, top, bottom = 900, 620, 60, 20, 20, 50
    lane = (height - top - bottom) / len(lanes)
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, width, height)
    c = cairo.Context(surface)
    c.set_source_rgb(1, 1, 1)
    c.paint()
    pw = width - left - right
    frames = BEATS * 60.0 / TEMPO * RATE
    x_of = lambda i: left + pw * i / frames
    c.select_font_face("DejaVu Sans")
    c.set_font_size(13)
    for k in range(1, int(BEATS * 4)):  # sixteenth-note grid, beats bold
        c.set_source_rgb(*((0.55, 0.55, 0.55) if k % 4 == 0 else (0.87, 0.87, 0.87)))
        c.set_line_width(2 if k % 4 == 0 else 1)
        x = x_of(k * frames / (BEATS * 4))
        c.move_to(x, top); c.line_to(x, height - bottom); c.stroke()
    for n, (label, gains, channels, notes) in enumerate(lanes):
        y0 = top + n * lane
        y_of = lambda g: y0 + 24 + (lane - 34) * (1.0 - g)
        c.set_source_rgb(0.2, 0.2, 0.2)
        for g in (0.0, 1.0):
            c.move_to(left - 25, y_of(g) + 4); c.show_text("%.0f" % g)
        c.move_to(left + 5, y0 + 16); c.show_text(label)
        for t in notes:
            c.set_source_rgb(0.2, 0.6, 0.2)
            c.set_line_width(2)
            c.set_dash([5, 3])
            c.move_to(x_of(t * RATE), y0 + 20); c.line_to(x_of(t * RATE), y0 + lane - 6); c.stroke()
            c.set_dash([])
        for ch in channels:
            c.set_source_rgb(*COLOURS[ch])
            c.set_line_width(2)
            gain = gains[ch]
            stride = max(1, len(gain) // (pw * 4))
            c.move_to(x_of(0), y_of(gain[0]))
            for i in range(0, len(gain), stride):
                c.line_to(x_of(i), y_of(gain[i]))
            c.stroke()
    c.set_source_rgb(0.2, 0.2, 0.2)
    c.move_to(left + pw / 2 - 230, height - 15)
    c.show_text("two beats at %g BPM (sixteenths thin, the beat bold; note-ons dashed)" % TEMPO)
    surface.write_to_png(path)


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vellox", default=os.path.join(top, "build", "linux", "vellox"))
    parser.add_argument("--out", default=os.path.join(top, "docs", "pattern.png"))
    options = parser.parse_args()
    lanes = []
    with tempfile.TemporaryDirectory() as work:
        for label, settings, extra, channels in LANES:
            notes = NOTES if "--notes" in extra else []
            lanes.append((label, render_gains(options.vellox, settings, extra, work), channels, notes))
    plot(lanes, options.out)
    print("wrote " + options.out)


if __name__ == "__main__":
    main()
