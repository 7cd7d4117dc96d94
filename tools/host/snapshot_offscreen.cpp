// The editor without a window: the loaded module's effect paints its editor
// into memory through the module's off-screen painting export, after the
// settings took the host's road (a processed block with parameter changes)
// and the scale the view's.
#include <cstdint>
#include <vector>

#include "EditorPictureExport.h"
#include "module_library.h"
#include "plugin_instance.h"
#include "rgba_image.h"
#include "snapshot.h"

namespace vellox::cli {

using namespace Steinberg;

namespace {

bool PaintOffscreen(const LoadedEditor& editor, host::RgbaImage& image, std::string& error) {
  auto paint = reinterpret_cast<VelloxPaintEditorFn>(editor.module.Symbol(kVelloxPaintEditorExport));
  if (!paint) {
    error = editor.module.BinaryPath() + " cannot paint its editor without a display";
    return false;
  }
  FUnknown* effect = editor.instance.Controller();
  int32_t width = 0, height = 0;
  if (paint(effect, editor.scale, nullptr, 0, &width, &height) != kResultOk || width <= 0 || height <= 0) {
    error = "the effect has no editor to paint";
    return false;
  }
  std::vector<uint32_t> pixels(size_t(width) * size_t(height));
  if (paint(effect, editor.scale, pixels.data(), int64_t(pixels.size()), &width, &height) != kResultOk ||
      size_t(width) * size_t(height) != pixels.size()) {
    error = "the effect failed to paint its editor";
    return false;
  }
  image.Resize(width, height);
  for (size_t i = 0; i < pixels.size(); ++i) {
    image.pixels[4 * i + 0] = uint8_t(pixels[i] >> 16);
    image.pixels[4 * i + 1] = uint8_t(pixels[i] >> 8);
    image.pixels[4 * i + 2] = uint8_t(pixels[i]);
    image.pixels[4 * i + 3] = 255;
  }
  return true;
}

}  // namespace

bool WriteOffscreenEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error) {
  return WriteViewSnapshot(request, result, &PaintOffscreen, "off-screen editor", error);
}

}  // namespace vellox::cli
