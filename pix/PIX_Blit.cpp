#include "PIX_Blit.h"

#include <algorithm>
#include <cstring>

#include "PIX_CopyRow.h"
#include "PIX_RowAccess.h"

namespace {

struct Area {
  PixelWord* dest;
  const PixelWord* src;
  ptrdiff_t destStep, srcStep;
  int cols, rows;
};

// Runs op(destPixel, sourceWord) over the area; instantiated once per mode so
// the mode is dispatched per call, not per pixel.
template <class Op>
void EachPixel(const Area& area, Op op) {
  PixelWord* d = area.dest;
  const PixelWord* s = area.src;
  for (int y = 0; y < area.rows; ++y, d += area.destStep, s += area.srcStep)
    for (int x = 0; x < area.cols; ++x) op(d + x, s[x]);
}

template <class Combine>
void EachCombine(const Area& area, Combine combine) {
  EachPixel(area, [&](PixelWord* d, PixelWord s) {
    combine(d, (int)((s >> 16) & 0xFF), (int)((s >> 8) & 0xFF), (int)(s & 0xFF), (int)(s >> 24));
  });
}

void CopyRows(const Area& area, bool overlapping) {
  PixelWord* d = area.dest;
  const PixelWord* s = area.src;
  const size_t bytes = (size_t)area.cols * sizeof(PixelWord);
  for (int y = 0; y < area.rows; ++y, d += area.destStep, s += area.srcStep) {
    if (overlapping)
      std::memmove(d, s, bytes);
    else
      std::memcpy(d, s, bytes);
  }
}

void ChannelCopy(const Area& area, int mode) {
  const int to = (mode >> 2) & 3, from = mode & 3;
  EachPixel(area, [&](PixelWord* d, PixelWord s) { ((unsigned char*)d)[to] = (unsigned char)(s >> (8 * from)); });
}

void Dispatch(const Area& area, float alpha, int mode, bool sameBitmap) {
  if ((mode & 0xF0) == 0xF0) {
    ChannelCopy(area, mode);
    return;
  }
  mode &= 0x100FF;
  if (mode == ModeCopy) {
    if (alpha == 1.0f) {
      CopyRows(area, sameBitmap);
      return;
    }
    if (alpha == 0.5f) {
      EachPixel(area, [](PixelWord* d, PixelWord s) { *d = ((s >> 1) & 0x7F7F7F7F) + ((*d >> 1) & 0x7F7F7F7F); });
      return;
    }
  }
  const int w = WeightFromAlpha(alpha);
  if (w == 0) return;

  switch (mode) {
    case ModeCopy:
      if (w < 1) return;
      if (w == 256) {
        CopyRows(area, sameBitmap);
        return;
      }
      EachPixel(area, [w](PixelWord* d, PixelWord s) {
        unsigned char* p = (unsigned char*)d;
        for (int i = 0; i < 4; ++i) {
          const int sv = (int)((s >> (8 * i)) & 0xFF);
          p[i] = (unsigned char)(sv + (p[i] - sv) * (256 - w) / 256);
        }
      });
      return;
    case ModeUseSourceAlpha:
      if (w == 256) {
        PixelWord* d = area.dest;
        const PixelWord* s = area.src;
        for (int y = 0; y < area.rows; ++y, d += area.destStep, s += area.srcStep) CopySourceAlphaRow(d, s, area.cols);
        return;
      }
      EachPixel(area, [w](PixelWord* d, PixelWord s) {
        const int sa = (int)(s >> 24);
        if (sa == 0) return;
        const int wa = (sa + 1) * w / 256;
        unsigned char* p = (unsigned char*)d;
        for (int i = 0; i < 3; ++i) {
          const int sv = (int)((s >> (8 * i)) & 0xFF);
          p[i] = (unsigned char)(sv + (p[i] - sv) * (256 - wa) / 256);
        }
        p[3] = (unsigned char)std::min(p[3] + wa, 255);
      });
      return;
    case ModeAdd:
      EachCombine(area, [w](PixelWord* d, int r, int g, int b, int a) { CombineAdd(d, r, g, b, a, w); });
      return;
    case ModeAdd | ModeUseSourceAlpha:
      EachCombine(area, [w](PixelWord* d, int r, int g, int b, int a) { CombineAddSourceAlpha(d, r, g, b, a, w); });
      return;
    case ModeDodge:
      EachCombine(area, [w](PixelWord* d, int r, int g, int b, int a) { CombineDodge(d, r, g, b, a, w); });
      return;
    case ModeDodge | ModeUseSourceAlpha:
      EachCombine(area, [w](PixelWord* d, int r, int g, int b, int a) { CombineDodgeSourceAlpha(d, r, g, b, a, w); });
      return;
    case ModeMultiply:
      EachPixel(area, [w](PixelWord* d, PixelWord s) {
        unsigned char* p = (unsigned char*)d;
        for (int i = 0; i < 4; ++i) {
          const int sv = (int)((s >> (8 * i)) & 0xFF);
          p[i] = (unsigned char)(((w * (sv - 256) + 65536) * p[i]) >> 16);
        }
      });
      return;
    case ModeMultiply | ModeUseSourceAlpha:
      EachCombine(area,
                  [w](PixelWord* d, int r, int g, int b, int a) { CombineMultiplySourceAlpha(d, r, g, b, a, w); });
      return;
    case ModeOverlay:
      EachCombine(area, [w](PixelWord* d, int r, int g, int b, int a) { CombineOverlay(d, r, g, b, a, w); });
      return;
    case ModeOverlay | ModeUseSourceAlpha:
      EachCombine(area,
                  [w](PixelWord* d, int r, int g, int b, int a) { CombineOverlay(d, r, g, b, a, (a + 1) * w / 256); });
      return;
    case ModeHsvAdjust:
      EachCombine(area, [w](PixelWord* d, int r, int g, int b, int a) { CombineHsvAdjust(d, r, g, b, a, w); });
      return;
    case ModeHsvAdjust | ModeUseSourceAlpha:
      EachCombine(
          area, [w](PixelWord* d, int r, int g, int b, int a) { CombineHsvAdjust(d, r, g, b, a, (a + 1) * w / 256); });
      return;
    default: return;
  }
}

}  // namespace

void BlitBitmap(PIX_IBitmap* dest, PIX_IBitmap* src, int x, int y, const PIX_Rect* srcRect, float alpha, int mode) {
  if (!dest || !src || alpha == 0.0f) return;

  // Clip in 64 bits so extreme positions and rectangles cannot overflow.
  long long left = 0, top = 0, right = src->Width(), bottom = src->Height();
  long long dx = x, dy = y;
  if (srcRect) {
    right = std::min<long long>(srcRect->right, right);
    bottom = std::min<long long>(srcRect->bottom, bottom);
    left = srcRect->left;
    top = srcRect->top;
    if (left < 0) {
      dx -= left;
      left = 0;
    }
    if (top < 0) {
      dy -= top;
      top = 0;
    }
  }
  if (dx < 0) {
    left -= dx;
    dx = 0;
  }
  if (dy < 0) {
    top -= dy;
    dy = 0;
  }
  const long long destW = dest->Width(), destH = dest->Height();
  if (right <= left || bottom <= top || dx >= destW || dy >= destH) return;
  right = std::min(right, left + destW - dx);
  bottom = std::min(bottom, top + destH - dy);
  if (right <= left || bottom <= top) return;

  PixelWord* destBits = dest->PixelBits();
  PixelWord* srcBits = src->PixelBits();
  if (!destBits || !srcBits) return;

  const PIX_RowWalk d = RowsFrom(dest, destBits, (int)dy, (int)dx);
  const PIX_RowWalk s = RowsFrom(src, srcBits, (int)top, (int)left);
  const Area area = {d.first, s.first, d.step, s.step, (int)(right - left), (int)(bottom - top)};
  Dispatch(area, alpha, mode, destBits == srcBits);
}
