#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "PIX_Draw.h"
#include "PIX_RowAccess.h"

namespace {
// Per-byte fractions of a whole word: the floors keep every byte in range.
inline PixelWord Half(PixelWord p) { return (p >> 1) & 0x7F7F7F7F; }
inline PixelWord Quarter(PixelWord p) { return (p >> 2) & 0x3F3F3F3F; }
inline PixelWord Eighth(PixelWord p) { return (p >> 3) & 0x1F1F1F1F; }

// Blurs one row in place; vertical is the sum of the vertical neighbours'
// fractions (a quarter of the single neighbour on the first and last rows,
// an eighth of each otherwise). Left neighbours are read before being overwritten.
void BlurRow(PixelWord* row, int w, const PixelWord* above, const PixelWord* below) {
  auto vertical = [&](int i) -> PixelWord {
    if (above && below) return Eighth(above[i]) + Eighth(below[i]);
    return Quarter(above ? above[i] : below[i]);
  };
  PixelWord left = row[0];
  row[0] = vertical(0) + Half(row[0]) + Quarter(row[1]);
  for (int i = 1; i < w - 1; ++i) {
    const PixelWord cur = row[i];
    row[i] = vertical(i) + Eighth(left) + Half(cur) + Eighth(row[i + 1]);
    left = cur;
  }
  row[w - 1] = vertical(w - 1) + Quarter(left) + Half(row[w - 1]);
}
}  // namespace

void BlurBitmap(PIX_IBitmap* bm, int w, int h) {
  if (!bm) return;
  const int bw = bm->Width(), bh = bm->Height();
  w = std::min(w, bw);
  h = std::min(h, bh);
  if (w < 1 || h < 1 || bw < 1 || bh < 1 || w < 2 || h < 2) return;
  PixelWord* bits = bm->PixelBits();
  if (!bits) return;

  // Two saved rows: the current one (its pre-blur copy is the next row's
  // upper neighbour) and the previous one.
  PixelWord fixed[2 * 1024];
  PixelWord* saved = fixed;
  if (w > 1024) saved = (PixelWord*)std::malloc((size_t)w * 2 * sizeof(PixelWord));

  const PIX_RowWalk walk = RowsFrom(bm, bits, 0, 0);
  for (int i = 0; i < h; ++i) {
    PixelWord* row = walk.first + walk.step * i;
    const PixelWord* above = nullptr;
    if (i > 0) above = saved ? saved + ((i - 1) & 1) * (ptrdiff_t)w : row - walk.step;
    if (saved) std::memcpy(saved + (i & 1) * (ptrdiff_t)w, row, (size_t)w * sizeof(PixelWord));
    const PixelWord* below = i + 1 < h ? row + walk.step : nullptr;
    BlurRow(row, w, above, below);
  }
  if (saved != fixed) std::free(saved);
}
