// Linux: with an X display the snapshot shows the editor as a DAW would. The
// module is loaded, the settings arrive with a processed block, the module's
// view opens in a real X window on this program's run loop and paints itself
// on its timer, and the window's pixels are read back. Without a display the
// editor paints off-screen.
#include <cstdlib>
#include <string>
#include <memory>

#include "pluginterfaces/gui/iplugview.h"
#include "rgba_image.h"
#include "snapshot.h"
#include "snapshot_x11_host.h"

namespace vellox::cli {

using namespace Steinberg;
using host::X11EditorFrame;
using host::X11RunLoop;

namespace {

// The first tick paints the whole editor; the second proves it settled.
constexpr int kSettleTicks = 2;
constexpr int kSettleTimeoutMs = 3000;
// Placed away from the corner, where test windows on a shared display sit.
constexpr int kFrameX = 200, kFrameY = 400;
// Set when the editor (at a high content scale) is larger than the X screen.
bool gLargerThanScreen = false;

bool CaptureView(const LoadedEditor& editor, host::RgbaImage& image, std::string& error) {
  IPlugView& view = editor.view;
  if (view.isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue) {
    error = "the editor cannot open in an X window";
    return false;
  }
  ViewRect size{};
  if (view.getSize(&size) != kResultOk) {
    error = "the editor reports no size";
    return false;
  }
  std::unique_ptr<X11EditorFrame> frame =
      X11EditorFrame::Create(size.getWidth(), size.getHeight(), kFrameX, kFrameY, error);
  if (!frame) {
    gLargerThanScreen = error.find("does not fit") != std::string::npos;
    return false;
  }
  X11RunLoop loop;
  view.setFrame(&loop);
  bool ok = false;
  if (view.attached(frame->ParentHandle(), kPlatformTypeX11EmbedWindowID) != kResultOk) {
    error = "the editor refused to open in the window";
  } else if (frame->Children().empty()) {
    error = "the editor opened no window";
  } else if (loop.RunTicks(kSettleTicks, kSettleTimeoutMs) < kSettleTicks) {
    error = "the editor's repaint timer did not run";
  } else {
    loop.RunUntilQuiet(20, 500);
    frame->Sync();
    ok = frame->Capture(image, error);
  }
  view.removed();
  view.setFrame(nullptr);
  return ok;
}

}  // namespace

bool WriteEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error) {
  const char* display = std::getenv("DISPLAY");
  if (display && *display) {
    if (host::DisplayAnswers()) {
      gLargerThanScreen = false;
      const bool written = WriteViewSnapshot(request, result, &CaptureView, "module window", error);
      if (written || !gLargerThanScreen) return written;
      // Pixels off the screen cannot be read: the off-screen editor paints them.
      result.note = error + "; painted the editor off-screen";
      error.clear();
      return WriteOffscreenEditorSnapshot(request, result, error);
    }
    // A build or a script must not fail for a stale DISPLAY: the off-screen
    // editor paints the same picture.
    result.note = std::string("the X display \"") + display + "\" does not answer; painted the editor off-screen";
  }
  return WriteOffscreenEditorSnapshot(request, result, error);
}

}  // namespace vellox::cli
