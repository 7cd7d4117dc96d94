// Row addressing and rectangle clipping shared by the pixel routines. Rows of
// bottom-up bitmaps are reached from the last stored row, stepping backwards.
#pragma once

#include <cstddef>
#include <cstdint>

#include "PIX_Bitmap.h"

struct PIX_RowWalk {
  PixelWord* first;  // pixel (col, row) of the logical row
  ptrdiff_t step;    // words from one logical row to the next
};

inline PIX_RowWalk RowsFrom(const PIX_IBitmap* bm, PixelWord* bits, int row, int col) {
  const ptrdiff_t span = bm->RowSpan();
  if (bm->IsBottomUp()) return {bits + (ptrdiff_t)(bm->Height() - 1 - row) * span + col, -span};
  return {bits + (ptrdiff_t)row * span + col, span};
}

inline PIX_Rect IntersectRects(const PIX_Rect& a, const PIX_Rect& b) {
  return {a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
          a.bottom < b.bottom ? a.bottom : b.bottom};
}

// Text is clipped to the bitmap and, unless the format has DT_NOCLIP (0x100), to its rectangle.
inline PIX_Rect TextClipRect(const PIX_IBitmap* bm, const PIX_Rect& rect, uint32_t format) {
  const PIX_Rect whole = {0, 0, bm->Width(), bm->Height()};
  return (format & 0x100) ? whole : IntersectRects(whole, rect);
}
