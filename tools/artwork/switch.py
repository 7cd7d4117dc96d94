"""Two-state BY switch: a slide toggle with a status lamp above it."""

import math

import cairo

import style


def _lamp(ctx, cx, cy, on):
    if on:
        glow = cairo.RadialGradient(cx, cy, 1.0, cx, cy, 10.0)
        glow.add_color_stop_rgba(0.0, *style.ACCENT[:3], 0.55)
        glow.add_color_stop_rgba(1.0, *style.ACCENT[:3], 0.0)
        ctx.set_source(glow)
        ctx.arc(cx, cy, 10.0, 0, 2 * math.pi)
        ctx.fill()
    ctx.arc(cx, cy, 4.5, 0, 2 * math.pi)
    ctx.set_source_rgba(*style.KNOB_EDGE)
    ctx.fill()
    lens = cairo.RadialGradient(cx - 1.0, cy - 1.2, 0.3, cx, cy, 3.6)
    if on:
        lens.add_color_stop_rgba(0.0, *style.rgb("#fff1d6"))
        lens.add_color_stop_rgba(1.0, *style.ACCENT)
    else:
        lens.add_color_stop_rgba(0.0, *style.rgb("#5a4a3a"))
        lens.add_color_stop_rgba(1.0, *style.rgb("#2a241e"))
    ctx.set_source(lens)
    ctx.arc(cx, cy, 3.6, 0, 2 * math.pi)
    ctx.fill()


def _track(ctx, x, y, w, h, on):
    style.rounded_rect(ctx, x - 1, y - 1, w + 2, h + 2, h / 2.0 + 1)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.fill()
    fill = cairo.LinearGradient(0, y, 0, y + h)
    if on:
        fill.add_color_stop_rgba(0.0, *style.ACCENT_DARK)
        fill.add_color_stop_rgba(1.0, *style.ACCENT)
    else:
        fill.add_color_stop_rgba(0.0, *style.rgb("#0e0f11"))
        fill.add_color_stop_rgba(1.0, *style.rgb("#202227"))
    style.rounded_rect(ctx, x, y, w, h, h / 2.0)
    ctx.set_source(fill)
    ctx.fill()


def _thumb(ctx, cx, cy, radius):
    ctx.arc(cx, cy + 1.0, radius + 1.0, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.5)
    ctx.fill()
    body = cairo.LinearGradient(0, cy - radius, 0, cy + radius)
    body.add_color_stop_rgba(0.0, *style.rgb("#e9ebef"))
    body.add_color_stop_rgba(1.0, *style.rgb("#9ea3ad"))
    ctx.arc(cx, cy, radius, 0, 2 * math.pi)
    ctx.set_source(body)
    ctx.fill()


def draw_switch_frame(ctx, width, height, on):
    cx = width / 2.0
    _lamp(ctx, cx, 11.0, on)
    track_w, track_h = 44.0, 22.0
    x, y = cx - track_w / 2.0, 24.0
    _track(ctx, x, y, track_w, track_h, on)
    radius = track_h / 2.0 - 2.0
    thumb_x = x + track_w - track_h / 2.0 if on else x + track_h / 2.0
    _thumb(ctx, thumb_x, y + track_h / 2.0, radius)


def switch_strip(width, height, frames=style.SWITCH_FRAMES):
    """Frame 0 (off) on top, frame 1 (on) below."""
    return style.filmstrip(width, height, frames,
                           lambda ctx, frame: draw_switch_frame(ctx, width, height, frame > 0))
