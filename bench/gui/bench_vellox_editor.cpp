// The effect's own editor, off-screen: a timer tick that finds nothing to
// paint with the pattern panel showing a pattern (the playhead still), and a
// full repaint of the whole editor at content scales 1, 1.5 and 2 (the
// argument is ten times the scale).
#include <benchmark/benchmark.h>

#include "IGraphics.h"
#include "VelloxEditor.h"
#include "VelloxEffect.h"

namespace {

using Effect = VelloxEffect<IEffectBase>;

struct PatternEditor {
  Effect fx{&BuildVelloxEditor};
  IGraphics* graphics = dynamic_cast<IGraphics*>(fx.Graphics());

  explicit PatternEditor(double scale) {
    fx.GetParam(kVelloxPattern)->SetFromNormalized(1.0);
    fx.GetParam(kVelloxSteps)->SetFromNormalized(11.0 / 15.0);
    for (int k = 0; k < kVelloxMaxSteps; ++k) fx.GetParam(kVelloxStep1 + k)->SetFromNormalized((k % 5) / 4.0);
    graphics->SetContentScale(scale);
    IBox dirty;
    while (graphics->CollectDirtyBox(dirty)) graphics->PaintRegion(dirty);
  }
};

void BM_VelloxIdleTick(benchmark::State& state) {
  PatternEditor editor(state.range(0) / 10.0);
  IBox dirty;
  for (auto _ : state) {
    const bool found = editor.graphics->CollectDirtyBox(dirty);
    if (found) editor.graphics->PaintRegion(dirty);
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_VelloxIdleTick)->Arg(10)->Arg(20)->Unit(benchmark::kNanosecond);

void BM_VelloxFullRepaint(benchmark::State& state) {
  PatternEditor editor(state.range(0) / 10.0);
  for (auto _ : state) {
    editor.graphics->MarkAllChanged();
    IBox dirty;
    editor.graphics->CollectDirtyBox(dirty);
    benchmark::DoNotOptimize(editor.graphics->PaintRegion(dirty));
  }
}
BENCHMARK(BM_VelloxFullRepaint)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);

// One step level moved by the host: the tick repaints the bars and the curve.
void BM_VelloxStepChangeTick(benchmark::State& state) {
  PatternEditor editor(state.range(0) / 10.0);
  IBox dirty;
  double v = 0.0;
  for (auto _ : state) {
    v = v > 0.9 ? 0.0 : v + 0.05;
    editor.fx.GetParam(kVelloxStep1 + 4)->SetFromNormalized(v);
    editor.graphics->CollectDirtyBox(dirty);
    benchmark::DoNotOptimize(editor.graphics->PaintRegion(dirty));
  }
}
BENCHMARK(BM_VelloxStepChangeTick)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
