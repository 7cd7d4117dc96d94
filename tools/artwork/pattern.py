"""The pattern panel's own artwork: a step bar at every level, the texts of
STEPS and the names of the factory programs, and the panel's background
below the top row."""

import os
import re

import cairo

import selector
import style

STEPS_TEXTS = tuple(str(n) for n in range(1, style.STEP_COUNT + 1))


def preset_names():
    """The factory programs' names, in their order, from the effect's list."""
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "effect", "VelloxPresets.cpp")
    with open(source, encoding="utf-8") as f:
        text = f.read()
    table = text[text.index("kPrograms["):]
    return tuple(re.findall(r'\{"([^"]+)"', table))


def _bar_frame(ctx, width, height, level):
    """A recessed slot with the level filled from the bottom."""
    style.rounded_rect(ctx, 0.5, 0.5, width - 1.0, height - 1.0, 3.0)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.fill()
    bed = cairo.LinearGradient(0, 1, 0, height - 1)
    bed.add_color_stop_rgba(0.0, *style.rgb("#0e0f11"))
    bed.add_color_stop_rgba(1.0, *style.rgb("#1c1e22"))
    style.rounded_rect(ctx, 1.5, 1.5, width - 3.0, height - 3.0, 2.5)
    ctx.set_source(bed)
    ctx.fill()
    inner = height - 6.0
    filled = inner * level
    if filled <= 0.0:
        # An empty step keeps a thin dim line, so its place is seen.
        ctx.set_source_rgba(*style.ACCENT_DARK[:3], 0.6)
        ctx.rectangle(4.0, height - 4.0, width - 8.0, 1.0)
        ctx.fill()
        return
    top = height - 3.0 - filled
    fill = cairo.LinearGradient(0, top, 0, height - 3.0)
    fill.add_color_stop_rgba(0.0, *style.ACCENT)
    fill.add_color_stop_rgba(1.0, *style.ACCENT_DARK)
    ctx.rectangle(3.0, top, width - 6.0, filled)
    ctx.set_source(fill)
    ctx.fill()
    ctx.set_source_rgba(1, 1, 1, 0.35)
    ctx.rectangle(3.0, top, width - 6.0, min(1.0, filled))
    ctx.fill()


def step_strip(width, height, frames=style.STEP_FRAMES):
    """Frame i shows the level i / (frames - 1); level 0 on top."""
    return style.filmstrip(width, height, frames,
                           lambda ctx, frame: _bar_frame(ctx, width, height, style.frame_value(frame, frames)))


def steps_strip(width, height):
    return selector.selector_strip(width, height, STEPS_TEXTS)


def _name_frame(ctx, width, height, text):
    selector.display_bed(ctx, width, height)
    style.set_font(ctx, 11)
    ctx.set_source_rgba(*style.ACCENT)
    extents = ctx.font_extents()
    baseline = round(height / 2.0 + (extents[0] - extents[1]) / 2.0)
    style.show_spaced(ctx, text, width / 2.0, baseline, align="centre")


def preset_strip(width, height):
    names = preset_names()
    return style.filmstrip(width, height, len(names), lambda ctx, frame: _name_frame(ctx, width, height, names[frame]))


def _arrow_button(ctx, box, pointing_right):
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    style.rounded_rect(ctx, x0, y0, w, h, 4.0)
    ctx.set_source_rgba(0, 0, 0, 0.5)
    ctx.fill()
    face = cairo.LinearGradient(0, y0, 0, y1)
    face.add_color_stop_rgba(0.0, *style.KNOB_LIGHT)
    face.add_color_stop_rgba(1.0, *style.KNOB_DARK)
    style.rounded_rect(ctx, x0 + 1, y0 + 1, w - 2, h - 2, 3.0)
    ctx.set_source(face)
    ctx.fill()
    cx, cy, half = x0 + w / 2.0, y0 + h / 2.0, 4.5
    sign = 1 if pointing_right else -1
    ctx.move_to(cx - sign * half * 0.8, cy - half)
    ctx.line_to(cx - sign * half * 0.8, cy + half)
    ctx.line_to(cx + sign * half * 0.8, cy)
    ctx.close_path()
    ctx.set_source_rgba(*style.TEXT)
    ctx.fill()


def _cycle_bed(ctx, box):
    x0, y0, x1, y1 = box
    style.rounded_rect(ctx, x0 - 1, y0 - 1, x1 - x0 + 2, y1 - y0 + 2, 4.0)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.fill()
    ctx.set_source_rgba(*style.rgb("#101114"))
    ctx.rectangle(x0, y0, x1 - x0, y1 - y0)
    ctx.fill()
    # Quarter lines of the cycle.
    ctx.set_source_rgba(1, 1, 1, 0.05)
    for k in range(1, 4):
        ctx.rectangle(x0 + (x1 - x0) * k // 4, y0, 1, y1 - y0)
        ctx.fill()


def panel_below(ctx, width, top, height):
    """Everything of the background from row `top` down."""
    body = cairo.LinearGradient(0, top, 0, height)
    body.add_color_stop_rgba(0.0, *style.PANEL_TOP)
    body.add_color_stop_rgba(1.0, *style.PANEL_BOTTOM)
    ctx.set_source(body)
    ctx.rectangle(0, top, width, height - top)
    ctx.fill()
    ctx.set_source_rgba(1, 1, 1, 0.08)
    ctx.rectangle(0, top, width, 1)
    ctx.fill()
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.rectangle(0, height - 1, width, 1)
    ctx.fill()
    for x in (170, 612):
        ctx.set_source_rgba(0, 0, 0, 0.45)
        ctx.rectangle(x, top + 10, 1, height - top - 20)
        ctx.fill()
        ctx.set_source_rgba(1, 1, 1, 0.06)
        ctx.rectangle(x + 1, top + 10, 1, height - top - 20)
        ctx.fill()
    _cycle_bed(ctx, style.CYCLE_BOX)
    _arrow_button(ctx, style.PRESET_PREV_BOX, False)
    _arrow_button(ctx, style.PRESET_NEXT_BOX, True)
    baseline = 364
    style.set_font(ctx, 10.5)
    ctx.set_source_rgba(*style.TEXT)
    for text, box in (("PATTERN", style.PATTERN_BOX), ("STEPS", style.STEPS_BOX), ("GATE", style.GATE_BOX),
                      ("SWING", style.SWING_BOX), ("OFFSET", style.OFFSET_BOX), ("RETRIG", style.RETRIG_BOX),
                      ("PRESET", style.PRESET_BOX)):
        y = baseline if box is not style.PRESET_BOX else 282
        style.show_spaced(ctx, text, (box[0] + box[2]) / 2.0, y, spacing=1.6, align="centre")
    style.set_font(ctx, 8.5)
    ctx.set_source_rgba(*style.TEXT_DIM)
    style.show_spaced(ctx, "CYCLE", (style.CYCLE_BOX[0] + style.CYCLE_BOX[2]) / 2.0, 302, spacing=2.2,
                      align="centre")
