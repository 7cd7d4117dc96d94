// Editor painting cost: a full repaint of the 784 x 184 editor (background and
// five filmstrip controls with artwork of the real sizes) and a timer tick
// that finds nothing to paint.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "IEffectBase.h"
#include "IGraphicsHeadless.h"
#include "IKnobControl.h"
#include "ISwitchControl.h"
#include "PIX_Bitmap.h"

namespace {

class BenchEffect : public IEffectBase {
public:
  BenchEffect()
      : IEffectBase(5, "1-1 2-2", 1, "Bench", "", "Bench", MakeFourCC("Bnch"), MakeFourCC("Bnch"), 0x20000, 1,
                    0, false, false) {
    for (int i = 0; i < 5; ++i) GetParam(i)->Define("P", 0.5, 0.0, 1.0, 0.01);
  }
};

// Artwork with varied alpha, as real anti-aliased knobs have.
PIX_MemBitmap* SyntheticStrip(int w, int h) {
  auto* b = new PIX_MemBitmap();
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b->PixelBits()[y * b->RowSpan() + x] = (unsigned((x * 7 + y * 3) & 0xFF) << 24) | unsigned(x * 2654435761u);
  return b;
}

struct Editor {
  Editor() {
    art.emplace_back(SyntheticStrip(784, 184));
    art.emplace_back(SyntheticStrip(61, 106));
    art.emplace_back(SyntheticStrip(103, 5917));
    art.emplace_back(SyntheticStrip(101, 5917));
    art.emplace_back(SyntheticStrip(101, 5917));
    art.emplace_back(SyntheticStrip(74, 4453));
    graphics = new IGraphicsHeadless(&effect, 784, 184);
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
  IGraphicsHeadless* graphics;
};

void BM_FullRepaint(benchmark::State& state) {
  Editor editor;
  for (auto _ : state) {
    editor.graphics->MarkAllChanged();
    IBox dirty;
    editor.graphics->CollectDirtyBox(dirty);
    benchmark::DoNotOptimize(editor.graphics->PaintRegion(dirty));
  }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
  Editor editor;
  IBox dirty;
  while (editor.graphics->CollectDirtyBox(dirty)) editor.graphics->PaintRegion(dirty);
  for (auto _ : state) {
    bool found = editor.graphics->CollectDirtyBox(dirty);
    if (found) editor.graphics->PaintRegion(dirty);
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);

// One knob moved by the host: the tick repaints its box only.
void BM_OneKnobTick(benchmark::State& state) {
  Editor editor;
  IBox dirty;
  while (editor.graphics->CollectDirtyBox(dirty)) editor.graphics->PaintRegion(dirty);
  IControl* knob = editor.graphics->GetControl(2);
  double v = 0.0;
  for (auto _ : state) {
    v = v > 0.9 ? 0.0 : v + 0.05;
    knob->ReceivePluginValue(v);
    editor.graphics->CollectDirtyBox(dirty);
    benchmark::DoNotOptimize(editor.graphics->PaintRegion(dirty));
  }
}
BENCHMARK(BM_OneKnobTick)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
