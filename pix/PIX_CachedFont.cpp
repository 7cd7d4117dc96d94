// Font object life cycle, the glyph record tables and the system-font factory.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "PIX_Font.h"
#include "PIX_FontTesting.h"
#include "PIX_GlyphSurface.h"
#include "PIX_SysBitmap.h"

PIX_SysBitmap* PIX_CachedFont::GlyphSurface = nullptr;
PIX_SysBitmap* PIX_CachedFont::TextScratchSurface = nullptr;
int PIX_CachedFont::LiveFontCount = 0;
int PIX_CachedFont::WineDetectedFlag = -1;

void ForceWineDetection(int flag) { PIX_CachedFont::WineDetectedFlag = flag; }

PIX_SysBitmap* PrepareGlyphSurface(int size) {
  if (!PIX_CachedFont::GlyphSurface) PIX_CachedFont::GlyphSurface = new PIX_SysBitmap(0, 0);
  PIX_SysBitmap* surface = PIX_CachedFont::GlyphSurface;
  if (surface->Width() < size || surface->Height() < size) {
    surface->SetSize(size, size);
    // Glyphs are rendered white on an opaque black background.
    HDC dc = (HDC)surface->DeviceContext();
    if (dc) {
      SetTextColor(dc, RGB(255, 255, 255));
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, RGB(0, 0, 0));
    }
  }
  return surface;
}

PIX_CachedFont::PIX_CachedFont() {
  std::memset(mAscii, 0, sizeof mAscii);
  ++LiveFontCount;
}

PIX_CachedFont::~PIX_CachedFont() {
  if ((mFontFlags & FontOwnsHandle) && mFont) DeleteObject((HGDIOBJ)mFont);
  if (--LiveFontCount == 0) {
    delete GlyphSurface;
    GlyphSurface = nullptr;
    delete TextScratchSurface;
    TextScratchSurface = nullptr;
  }
  std::free(mExtTable);
  std::free(mGlyphData);
}

PixelWord PIX_CachedFont::ChangeTextColour(PixelWord colour) {
  std::swap(mTextColour, colour);
  return colour;
}

PixelWord PIX_CachedFont::ChangeBackColour(PixelWord colour) {
  std::swap(mBackColour, colour);
  return colour;
}

PixelWord PIX_CachedFont::ChangeEffectColour(PixelWord colour) {
  std::swap(mEffectColour, colour);
  return colour;
}

int PIX_CachedFont::ChangeBackMode(int mode) {
  std::swap(mBackMode, mode);
  return mode;
}

void PIX_CachedFont::ChangeBlend(int mode, float newAlpha) {
  mBlendMode = mode;
  mAlpha = newAlpha;
}

void PIX_CachedFont::AttachFontHandle(void* fontHandle, int flags) {
  if ((mFontFlags & FontOwnsHandle) && mFont && mFont != fontHandle) DeleteObject((HGDIOBJ)mFont);
  mFontFlags = flags;
  mFont = fontHandle;
  if (mFont) {
    PIX_SysBitmap* surface = PrepareGlyphSurface(256);
    HDC dc = (HDC)surface->DeviceContext();
    if (dc) {
      HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)mFont);
      TEXTMETRICA metrics;
      if (GetTextMetricsA(dc, &metrics)) mLineHeight = metrics.tmHeight;
      SelectObject(dc, previous);
    }
  }
  EmptyCache();
  if (mFontFlags & FontPrecacheAscii)
    for (int code = 0; code < 128; ++code) CacheGlyph(code);
}

void PIX_CachedFont::EmptyCache() {
  std::memset(mAscii, 0, sizeof mAscii);
  mExtSize = 0;
  mDataSize = 0;
}

const GlyphRecord* PIX_CachedFont::FindGlyph(int code) const {
  return const_cast<PIX_CachedFont*>(this)->LookupGlyph(code, false);
}

// Codes below 128 index the fixed table; the rest live in the extended table,
// kept sorted by code and searched by bisection.
GlyphRecord* PIX_CachedFont::LookupGlyph(int code, bool create) {
  if (code < 0 || code > 0xFFFF) return nullptr;
  if (code < 128) return &mAscii[code];
  GlyphRecord* table = (GlyphRecord*)mExtTable;
  const int count = mExtSize / (int)sizeof(GlyphRecord);
  GlyphRecord* at = std::lower_bound(table, table + count, (uint32_t)code,
                                     [](const GlyphRecord& r, uint32_t c) { return r.code < c; });
  if (at != table + count && at->code == (uint32_t)code) return at;
  if (!create) return nullptr;

  const int index = (int)(at - table);
  const int need = mExtSize + (int)sizeof(GlyphRecord);
  if (need > mExtCapacity) {
    const int grown = (need + 4095) & ~4095;
    unsigned char* moved = (unsigned char*)std::realloc(mExtTable, (size_t)grown);
    if (!moved) return nullptr;
    mExtTable = moved;
    mExtCapacity = grown;
    table = (GlyphRecord*)mExtTable;
  }
  std::memmove(table + index + 1, table + index, (size_t)(count - index) * sizeof(GlyphRecord));
  mExtSize = need;
  GlyphRecord* rec = table + index;
  std::memset(rec, 0, sizeof *rec);
  rec->code = (uint32_t)code;
  return rec;
}

PIX_IFont* CreateSystemFont(const char* face, int height, int orientationDegrees, int style, int quality) {
  static const DWORD kQuality[4] = {0, 3, 4, 5};
  const DWORD q = (quality >= 0 && quality < 4) ? kQuality[quality] : 0;
  const int angle = orientationDegrees * 10;
  HFONT handle =
      CreateFontA(height, 0, angle, angle, style == 1 ? 700 : 400, style == 2, FALSE, FALSE, 0, 0, 0, q, 0, face);
  if (!handle) return nullptr;
  PIX_CachedFont* font = new PIX_CachedFont;
  font->AttachFontHandle(handle, FontOwnsHandle | FontNativeText);
  return font;
}
