// Row addressing shared by the pixel routines: honours bottom-up storage by
// starting at the last stored row and stepping backwards.
#pragma once

#include <cstddef>

#include "PIX_Bitmap.h"

struct PIX_RowWalk {
    PixelWord* first;  // pixel (col, row) of the logical row
    ptrdiff_t step;    // words from one logical row to the next
};

inline PIX_RowWalk PIX_RowsFrom(const PIX_IBitmap* bm, PixelWord* bits, int row, int col)
{
    const ptrdiff_t span = bm->RowSpan();
    if (bm->IsBottomUp()) return {bits + (ptrdiff_t)(bm->Height() - 1 - row) * span + col, -span};
    return {bits + (ptrdiff_t)row * span + col, span};
}
