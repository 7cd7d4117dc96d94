#include <algorithm>

#include "PIX_Blit.h"
#include "PIX_Draw.h"
#include "PIX_RowAccess.h"

namespace {

template <class Op>
void EachPixel(PixelWord* first, ptrdiff_t step, int cols, int rows, Op op) {
  for (int y = 0; y < rows; ++y, first += step)
    for (int x = 0; x < cols; ++x) op(first + x);
}

// The exact weights of a plain fill work on whole words, alpha byte included.
bool FillWordWide(PixelWord* first, ptrdiff_t step, int cols, int rows, PixelWord c, int w) {
  switch (w) {
    case 256:
      for (int y = 0; y < rows; ++y, first += step) std::fill(first, first + cols, c);
      return true;
    case 128: {
      const PixelWord half = (c >> 1) & 0x7F7F7F7F;
      EachPixel(first, step, cols, rows, [half](PixelWord* d) { *d = ((*d >> 1) & 0x7F7F7F7F) + half; });
      return true;
    }
    case 64: {
      const PixelWord quarter = (c >> 2) & 0x3F3F3F3F;
      EachPixel(first, step, cols, rows,
                [quarter](PixelWord* d) { *d = ((*d >> 1) & 0x7F7F7F7F) + ((*d >> 2) & 0x3F3F3F3F) + quarter; });
      return true;
    }
    case 192: {
      const PixelWord threeQuarters = ((c >> 2) & 0x3F3F3F3F) + ((c >> 1) & 0x7F7F7F7F);
      EachPixel(first, step, cols, rows,
                [threeQuarters](PixelWord* d) { *d = ((*d >> 2) & 0x3F3F3F3F) + threeQuarters; });
      return true;
    }
    default: return false;
  }
}

}  // namespace

void FillRect(PIX_IBitmap* bm, int x, int y, int w, int h, PixelWord colour, float alpha, int mode) {
  if (mode & ModeUseSourceAlpha) alpha = alpha * ((float)(colour >> 24) / 255.0f);
  if (!bm) return;
  PixelWord* bits = bm->PixelBits();
  if (!bits || bm->RowSpan() == 0 || alpha == 0.0f) return;

  long long left = x, top = y, cols = w, rows = h;
  if (left < 0) {
    cols += left;
    left = 0;
  }
  if (top < 0) {
    rows += top;
    top = 0;
  }
  const int bw = bm->Width(), bh = bm->Height();
  if (cols < 1 || rows < 1 || left >= bw || top >= bh) return;
  cols = std::min<long long>(cols, bw - left);
  rows = std::min<long long>(rows, bh - top);

  // A bottom-up bitmap reaches the same rectangle from its last stored row.
  PixelWord* first;
  ptrdiff_t step = bm->RowSpan();
  if (bm->IsBottomUp())
    first = bits + (ptrdiff_t)(bh - top - rows) * step + left;
  else
    first = bits + (ptrdiff_t)top * step + left;

  const int wt = WeightFromAlpha(alpha);
  const int op = mode & 0xFF;
  if (op == ModeCopy && FillWordWide(first, step, (int)cols, (int)rows, colour, wt)) return;
  if (wt == 0) return;

  const int r = (int)((colour >> 16) & 0xFF), g = (int)((colour >> 8) & 0xFF), b = (int)(colour & 0xFF);
  const int n = (int)cols, m = (int)rows;
  switch (op) {
    case ModeCopy:
      if (wt < 1) return;
      EachPixel(first, step, n, m, [&](PixelWord* d) {
        unsigned char* p = (unsigned char*)d;
        p[0] = (unsigned char)(b + (p[0] - b) * (256 - wt) / 256);
        p[1] = (unsigned char)(g + (p[1] - g) * (256 - wt) / 256);
        p[2] = (unsigned char)(r + (p[2] - r) * (256 - wt) / 256);
        p[3] = (unsigned char)(wt + (p[3] - wt) * (256 - wt) / 256);
      });
      return;
    case ModeAdd: EachPixel(first, step, n, m, [&](PixelWord* d) { CombineAdd(d, r, g, b, wt, wt); }); return;
    case ModeDodge: EachPixel(first, step, n, m, [&](PixelWord* d) { CombineDodge(d, r, g, b, wt, wt); }); return;
    case ModeMultiply: {
      const int k = (256 - wt) * 256;
      EachPixel(first, step, n, m, [&](PixelWord* d) {
        unsigned char* p = (unsigned char*)d;
        p[0] = (unsigned char)((p[0] * (b * wt + k)) >> 16);
        p[1] = (unsigned char)((p[1] * (g * wt + k)) >> 16);
        p[2] = (unsigned char)((p[2] * (r * wt + k)) >> 16);
        p[3] = (unsigned char)((p[3] * (k + wt * wt)) >> 16);
      });
      return;
    }
    case ModeOverlay: EachPixel(first, step, n, m, [&](PixelWord* d) { CombineOverlay(d, r, g, b, wt, wt); }); return;
    case ModeHsvAdjust:
      EachPixel(first, step, n, m, [&](PixelWord* d) { CombineHsvAdjust(d, r, g, b, wt, wt); });
      return;
    default: return;
  }
}
