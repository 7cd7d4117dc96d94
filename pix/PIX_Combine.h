// Per-pixel combiners shared by blitting, fills and glyph drawing.
// All arithmetic is integer; "/" truncates toward zero as in C.
// The pixel is addressed as bytes B, G, R, A at offsets 0-3.
#pragma once

#include <array>

#include "PIX_Bitmap.h"

namespace pix_detail {
inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline PixelWord Pack(int a, int r, int g, int b) {
  return ((PixelWord)(a & 0xFF) << 24) | ((PixelWord)(r & 0xFF) << 16) | ((PixelWord)(g & 0xFF) << 8) |
         (PixelWord)(b & 0xFF);
}
// Channel value s of (b, g, r, a) for byte offset i.
inline int Pick(int i, int r, int g, int b, int a) { return i == 0 ? b : i == 1 ? g : i == 2 ? r : a; }
}  // namespace pix_detail

// Integer weight trunc(alpha * 256), 256 being full strength. Weights are kept
// within +-4096 so out-of-range alphas cannot overflow the channel arithmetic;
// NaN gives 0.
inline int WeightFromAlpha(float alpha) {
  const double w = (double)alpha * 256.0;
  if (!(w > -4096.0)) return w <= -4096.0 ? -4096 : 0;
  return w >= 4096.0 ? 4096 : (int)w;
}

// Copy with source alpha at full weight.
inline void CombineCopySourceAlpha(PixelWord* dest, int r, int g, int b, int a) {
  if (a == 0) return;
  if (a == 255) {
    *dest = pix_detail::Pack(a, r, g, b);
    return;
  }
  unsigned char* d = (unsigned char*)dest;
  const int f = 255 - a;
  d[0] = (unsigned char)(b + (d[0] - b) * f / 256);
  d[1] = (unsigned char)(g + (d[1] - g) * f / 256);
  d[2] = (unsigned char)(r + (d[2] - r) * f / 256);
  const int na = d[3] + a;
  d[3] = (unsigned char)(na > 255 ? 255 : na);
}

inline void CombineAdd(PixelWord* dest, int r, int g, int b, int a, int w) {
  unsigned char* d = (unsigned char*)dest;
  for (int i = 0; i < 4; ++i)
    d[i] = (unsigned char)pix_detail::Clamp255(d[i] + pix_detail::Pick(i, r, g, b, a) * w / 256);
}

inline void CombineAddSourceAlpha(PixelWord* dest, int r, int g, int b, int a, int w) {
  if (a == 0) return;
  CombineAdd(dest, r, g, b, a, (a + 1) * w / 256);
}

inline void CombineDodge(PixelWord* dest, int r, int g, int b, int a, int w) {
  unsigned char* d = (unsigned char*)dest;
  for (int i = 0; i < 4; ++i) {
    const int q = 256 - pix_detail::Pick(i, r, g, b, a) * w / 256;
    d[i] = (unsigned char)pix_detail::Clamp255(q > 1 ? (d[i] * 256) / q : d[i] * 256);
  }
}

inline void CombineDodgeSourceAlpha(PixelWord* dest, int r, int g, int b, int a, int w) {
  CombineDodge(dest, r, g, b, a, (a + 1) * w / 256);
}

inline void CombineMultiplySourceAlpha(PixelWord* dest, int r, int g, int b, int a, int w) {
  if (a == 0) return;
  const int wa = (a + 1) * w / 256;
  const int k = (256 - wa) * 256;
  unsigned char* d = (unsigned char*)dest;
  for (int i = 0; i < 4; ++i) d[i] = (unsigned char)(((pix_detail::Pick(i, r, g, b, a) * wa + k) * d[i]) >> 16);
}

inline void CombineOverlay(PixelWord* dest, int r, int g, int b, int a, int w) {
  unsigned char* d = (unsigned char*)dest;
  for (int i = 0; i < 4; ++i) {
    const int s = pix_detail::Pick(i, r, g, b, a) * w + (256 - w) * 128;
    const int v = d[i];
    d[i] = (unsigned char)pix_detail::Clamp255((v * (s + (32768 - s) * v / 256)) >> 15);
  }
}

// t[0] = 0, t[x] = floor(65536 / x) - 1.
extern const std::array<uint16_t, 256> ReciprocalTable;

// Shifts the destination's hue, saturation and value by amounts taken from
// r, g and b (128 meaning no change for saturation and value) and sets alpha to a.
void CombineHsvAdjust(PixelWord* dest, int r, int g, int b, int a, int w);
