"""The editor background: panel, product and maker names, control labels
and the mark of the web link in the lower right corner."""

import os
import re

import cairo

import pattern
import style

FOOTER_TOP = 158
LABEL_BASELINE = 144


def _centre_x(box):
    return (box[0] + box[2]) / 2.0


def _panel(ctx, width, height):
    body = cairo.LinearGradient(0, 0, 0, FOOTER_TOP)
    body.add_color_stop_rgba(0.0, *style.PANEL_TOP)
    body.add_color_stop_rgba(1.0, *style.PANEL_BOTTOM)
    ctx.set_source(body)
    ctx.rectangle(0, 0, width, FOOTER_TOP)
    ctx.fill()
    ctx.set_source_rgba(*style.FOOTER)
    ctx.rectangle(0, FOOTER_TOP, width, height - FOOTER_TOP)
    ctx.fill()
    # Hairlines: lit top edge, and a groove between panel and footer.
    _hline(ctx, 0, width, 0, (1, 1, 1, 0.10))
    _hline(ctx, 0, width, FOOTER_TOP - 1, (0, 0, 0, 0.55))
    _hline(ctx, 0, width, FOOTER_TOP, (1, 1, 1, 0.05))
    _hline(ctx, 0, width, height - 1, (0, 0, 0, 0.6))


def _hline(ctx, x0, x1, y, colour):
    ctx.set_source_rgba(*colour)
    ctx.rectangle(x0, y, x1 - x0, 1)
    ctx.fill()


def _groove(ctx, x, top, bottom):
    """Vertical divider between control groups: dark line with a lit edge."""
    ctx.set_source_rgba(0, 0, 0, 0.45)
    ctx.rectangle(x, top, 1, bottom - top)
    ctx.fill()
    ctx.set_source_rgba(1, 1, 1, 0.06)
    ctx.rectangle(x + 1, top, 1, bottom - top)
    ctx.fill()


def _branding(ctx):
    style.set_font(ctx, 27)
    ctx.set_source_rgba(*style.TEXT)
    ctx.move_to(20, 40)
    ctx.show_text("Vellox")
    style.set_font(ctx, 8.5)
    ctx.set_source_rgba(*style.ACCENT)
    style.show_spaced(ctx, "CHOPPER", 22, 54, spacing=2.2)


def _labels(ctx):
    style.set_font(ctx, 10.5)
    ctx.set_source_rgba(*style.TEXT)
    for text, box in (("BY", style.BY_BOX), ("FADE", style.FADE_BOX), ("CHOP", style.CHOP_BOX),
                      ("DRY", style.DRY_BOX), ("OUTPUT", style.OUTPUT_BOX), ("SYNC", style.SYNC_BOX),
                      ("NOTE", style.NOTE_BOX)):
        style.show_spaced(ctx, text, _centre_x(box), LABEL_BASELINE, spacing=1.6, align="centre")


def _product_version():
    """The version the build gives the module, from the top-level project."""
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "CMakeLists.txt")
    with open(top, encoding="utf-8") as f:
        return re.search(r"project\(\s*Vellox\s+VERSION\s+([0-9.]+)", f.read()).group(1)


def _footer(ctx, width, height):
    baseline = height - 9
    style.set_font(ctx, 8.5, bold=False)
    ctx.set_source_rgba(*style.TEXT_DIM)
    style.show_spaced(ctx, "VST 3  \u00b7  " + _product_version(), 20, baseline, spacing=0.8)
    _link_mark(ctx, width - 12, baseline)


def _link_mark(ctx, right, baseline):
    """Maker wordmark with a small outward arrow: the clickable corner."""
    arrow = 6.0
    x1 = right
    x0 = x1 - arrow
    top = baseline - 7.5
    ctx.set_source_rgba(*style.TEXT_DIM)
    ctx.set_line_width(1.2)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.move_to(x0, top + arrow)
    ctx.line_to(x1, top)
    ctx.move_to(x1 - 4.0, top)
    ctx.line_to(x1, top)
    ctx.line_to(x1, top + 4.0)
    ctx.stroke()
    style.set_font(ctx, 9.5)
    style.show_spaced(ctx, "Quenwick", x0 - 5, baseline, spacing=0.6, align="right")


def background(width, height):
    """The top row as it always was, the pattern panel below it."""
    surface, ctx = style.new_surface(width, height)
    pattern.panel_below(ctx, width, style.TOP_ROW_HEIGHT, height)
    height = style.TOP_ROW_HEIGHT
    _panel(ctx, width, height)
    _groove(ctx, 170, 22, FOOTER_TOP - 14)
    _groove(ctx, 610, 22, FOOTER_TOP - 14)
    _groove(ctx, 716, 22, FOOTER_TOP - 14)
    _branding(ctx)
    _labels(ctx)
    _footer(ctx, width, height)
    return surface
