// RenderText: choosing between GDI drawing and the glyph cache, and the
// glyph-cache measuring and drawing walks.
#include <windows.h>

#include <algorithm>

#include "PIX_Font.h"
#include "PIX_GlyphSurface.h"
#include "PIX_RowAccess.h"
#include "PIX_TextNative.h"
#include "PIX_Utf8.h"

namespace {
constexpr uint32_t kAlignBits = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
constexpr int kGlyphCacheOnly = 0x59555678;  // extension code of bitmaps that refuse GDI text
// Font flags that only the glyph cache honours (orientation, precaching and
// the drawn effects): a font with any of them never draws through GDI.
constexpr int kGlyphCacheFontFlags =
    FontVertical | FontBottomUp | FontPrecacheAscii | FontBlur | FontInvert | FontMono | FontShadow | FontOutline;
static_assert(kGlyphCacheFontFlags == 0x1F7, "every font flag except FontOwnsHandle and FontNativeText");

int DetectWine() {
  HKEY key;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
    return 1;
  }
  return 0;
}
}  // namespace

bool PIX_CachedFont::UseNativePath(PIX_IBitmap* bm, uint32_t format) {
  if (bm && bm->QueryExtension(kGlyphCacheOnly, nullptr)) return false;
  // The registry is read the first time a native-capable font gets this far,
  // even when the line height alone decides.
  bool gdiCanDraw = (mFontFlags & FontNativeText) && mFont && !(format & TextForceGlyphCache);
  if (gdiCanDraw) {
    if (WineDetectedFlag < 0) WineDetectedFlag = DetectWine();
    gdiCanDraw = WineDetectedFlag == 0 && !(format & TextAlphaFromColour) && !(mFontFlags & kGlyphCacheFontFlags) &&
                 (mExtraSpacing == 0 || (format & DT_SINGLELINE));
  }
  return gdiCanDraw || mLineHeight > 255;
}

int PIX_CachedFont::RenderText(PIX_IBitmap* bm, const char* text, int length, PIX_Rect* rect, uint32_t format) {
  if (!text || !rect) return 0;
  if (!bm && !(format & DT_CALCRECT)) return 0;
  const uint32_t force = format & TextForceGlyphCache;
  format &= ~TextForceGlyphCache;
  if (UseNativePath(bm, format | force)) {
    PIX_NativeText native = {mFont, mTextColour, mBackColour, mBackMode, mAlpha, GlyphPad(mLineHeight)};
    return DrawNativeText(native, bm, text, length, rect, format);
  }
  if (format & DT_CALCRECT) return MeasureCached(text, length, rect, format);
  return DrawCached(bm, text, length, rect, format);
}

// The record for code, rendered on first use; null when it cannot be drawn.
const GlyphRecord* PIX_CachedFont::ReadyGlyph(int code) {
  if (code >= 128 && (mFontFlags & FontPrecacheAscii)) return nullptr;
  GlyphRecord* rec = LookupGlyph(code, true);
  if (rec && rec->offset == 0) CacheGlyph(code);
  return rec && rec->offset > 0 ? rec : nullptr;
}

// Walks the text as drawn, keeping the extent of the block; returns the extent
// across lines (height, or width for vertical fonts).
int PIX_CachedFont::MeasureCached(const char* text, int length, PIX_Rect* rect, uint32_t format) {
  const bool vertical = (mFontFlags & FontVertical) != 0;
  int pen = 0, line = 0, along = 0, across = 0;
  PIX_Utf8Walk walk(text, length);
  for (int code; (code = walk.Next()) >= 0;) {
    if (code == '\r') continue;
    if (code == '\n') {
      if (!(format & DT_SINGLELINE)) {
        pen = 0;
        line += mLineHeight + mExtraSpacing;
        continue;
      }
      code = ' ';
    }
    const GlyphRecord* rec = ReadyGlyph(code);
    if (!rec) continue;
    const int maskAlong = vertical ? rec->height : rec->width;
    const int maskAcross = vertical ? rec->width : rec->height;
    along = std::max({along, pen + rec->advance, pen + maskAlong - rec->bearing});
    across = std::max(across, line + maskAcross);
    pen += rec->advance;
  }
  const int width = vertical ? across : along, height = vertical ? along : across;
  rect->right = rect->left + width;
  rect->bottom = rect->top + height;
  return vertical ? width : height;
}

int PIX_CachedFont::DrawCached(PIX_IBitmap* bm, const char* text, int length, PIX_Rect* rect, uint32_t format) {
  const float savedAlpha = mAlpha;
  if (format & TextAlphaFromColour) mAlpha = mAlpha * ((float)(mTextColour >> 24) / 255.0f);
  struct Restore {
    float& target;
    float value;
    ~Restore() { target = value; }
  } restore{mAlpha, savedAlpha};
  if (mAlpha == 0.0f || !bm->PixelBits()) return 0;

  const bool vertical = (mFontFlags & FontVertical) != 0;
  const bool upwards = vertical && (mFontFlags & FontBottomUp);
  int x = rect->left, y = rect->top;
  if ((format & kAlignBits) || upwards) {
    PIX_Rect measured = {0, 0, 0, 0};
    MeasureCached(text, length, &measured, format & DT_SINGLELINE);
    const int mw = measured.right, mh = measured.bottom;
    if (format & DT_CENTER) x += (rect->right - mw - rect->left) / 2;
    if (format & DT_RIGHT) x = rect->right - mw;
    if (format & DT_VCENTER) y += (rect->bottom - mh - rect->top) / 2;
    if (format & DT_BOTTOM) y = rect->bottom - mh;
    if (upwards) y += mh;
  }

  const PIX_Rect clip = TextClipRect(bm, *rect, format);
  if (clip.right <= clip.left || clip.bottom <= clip.top) return 0;

  const int startX = x, startY = y;
  int penX = x, penY = y, extent = 0;
  PIX_Utf8Walk walk(text, length);
  for (int code; (code = walk.Next()) >= 0;) {
    if (code == '\r') continue;
    if (code == '\n') {
      if (!(format & DT_SINGLELINE)) {
        if (vertical)
          penX += mLineHeight + mExtraSpacing, penY = startY;
        else
          penY += mLineHeight + mExtraSpacing, penX = startX;
        continue;
      }
      code = ' ';
    }
    const GlyphRecord* rec = ReadyGlyph(code);
    if (!rec) continue;
    const int glyphY = upwards ? penY - rec->height : penY;
    RenderGlyph(bm, code, penX, glyphY, &clip);
    if (vertical) {
      extent = std::max(extent, penX + rec->width - startX);
      penY += upwards ? -rec->advance : rec->advance;
    } else {
      extent = std::max(extent, glyphY + rec->height - startY);
      penX += rec->advance;
    }
  }
  return extent;
}
