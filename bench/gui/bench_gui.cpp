// Editor painting cost: a full repaint of the 784 x 184 editor (background and
// five filmstrip controls with artwork of the real sizes) and a timer tick
// that finds nothing to paint, at content scales 1, 1.5 and 2 (the argument
// is ten times the scale).
#include <benchmark/benchmark.h>

#include "BenchEditor.h"
#include "IGraphicsHeadless.h"

namespace {

using Editor = bench::Editor<IGraphicsHeadless>;

void BM_FullRepaint(benchmark::State& state) {
  Editor editor;
  editor.graphics->SetContentScale(state.range(0) / 10.0);
  for (auto _ : state) {
    editor.graphics->MarkAllChanged();
    IBox dirty;
    editor.graphics->CollectDirtyBox(dirty);
    benchmark::DoNotOptimize(editor.graphics->PaintRegion(dirty));
  }
}
BENCHMARK(BM_FullRepaint)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
  Editor editor;
  editor.graphics->SetContentScale(state.range(0) / 10.0);
  IBox dirty;
  while (editor.graphics->CollectDirtyBox(dirty)) editor.graphics->PaintRegion(dirty);
  for (auto _ : state) {
    bool found = editor.graphics->CollectDirtyBox(dirty);
    if (found) editor.graphics->PaintRegion(dirty);
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_IdleTick)->Arg(10)->Arg(20)->Unit(benchmark::kNanosecond);

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
