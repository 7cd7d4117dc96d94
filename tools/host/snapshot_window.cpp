// Windows: the snapshot as a DAW would show the editor. The module is loaded,
// the settings arrive with a processed block, the module's own view opens in
// a real window and paints itself on its timer, and the screen is copied.
#include <memory>

#include "editor_frame.h"
#include "pluginterfaces/gui/iplugview.h"
#include "snapshot.h"

namespace vellox::cli {

using namespace Steinberg;
using host::EditorFrame;

namespace {

// The first tick paints the whole editor; the second proves it settled.
constexpr int kSettleTicks = 2;
constexpr int kSettleTimeoutMs = 3000;

bool CaptureView(const LoadedEditor& editor, host::RgbaImage& image, std::string& error) {
  IPlugView& view = editor.view;
  if (view.isPlatformTypeSupported(kPlatformTypeHWND) != kResultTrue) {
    error = "the editor cannot open in a window on this system";
    return false;
  }
  ViewRect size{};
  if (view.getSize(&size) != kResultOk) {
    error = "the editor reports no size";
    return false;
  }
  std::unique_ptr<EditorFrame> frame = EditorFrame::Create(size.getWidth(), size.getHeight(), error);
  if (!frame) return false;
  if (view.attached(frame->Handle(), kPlatformTypeHWND) != kResultOk) {
    error = "the editor refused to open in the window";
    return false;
  }
  bool ok = false;
  if (HWND editor = frame->EditorWindow()) {
    if (host::PumpTimerTicks(editor, kSettleTicks, kSettleTimeoutMs) < kSettleTicks)
      error = "the editor's repaint timer did not run";
    else
      ok = host::CaptureWindow(frame->Handle(), image, error);
  } else {
    error = "the editor opened no window";
  }
  view.removed();
  return ok;
}

}  // namespace

bool WriteEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error) {
  return WriteViewSnapshot(request, result, &CaptureView, "module window", error);
}

}  // namespace vellox::cli
