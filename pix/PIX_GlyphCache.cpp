// Rendering one character with GDI into an 8-bit coverage mask.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "PIX_Blit.h"
#include "PIX_Draw.h"
#include "PIX_Font.h"
#include "PIX_GlyphSurface.h"
#include "PIX_SysBitmap.h"

namespace {

void MarkEmpty(GlyphRecord* rec) {
  rec->offset = -1;
  rec->width = rec->height = rec->advance = rec->bearing = 0;
}

// A quarter turn of a w x h mask; upwards text turns one way, downwards the other.
void Rotate(unsigned char* mask, unsigned char* scratch, int w, int h, bool readsUpwards) {
  std::memcpy(scratch, mask, (size_t)w * h);
  for (int i = 0; i < w; ++i)    // new row
    for (int j = 0; j < h; ++j)  // new column
      mask[i * h + j] = readsUpwards ? scratch[j * w + (w - 1 - i)] : scratch[(h - 1 - j) * w + i];
}

// Shadows and outlines: ink becomes 255, and blank bytes next to ink 128.
void MarkEdges(unsigned char* mask, int w, int h, bool shadow) {
  auto ink = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && mask[y * w + x] == 255; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (mask[y * w + x] != 0) continue;
      const bool touches = shadow ? (ink(x - 1, y) || ink(x, y - 1) || ink(x - 1, y - 1))
                                  : (ink(x, y - 1) || ink(x, y + 1) || ink(x - 1, y) || ink(x + 1, y));
      if (touches) mask[y * w + x] = 128;
    }
}

}  // namespace

bool PIX_CachedFont::CacheGlyph(int code) {
  if (mLineHeight > 1023) return false;
  if (code >= 128 && (mFontFlags & FontPrecacheAscii)) return false;
  GlyphRecord* rec = LookupGlyph(code, true);
  if (!rec) return false;
  if (rec->offset != 0) return rec->offset > 0;

  PIX_SysBitmap* surface = PrepareGlyphSurface(std::max(mLineHeight, 1) * 2 + 8);
  HDC dc = (HDC)surface->DeviceContext();
  PixelWord* bits = surface->PixelBits();
  if (!dc || !bits) {
    MarkEmpty(rec);
    return false;
  }
  HGDIOBJ previous = mFont ? SelectObject(dc, (HGDIOBJ)mFont) : nullptr;
  const int pad = GlyphPad(mLineHeight);
  const wchar_t ch = (wchar_t)code;
  RECT box = {0, 0, 0, 0};
  DrawTextW(dc, &ch, 1, &box, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
  int W = box.right - box.left, H = box.bottom - box.top;
  FillRect(surface, 0, 0, W + 2 * pad, H, 0, 1.0f, ModeCopy);
  RECT at = {pad, 0, pad + W, H};
  DrawTextW(dc, &ch, 1, &at, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
  GdiFlush();  // the pixels are read directly below
  if (previous) SelectObject(dc, previous);
  int boxWidth = std::min(W + 2 * pad, surface->Width());
  W = std::min(W, surface->Width());
  H = std::min(H, surface->Height());
  if (W < 1 || H < 1) {
    MarkEmpty(rec);
    return false;
  }

  rec->advance = W;
  if (mFontFlags & FontBlur) BlurBitmap(surface, boxWidth, H);
  const long long need = (long long)mDataSize + (long long)boxWidth * H;
  if (need > INT_MAX - 65535) {
    MarkEmpty(rec);
    return false;
  }
  if (need > mDataCapacity) {
    const int grown = (int)((need + 65535) & ~65535LL);
    unsigned char* moved = (unsigned char*)std::realloc(mGlyphData, (size_t)grown);
    if (!moved) {
      MarkEmpty(rec);
      return false;
    }
    mGlyphData = moved;
    mDataCapacity = grown;
  }
  unsigned char* mask = mGlyphData + mDataSize;

  // Coverage is the red channel. Find the blank columns on the left (within
  // the pad) and the end of the ink on the right, to trim the mask.
  const int span = surface->RowSpan();
  const bool invert = (mFontFlags & FontInvert) != 0;
  int blankLeft = pad, inkEnd = std::min(W + pad, boxWidth);
  for (int y = 0; y < H; ++y) {
    const PixelWord* row = bits + (ptrdiff_t)y * span;
    unsigned char* out = mask + y * boxWidth;
    for (int x = 0; x < boxWidth; ++x) {
      const unsigned char v = (unsigned char)((row[x] >> 16) & 0xFF);
      out[x] = invert ? (unsigned char)(255 - v) : v;
      if (out[x] != 0) {
        if (x < blankLeft) blankLeft = x;
        if (x + 1 > inkEnd) inkEnd = x + 1;
      }
    }
  }
  int width = boxWidth;
  if (inkEnd < boxWidth || blankLeft > 0) {
    width = inkEnd - blankLeft;
    for (int y = 0; y < H; ++y) std::memmove(mask + y * width, mask + y * boxWidth + blankLeft, (size_t)width);
  }
  int height = H;
  if (mFontFlags & FontVertical) {
    Rotate(mask, (unsigned char*)bits, width, height, (mFontFlags & FontBottomUp) != 0);
    std::swap(width, height);
  }
  if (mFontFlags & (FontMono | FontShadow | FontOutline))
    for (int i = 0; i < width * height; ++i) mask[i] = mask[i] > 130 ? 255 : 0;
  if (mFontFlags & (FontShadow | FontOutline)) MarkEdges(mask, width, height, (mFontFlags & FontShadow) != 0);

  rec->offset = mDataSize + 1;
  rec->width = width;
  rec->height = height;
  rec->bearing = pad - blankLeft;
  mDataSize += width * height;
  return true;
}
