"""Filmstrip knobs: a machined cap with a pointer inside a 270-degree value ring."""

import math

import cairo

import style


def _soft_shadow(ctx, cx, cy, radius):
    shadow = cairo.RadialGradient(cx, cy + 2.0, radius * 0.6, cx, cy + 2.0, radius + 4.0)
    shadow.add_color_stop_rgba(0.0, 0, 0, 0, 0.55)
    shadow.add_color_stop_rgba(1.0, 0, 0, 0, 0.0)
    ctx.set_source(shadow)
    ctx.arc(cx, cy + 2.0, radius + 4.0, 0, 2 * math.pi)
    ctx.fill()


def _ring(ctx, cx, cy, radius, width, value, bipolar):
    start, end = style.knob_angle(0.0), style.knob_angle(1.0)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(width + 2.0)
    ctx.set_source_rgba(0, 0, 0, 0.45)  # dark bed so the ring reads as recessed
    ctx.arc(cx, cy, radius, start, end)
    ctx.stroke()
    ctx.set_line_width(width)
    ctx.set_source_rgba(*style.RING_TRACK)
    ctx.arc(cx, cy, radius, start, end)
    ctx.stroke()

    origin = 0.5 if bipolar else 0.0
    lo, hi = sorted((origin, value))
    if hi - lo < 1e-9:
        return
    ctx.set_source_rgba(*style.ACCENT)
    ctx.arc(cx, cy, radius, style.knob_angle(lo), style.knob_angle(hi))
    ctx.stroke()


def _centre_mark(ctx, cx, cy, inner, outer):
    """Small wedge at 12 o'clock pointing at the ring: the neutral position of
    a bipolar knob."""
    half = (outer - inner) * 0.75
    ctx.set_source_rgba(*style.TEXT)
    ctx.move_to(cx, cy - inner)
    ctx.line_to(cx + half, cy - outer)
    ctx.line_to(cx - half, cy - outer)
    ctx.close_path()
    ctx.fill()


def _cap(ctx, cx, cy, radius):
    ctx.arc(cx, cy, radius + 1.0, 0, 2 * math.pi)
    ctx.set_source_rgba(*style.KNOB_EDGE)
    ctx.fill()

    body = cairo.LinearGradient(cx, cy - radius, cx, cy + radius)
    body.add_color_stop_rgba(0.0, *style.KNOB_LIGHT)
    body.add_color_stop_rgba(1.0, *style.KNOB_DARK)
    ctx.set_source(body)
    ctx.arc(cx, cy, radius, 0, 2 * math.pi)
    ctx.fill()

    # Inner face, slightly smaller and lit the other way, for a turned edge.
    face_radius = radius * 0.84
    face = cairo.LinearGradient(cx, cy - face_radius, cx, cy + face_radius)
    face.add_color_stop_rgba(0.0, *style.rgb("#3a3e46"))
    face.add_color_stop_rgba(1.0, *style.rgb("#30333a"))
    ctx.set_source(face)
    ctx.arc(cx, cy, face_radius, 0, 2 * math.pi)
    ctx.fill()

    sheen = cairo.RadialGradient(cx - radius * 0.3, cy - radius * 0.45, 0, cx, cy, face_radius)
    sheen.add_color_stop_rgba(0.0, 1, 1, 1, 0.10)
    sheen.add_color_stop_rgba(1.0, 1, 1, 1, 0.0)
    ctx.set_source(sheen)
    ctx.arc(cx, cy, face_radius, 0, 2 * math.pi)
    ctx.fill()


def _pointer(ctx, cx, cy, radius, value, width):
    angle = style.knob_angle(value)
    dx, dy = math.cos(angle), math.sin(angle)
    inner, outer = radius * 0.30, radius * 0.80
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(width)
    ctx.set_source_rgba(*style.INDICATOR)
    ctx.move_to(cx + dx * inner, cy + dy * inner)
    ctx.line_to(cx + dx * outer, cy + dy * outer)
    ctx.stroke()


def draw_knob_frame(ctx, width, height, value, bipolar):
    """Draws one frame centred in a width x height cell at the origin."""
    cx, cy = width / 2.0, height / 2.0
    reach = min(width, height) / 2.0
    large = reach > 40
    ring_width = 4.0 if large else 3.0
    # The small knob leaves room above its ring for the centre mark.
    ring_radius = reach - (6.0 if large else 8.0)
    cap_radius = ring_radius - (9.0 if large else 7.0)

    _soft_shadow(ctx, cx, cy, cap_radius)
    _ring(ctx, cx, cy, ring_radius, ring_width, value, bipolar)
    if bipolar:
        _centre_mark(ctx, cx, cy, ring_radius + ring_width / 2.0 + 1.5, reach - 0.5)
    _cap(ctx, cx, cy, cap_radius)
    _pointer(ctx, cx, cy, cap_radius, value, 3.0 if large else 2.5)


def knob_strip(width, height, bipolar=False, frames=style.KNOB_FRAMES):
    """All frames, value 0 at the top; bipolar knobs fill the ring from the centre."""
    return style.filmstrip(width, height, frames, lambda ctx, frame: draw_knob_frame(
        ctx, width, height, style.frame_value(frame, frames), bipolar))
