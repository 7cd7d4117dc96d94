// Linux: with an X display the snapshot shows the editor as a DAW would. The
// module is loaded, the settings arrive with a processed block, the module's
// view opens in a real X window on this program's run loop and paints itself
// on its timer, and the window's pixels are read back. Without a display the
// editor paints off-screen.
#include <cstdlib>
#include <memory>

#include "module_library.h"
#include "plugin_instance.h"
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

bool CaptureView(IPlugView& view, host::RgbaImage& image, std::string& error) {
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
  if (!frame) return false;
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

bool WriteWindowSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error) {
  std::unique_ptr<host::ModuleLibrary> module = host::ModuleLibrary::Load(request.plugin, error);
  if (!module) return false;
  std::unique_ptr<host::PluginInstance> instance = host::PluginInstance::Create(*module, error);
  if (!instance || !ApplySnapshotSettings(*instance, request.assignments, error)) return false;
  IPtr<IPlugView> view = owned(instance->Controller()->createView("editor"));
  if (!view) {
    error = "the effect offers no editor";
    return false;
  }
  host::RgbaImage image;
  const bool captured = CaptureView(*view, image, error);
  view = nullptr;
  instance.reset();
  module.reset();
  if (!captured || !host::WritePngFile(image, request.output, error)) return false;
  result.width = image.width;
  result.height = image.height;
  result.method = "module window";
  return true;
}

}  // namespace

bool WriteEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error) {
  const char* display = std::getenv("DISPLAY");
  if (display && *display) return WriteWindowSnapshot(request, result, error);
  return WriteOffscreenEditorSnapshot(request, result, error);
}

}  // namespace vellox::cli
