// The Linux editor window's cost on a real X display (Xvfb in CI): one full
// repaint presented through shared memory, and a timer tick that finds
// nothing to paint. Compare with BM_FullRepaint of bench_gui, the same
// repaint off-screen. The argument is ten times the content scale.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "BenchEditor.h"
#include "IGraphicsX11.h"
#include "snapshot_x11_host.h"

namespace {

using Editor = bench::Editor<IGraphicsX11>;

// The editor's window open in a frame, on a run loop that is never run: the
// benchmark calls the tick itself.
struct OpenEditor {
  explicit OpenEditor(double scale) : editor(25, nullptr) {
    std::string error;
    editor.graphics->SetContentScale(scale);
    frame = vellox::host::X11EditorFrame::Create(editor.graphics->DeviceWidth(), editor.graphics->DeviceHeight(), 0, 0,
                                                 error);
    if (!frame) return;
    editor.graphics->SetRunLoop(&loop);
    editor.graphics->OpenEditorWindow(frame->ParentHandle());
    editor.graphics->SetRunLoop(nullptr);
  }
  ~OpenEditor() { editor.graphics->CloseEditorWindow(); }
  bool Ready(benchmark::State& state) {
    if (!editor.graphics->HasWindow()) state.SkipWithError("no X display to open the editor on (set DISPLAY)");
    return editor.graphics->HasWindow();
  }
  Editor editor;
  vellox::host::X11RunLoop loop;
  std::unique_ptr<vellox::host::X11EditorFrame> frame;
};

void BM_X11FullRepaintAndPresent(benchmark::State& state) {
  OpenEditor open(state.range(0) / 10.0);
  if (!open.Ready(state)) return;
  state.SetLabel(open.editor.graphics->PresentsThroughSharedMemory() ? "shared memory" : "image requests");
  for (auto _ : state) {
    open.editor.graphics->MarkAllChanged();
    open.editor.graphics->OnTick();
  }
  open.frame->Sync();
}
BENCHMARK(BM_X11FullRepaintAndPresent)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);

void BM_X11IdleTick(benchmark::State& state) {
  OpenEditor open(state.range(0) / 10.0);
  if (!open.Ready(state)) return;
  for (int i = 0; i < 3; ++i) open.editor.graphics->OnTick();  // the opening repaints settle
  for (auto _ : state) open.editor.graphics->OnTick();
}
BENCHMARK(BM_X11IdleTick)->Arg(10)->Arg(20)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
