// Internal: the shared surface glyphs are rendered on.
#pragma once

class PIX_SysBitmap;

// Creates the shared glyph surface on first use and grows it to at least
// size x size, setting white-on-black opaque text on its device context.
PIX_SysBitmap* PrepareGlyphSurface(int size);

// Horizontal padding around a rendered glyph for a font of this line height.
inline int GlyphPad(int lineHeight) { return lineHeight < 16 ? 2 : lineHeight / 16 + 2; }
