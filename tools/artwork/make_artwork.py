#!/usr/bin/python3
"""Draws the editor artwork into resources/img/.

Usage: make_artwork.py [--out DIR] [--preview FILE]
  --out      where to write the PNG files (default: resources/img of this checkout);
             the same images at twice the resolution go to its 2x/ subdirectory
  --preview  also compose the editor at its default values from the written
             files, for a visual check

Needs Debian's python3-cairo and fonts-dejavu-core. The output is the same
bytes on every run, so the committed images can be regenerated and compared.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree free of caches

import cairo  # noqa: E402

import knob  # noqa: E402
import panel  # noqa: E402
import pattern  # noqa: E402
import pngout  # noqa: E402
import selector  # noqa: E402
import style  # noqa: E402
import switch  # noqa: E402

# File name, image builder, frame size; the resource ids are fixed by the
# module's resource script.
ARTWORK = (
    ("DRY.png", lambda: knob.knob_strip(101, 97), (101, 97)),
    ("CHOP.png", lambda: knob.knob_strip(101, 97), (101, 97)),
    ("FADE.png", lambda: knob.knob_strip(103, 97), (103, 97)),
    ("BY.png", lambda: switch.switch_strip(61, 53), (61, 53)),
    ("BG.png", lambda: panel.background(*style.EDITOR_SIZE), style.EDITOR_SIZE),
    ("OUT.png", lambda: knob.knob_strip(74, 73, bipolar=True), (74, 73)),
    ("SYNC.png", lambda: switch.switch_strip(61, 53), (61, 53)),
    ("NOTE.png", lambda: selector.selector_strip(72, 30), (72, 30)),
    ("STEP.png", lambda: pattern.step_strip(*style.STEP_SIZE), style.STEP_SIZE),
    ("PATTERN.png", lambda: switch.switch_strip(61, 53), (61, 53)),
    ("STEPS.png", lambda: pattern.steps_strip(72, 30), (72, 30)),
    ("GATE.png", lambda: knob.knob_strip(48, 48), (48, 48)),
    ("SWING.png", lambda: knob.knob_strip(48, 48), (48, 48)),
    ("OFFSET.png", lambda: knob.knob_strip(48, 48), (48, 48)),
    ("RETRIG.png", lambda: switch.switch_strip(61, 53), (61, 53)),
    ("PRESET.png", lambda: pattern.preset_strip(130, 26), (130, 26)),
)

# Default editor state: FADE, CHOP and DRY at their minimum, OUTPUT at 0 dB
# (the middle frame), BY and SYNC off, NOTE at 1/4.
PREVIEW = (
    ("BY.png", style.BY_BOX, 0),
    ("FADE.png", style.FADE_BOX, 0),
    ("CHOP.png", style.CHOP_BOX, 0),
    ("DRY.png", style.DRY_BOX, 0),
    ("OUT.png", style.OUTPUT_BOX, style.KNOB_FRAMES // 2),
    ("SYNC.png", style.SYNC_BOX, 0),
    ("NOTE.png", style.NOTE_BOX, selector.NOTE_TEXTS.index("1/4")),
)


# Render scales and the subdirectory of each set: the editor's own artwork,
# and every image again at twice the resolution for high-density screens.
SCALES = ((1, ""), (2, "2x"))


def write_all(out_dir):
    for scale, subdir in SCALES:
        set_dir = os.path.join(out_dir, subdir)
        os.makedirs(set_dir, exist_ok=True)
        style.set_render_scale(scale)
        for name, build, (frame_w, frame_h) in ARTWORK:
            surface = build()
            if surface.get_width() % (frame_w * scale) != 0 or surface.get_height() % (frame_h * scale) != 0:
                sys.exit("%s was not drawn at scale %d" % (name, scale))
            frames = surface.get_height() // (frame_h * scale)
            pngout.write_png(os.path.join(set_dir, name), surface, frames)
    style.set_render_scale(1)


def compose_preview(out_dir, path, scale=2):
    sizes = {name: size for name, _, size in ARTWORK}
    width, height = style.EDITOR_SIZE
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width * scale, height * scale)
    ctx = cairo.Context(surface)
    ctx.scale(scale, scale)
    ctx.get_source().set_filter(cairo.FILTER_NEAREST)
    ctx.set_source_surface(cairo.ImageSurface.create_from_png(os.path.join(out_dir, "BG.png")))
    ctx.paint()
    for name, box, frame in PREVIEW:
        strip = cairo.ImageSurface.create_from_png(os.path.join(out_dir, name))
        frame_w, frame_h = sizes[name]
        ctx.save()
        ctx.rectangle(box[0], box[1], frame_w, frame_h)
        ctx.clip()
        # The files hold the frames side by side.
        ctx.set_source_surface(strip, box[0] - frame * frame_w, box[1])
        ctx.get_source().set_filter(cairo.FILTER_NEAREST)
        ctx.paint()
        ctx.restore()
    surface.write_to_png(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.normpath(os.path.join(here, "..", "..", "resources", "img"))
    parser = argparse.ArgumentParser(description="Draws the editor artwork.")
    parser.add_argument("--out", default=default_out)
    parser.add_argument("--preview")
    args = parser.parse_args()
    write_all(args.out)
    if args.preview:
        compose_preview(args.out, args.preview)


if __name__ == "__main__":
    main()
