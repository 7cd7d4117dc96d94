// Internal: drawing text with GDI directly (DrawTextW/DrawTextA).
#pragma once

#include <cstdint>

#include "PIX_Bitmap.h"

struct PIX_NativeText {
  void* font;  // HFONT
  PixelWord textColour;
  PixelWord backColour;
  int backMode;  // 1 transparent, 2 opaque
  float alpha;
  int pad;  // extra columns kept left of the text box (glyph overhang)
};

// Draws (or with DT_CALCRECT measures) into bm's device context, or through
// the shared scratch surface when bm has none. Returns what GDI returns, 0 on failure.
int DrawNativeText(const PIX_NativeText& t, PIX_IBitmap* bm, const char* text, int length, PIX_Rect* rect,
                   uint32_t format);
