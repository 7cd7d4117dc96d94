"""Colours, fonts and the editor geometry shared by every piece of artwork."""

import math

import cairo

FONT = "DejaVu Sans"

# Editor size and control rectangles (left, top, right, bottom), as the editor
# places them; the artwork is drawn to fit these exactly.
EDITOR_SIZE = (912, 376)
TOP_ROW_HEIGHT = 184  # the row above the pattern panel
BY_BOX = (91, 53, 152, 106)
FADE_BOX = (191, 26, 294, 123)
CHOP_BOX = (341, 26, 442, 123)
DRY_BOX = (490, 26, 591, 123)
OUTPUT_BOX = (626, 40, 700, 113)
SYNC_BOX = (738, 53, 799, 106)
NOTE_BOX = (818, 73, 890, 103)
LINK_CORNER = (813, 155)

# The pattern panel below the top row: 16 step bars, the cycle display, the
# preset name with its previous/next buttons and the pattern's controls.
STEP_COUNT = 16
STEP_BARS_BOX = (190, 196, 602, 284)
STEP_PITCH = 26
STEP_SIZE = (22, 88)
STEP_FRAMES = 33
CYCLE_BOX = (622, 196, 892, 284)
PRESET_BOX = (20, 206, 150, 232)
PRESET_PREV_BOX = (20, 240, 80, 262)
PRESET_NEXT_BOX = (90, 240, 150, 262)
PATTERN_BOX = (190, 296, 251, 349)
STEPS_BOX = (275, 307, 347, 337)
GATE_BOX = (371, 299, 419, 347)
SWING_BOX = (445, 299, 493, 347)
OFFSET_BOX = (519, 299, 567, 347)
RETRIG_BOX = (591, 296, 652, 349)

KNOB_FRAMES = 61
SWITCH_FRAMES = 2
NOTE_FRAMES = 15

# Knob sweep: 270 degrees, from 7:30 to 4:30, measured clockwise from 12:00.
SWEEP_START_DEG = -135.0
SWEEP_DEG = 270.0


def rgb(hex_colour, alpha=1.0):
    value = int(hex_colour.lstrip("#"), 16)
    return ((value >> 16) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0, alpha)


PANEL_TOP = rgb("#2b2e34")
PANEL_BOTTOM = rgb("#1d1f23")
FOOTER = rgb("#16171a")
TEXT = rgb("#d5d8de")
TEXT_DIM = rgb("#8a8f99")
ACCENT = rgb("#f39c32")
ACCENT_DARK = rgb("#9c5a14")
RING_TRACK = rgb("#111215")
KNOB_LIGHT = rgb("#555a63")
KNOB_DARK = rgb("#25272c")
KNOB_EDGE = rgb("#0b0c0e")
INDICATOR = rgb("#f4f5f7")


def knob_angle(value):
    """Cairo angle (radians, 0 = 3 o'clock, clockwise) for a value in 0..1."""
    degrees = SWEEP_START_DEG + SWEEP_DEG * value
    return math.radians(degrees - 90.0)


def frame_value(frame, frames):
    """The value a frame stands for: frame 0 is 0, the last frame is 1."""
    return frame / (frames - 1)


def set_font(ctx, size, bold=True):
    ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_ON)
    ctx.set_font_options(options)


def spaced_width(ctx, text, spacing):
    return sum(ctx.text_extents(ch).x_advance for ch in text) + spacing * (len(text) - 1)


def show_spaced(ctx, text, x, baseline, spacing=0.0, align="left"):
    """Draws text with extra letter spacing; align is left, centre or right."""
    width = spaced_width(ctx, text, spacing)
    if align == "centre":
        x -= width / 2.0
    elif align == "right":
        x -= width
    for ch in text:
        # Each glyph starts on a whole device pixel, whatever the render scale.
        device_x, device_y = ctx.user_to_device(x, baseline)
        ctx.move_to(*ctx.device_to_user(round(device_x), device_y))
        ctx.show_text(ch)
        x += ctx.text_extents(ch).x_advance + spacing


# Device pixels per artwork pixel of the surfaces new_surface makes: 1 for
# the editor's own artwork, 2 for the set a high-density screen shows. Every
# drawing works in artwork pixels, so each set comes from the same code.
_scale = 1


def set_render_scale(scale):
    global _scale
    _scale = scale


def new_surface(width, height):
    """A transparent surface for width x height artwork pixels at the render
    scale, and a context that draws on it in artwork pixels."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width * _scale, height * _scale)
    ctx = cairo.Context(surface)
    ctx.scale(_scale, _scale)
    return surface, ctx


def filmstrip(width, height, frames, draw_frame):
    """Renders frames stacked vertically, frame 0 on top; draw_frame(ctx, i)
    draws frame i in a width x height cell at the origin."""
    surface, ctx = new_surface(width, height * frames)
    for frame in range(frames):
        ctx.save()
        ctx.translate(0, frame * height)
        ctx.rectangle(0, 0, width, height)
        ctx.clip()
        draw_frame(ctx, frame)
        ctx.restore()
    return surface


def rounded_rect(ctx, x, y, w, h, r):
    """A closed path: the rectangle with corners rounded to radius r."""
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()
