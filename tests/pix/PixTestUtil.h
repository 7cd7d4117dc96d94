// Helpers shared by the drawing-library tests.
#pragma once

#include <vector>

#include "PIX_Bitmap.h"

// A heap bitmap filled with one colour.
inline PIX_MemBitmap* FilledBitmap(int w, int h, PixelWord colour) {
  PIX_MemBitmap* bm = new PIX_MemBitmap;
  bm->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bm->PixelBits()[y * bm->RowSpan() + x] = colour;
  return bm;
}

inline PixelWord& Px(PIX_IBitmap* bm, int x, int y) {
  const int row = bm->IsBottomUp() ? bm->Height() - 1 - y : y;
  return bm->PixelBits()[row * bm->RowSpan() + x];
}

// A heap bitmap that stores its rows bottom-up, to check that every routine
// honours the storage order.
class BottomUpBitmap : public PIX_MemBitmap {
public:
  bool IsBottomUp() const override { return true; }
};

inline PixelWord Argb(int a, int r, int g, int b) {
  return ((PixelWord)a << 24) | ((PixelWord)r << 16) | ((PixelWord)g << 8) | (PixelWord)b;
}
