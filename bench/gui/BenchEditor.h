#pragma once
// The benchmark editor: 784 x 184, a background and five filmstrip controls
// with artwork of the real sizes, on any graphics object.
#include <memory>
#include <vector>

#include "IBitmapControl.h"
#include "IEffectBase.h"
#include "IGraphics.h"
#include "IKnobControl.h"
#include "ISwitchControl.h"
#include "PIX_Bitmap.h"

namespace bench {

class BenchEffect : public IEffectBase {
public:
  BenchEffect()
      : IEffectBase(5, "1-1 2-2", 1, "Bench", "", "Bench", MakeFourCC("Bnch"), MakeFourCC("Bnch"), 0x20000, 1, 0, false,
                    false) {
    for (int i = 0; i < 5; ++i) GetParam(i)->Define("P", 0.5, 0.0, 1.0, 0.01);
  }
};

// Artwork with varied alpha, as real anti-aliased knobs have.
inline PIX_MemBitmap* SyntheticStrip(int w, int h) {
  auto* b = new PIX_MemBitmap();
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b->PixelBits()[y * b->RowSpan() + x] = (unsigned((x * 7 + y * 3) & 0xFF) << 24) | unsigned(x * 2654435761u);
  return b;
}

// Graphics: an IGraphics made with (IEffectBase*, width, height).
template <class Graphics>
struct Editor {
  template <class... Extra>
  explicit Editor(Extra... extra) {
    art.emplace_back(SyntheticStrip(784, 184));
    art.emplace_back(SyntheticStrip(61, 106));
    art.emplace_back(SyntheticStrip(103, 5917));
    art.emplace_back(SyntheticStrip(101, 5917));
    art.emplace_back(SyntheticStrip(101, 5917));
    art.emplace_back(SyntheticStrip(74, 4453));
    graphics = new Graphics(&effect, 784, 184, extra...);
    graphics->AddBackground(new IBitmapControl(&effect, 0, 0, -1, BitmapRefOf(art[0].get(), 1), kBlendReplace));
    graphics->AddControl(new ISwitchControl(&effect, 91, 53, 4, BitmapRefOf(art[1].get(), 2)));
    graphics->AddControl(new IKnobMultiControl(&effect, 191, 26, 0, BitmapRefOf(art[2].get(), 61)));
    graphics->AddControl(new IKnobMultiControl(&effect, 341, 26, 1, BitmapRefOf(art[3].get(), 61)));
    graphics->AddControl(new IKnobMultiControl(&effect, 490, 26, 2, BitmapRefOf(art[4].get(), 61)));
    graphics->AddControl(new IKnobMultiControl(&effect, 626, 40, 3, BitmapRefOf(art[5].get(), 61)));
    effect.BindGraphics(graphics);  // owned by the effect from here on
  }
  std::vector<std::unique_ptr<PIX_MemBitmap>> art;  // outlives the effect's controls
  BenchEffect effect;
  Graphics* graphics;
};

}  // namespace bench
