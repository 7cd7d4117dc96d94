// Fonts and surfaces for the text tests (Windows only).
#pragma once

#include <windows.h>

#include <memory>

#include "PIX_Font.h"
#include "PIX_FontTesting.h"
#include "PIX_SysBitmap.h"
#include "PixTestUtil.h"

// quality 3 (non-antialiased) makes every coverage byte 0 or 255.
inline std::unique_ptr<PIX_CachedFont> MakeFont(int height, int flags = FontOwnsHandle | FontNativeText,
                                                DWORD quality = NONANTIALIASED_QUALITY) {
  HFONT handle = CreateFontA(height, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, 0, 0, quality, 0, "Tahoma");
  std::unique_ptr<PIX_CachedFont> font(new PIX_CachedFont);
  font->AttachFontHandle(handle, flags);
  return font;
}

inline void Fill(PIX_IBitmap* bm, PixelWord colour) {
  for (int y = 0; y < bm->Height(); ++y)
    for (int x = 0; x < bm->Width(); ++x) Px(bm, x, y) = colour;
}

struct Ink {
  int count = 0, left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

// Where pixels differ from the background colour.
inline Ink FindInk(PIX_IBitmap* bm, PixelWord background) {
  Ink ink;
  for (int y = 0; y < bm->Height(); ++y)
    for (int x = 0; x < bm->Width(); ++x)
      if (Px(bm, x, y) != background) {
        ++ink.count;
        ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
      }
  return ink;
}

inline PIX_Rect Measure(PIX_IFont* font, PIX_IBitmap* bm, const char* text, uint32_t format = 0) {
  PIX_Rect r = {0, 0, 0, 0};
  font->RenderText(bm, text, -1, &r, format | DT_CALCRECT);
  return r;
}

inline bool AnyCached(PIX_CachedFont* font, const char* text) {
  for (const char* p = text; *p; ++p)
    if (const GlyphRecord* rec = font->FindGlyph((unsigned char)*p))
      if (rec->offset != 0) return true;
  return false;
}
