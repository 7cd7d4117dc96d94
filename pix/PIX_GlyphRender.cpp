// Compositing a cached coverage mask into a bitmap.
#include <algorithm>

#include "PIX_Blit.h"
#include "PIX_Draw.h"
#include "PIX_Font.h"
#include "PIX_RowAccess.h"

namespace {

inline int Byte(PixelWord v, int i) { return (int)((v >> (8 * i)) & 0xFF); }

// The modes other than a plain copy, with the colour as an opaque source.
void CombineWeighted(PixelWord* d, PixelWord colour, int op, int w) {
  const int r = Byte(colour, 2), g = Byte(colour, 1), b = Byte(colour, 0);
  switch (op) {
    case ModeAdd: CombineAdd(d, r, g, b, 255, w); break;
    case ModeDodge: CombineDodge(d, r, g, b, 255, w); break;
    case ModeMultiply: {
      const int k = (256 - w) * 256;
      unsigned char* p = (unsigned char*)d;
      for (int i = 0; i < 3; ++i) p[i] = (unsigned char)((p[i] * (Byte(colour, i) * w + k)) >> 16);
      p[3] = (unsigned char)((p[3] * (255 * w + k)) >> 16);
      break;
    }
    case ModeOverlay: CombineOverlay(d, r, g, b, 255, w); break;
    case ModeHsvAdjust: CombineHsvAdjust(d, r, g, b, 255, w); break;
    default: break;
  }
}

// Plain copy toward the colour by keep/256 of the distance: colour bytes move
// toward the colour and the alpha byte toward 255.
void MixToward(PixelWord* d, PixelWord colour, int keep) {
  unsigned char* p = (unsigned char*)d;
  for (int i = 0; i < 3; ++i) {
    const int s = Byte(colour, i);
    p[i] = (unsigned char)(s + (p[i] - s) * keep / 256);
  }
  p[3] = (unsigned char)(255 + (p[3] - 255) * keep / 256);
}

}  // namespace

bool PIX_CachedFont::RenderGlyph(PIX_IBitmap* bm, int code, int x, int y, const PIX_Rect* clip) {
  const GlyphRecord* rec = FindGlyph(code);
  if (!rec || rec->offset <= 0 || !bm || !bm->PixelBits()) return false;
  if (mFontFlags & FontVertical)
    y += (mFontFlags & FontBottomUp) ? -rec->bearing : rec->bearing;
  else
    x -= rec->bearing;

  PIX_Rect area = IntersectRects({x, y, x + rec->width, y + rec->height}, {0, 0, bm->Width(), bm->Height()});
  if (clip) area = IntersectRects(area, *clip);
  if (area.right <= area.left || area.bottom <= area.top) return false;

  if (mBackMode == 2)
    FillRect(bm, area.left, area.top, area.right - area.left, area.bottom - area.top, mBackColour, mAlpha,
             mBlendMode & ~ModeUseSourceAlpha);
  CompositeMask(bm, *rec, x, y, area);
  return true;
}

void PIX_CachedFont::CompositeMask(PIX_IBitmap* bm, const GlyphRecord& rec, int x, int y, const PIX_Rect& area) {
  const int op = mBlendMode & 0xFF;
  const bool twoTone = (mFontFlags & (FontShadow | FontOutline)) != 0;
  const bool solid = twoTone || (mFontFlags & FontMono);
  // A zero weight leaves antialiased text out; solid masks still go through
  // the blend (which, for the hue adjustment, is not the identity).
  const int weight = WeightFromAlpha(mAlpha);
  if (weight == 0 && !solid) return;
  const int D = solid ? std::min(weight, 256) : weight;

  const PIX_RowWalk walk = RowsFrom(bm, bm->PixelBits(), area.top, area.left);
  const unsigned char* mask = mGlyphData + rec.offset - 1;
  for (int row = area.top; row < area.bottom; ++row) {
    PixelWord* d = walk.first + (ptrdiff_t)(row - area.top) * walk.step;
    const unsigned char* m = mask + (row - y) * rec.width + (area.left - x);
    for (int i = 0; i < area.right - area.left; ++i, ++d) {
      const int c = m[i];
      if (c == 0) continue;
      if (solid) {
        const PixelWord colour = (twoTone && c == 128) ? mEffectColour : mTextColour;
        if (op == ModeCopy) {
          if (mAlpha == 1.0f)
            *d = colour;
          else
            MixToward(d, colour, 256 - D);
        } else {
          CombineWeighted(d, colour, op, D);
        }
        continue;
      }
      if (op == ModeCopy) {
        int keep;
        if (D == 256)
          keep = 255 - c;
        else
          keep = c * D >= 65792 ? 0 : 256 - c * D / 256;
        MixToward(d, mTextColour, keep);
      } else {
        CombineWeighted(d, mTextColour, op, D == 256 ? c + 1 : std::min(c * D / 256, 256));
      }
    }
  }
}
