"""The NOTE selector: a recessed display showing one note value per frame,
with a small up/down mark saying that it steps."""

import cairo

import style

# The NOTE parameter's entries, in the order of its values 0..14.
NOTE_TEXTS = ("1/32", "1/16T", "1/16", "1/8T", "1/16D", "1/8", "1/4T", "1/8D", "1/4", "1/2T", "1/4D", "1/2",
              "1 bar", "2 bars", "4 bars")

_STEPPER_WIDTH = 11.0


def _display(ctx, width, height):
    x, y, w, h = 1.0, 1.0, width - 2.0, height - 2.0
    style.rounded_rect(ctx, x - 1, y - 1, w + 2, h + 2, 5.0)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.fill()
    bed = cairo.LinearGradient(0, y, 0, y + h)
    bed.add_color_stop_rgba(0.0, *style.rgb("#0e0f11"))
    bed.add_color_stop_rgba(1.0, *style.rgb("#202227"))
    style.rounded_rect(ctx, x, y, w, h, 4.0)
    ctx.set_source(bed)
    ctx.fill()
    # Lit lower lip, as on the switch tracks.
    ctx.set_source_rgba(1, 1, 1, 0.07)
    ctx.rectangle(x + 4.0, y + h - 1.0, w - 8.0, 1.0)
    ctx.fill()


# The recessed display without the stepper mark, for other displays.
display_bed = _display


def _stepper(ctx, right, cy):
    """Two small triangles, one pointing up and one down."""
    half, tall, gap = 3.0, 3.5, 2.0
    cx = right - _STEPPER_WIDTH / 2.0
    ctx.set_source_rgba(*style.TEXT_DIM)
    for sign in (-1, 1):
        tip = cy + sign * (gap + tall)
        base = cy + sign * gap
        ctx.move_to(cx - half, base)
        ctx.line_to(cx + half, base)
        ctx.line_to(cx, tip)
        ctx.close_path()
        ctx.fill()


def draw_selector_frame(ctx, width, height, text):
    _display(ctx, width, height)
    _stepper(ctx, width - 2.0, height / 2.0)
    style.set_font(ctx, 12)
    ctx.set_source_rgba(*style.ACCENT)
    extents = ctx.font_extents()
    baseline = round(height / 2.0 + (extents[0] - extents[1]) / 2.0)
    centre = (width - _STEPPER_WIDTH) / 2.0 + 1.0
    style.show_spaced(ctx, text, centre, baseline, align="centre")


def selector_strip(width, height, texts=NOTE_TEXTS):
    """One frame per text, the first on top."""
    return style.filmstrip(width, height, len(texts),
                           lambda ctx, frame: draw_selector_frame(ctx, width, height, texts[frame]))
