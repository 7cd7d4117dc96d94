// The editor painted without a window, for the host tool where no display
// answers: the same controls and surface a window shows, painted whole.
#include "EditorPictureExport.h"
#include "IEffectVST3.h"
#include "IGraphics.h"
#include "PIX_SysBitmap.h"

using namespace Steinberg;

extern "C" __attribute__((visibility("default"))) tresult PLUGIN_API VelloxPaintEditor(FUnknown* effect, double scale,
                                                                                       uint32_t* pixels,
                                                                                       int64_t capacity, int32_t* width,
                                                                                       int32_t* height);

namespace {

// The effect behind any interface of an object this module made; null for
// anything else.
IEffectVST3* OwnEffect(FUnknown* object) {
  Vst::IEditController* controller = nullptr;
  if (!object ||
      object->queryInterface(Vst::IEditController::iid, reinterpret_cast<void**>(&controller)) != kResultOk ||
      !controller)
    return nullptr;
  auto* effect = dynamic_cast<IEffectVST3*>(controller);
  controller->release();
  return effect;
}

void CopySurface(const PIX_SysBitmap& surface, uint32_t* pixels) {
  const int width = surface.Width(), height = surface.Height();
  for (int y = 0; y < height; ++y) {
    const int row = surface.IsBottomUp() ? height - 1 - y : y;
    const PixelWord* src = surface.PixelBits() + size_t(row) * size_t(surface.RowSpan());
    uint32_t* dst = pixels + size_t(y) * size_t(width);
    for (int x = 0; x < width; ++x) dst[x] = src[x] & 0x00FFFFFFu;
  }
}

}  // namespace

tresult PLUGIN_API VelloxPaintEditor(FUnknown* effect, double scale, uint32_t* pixels, int64_t capacity, int32_t* width,
                                     int32_t* height) {
  try {
    if (!width || !height || !(scale >= 1.0 && scale <= 3.0)) return kInvalidArgument;
    IEffectVST3* plug = OwnEffect(effect);
    if (!plug) return kInvalidArgument;
    auto* editor = static_cast<IGraphics*>(plug->Graphics());
    // No view shows the editor here: this call does, at its own factor.
    if (!editor || !editor->SetContentScale(scale)) return kResultFalse;
    *width = editor->DeviceWidth();
    *height = editor->DeviceHeight();
    if (!pixels) return kResultOk;
    if (capacity < int64_t(*width) * int64_t(*height)) return kInvalidArgument;
    // Paint everything, as a window opening would, then hand the surface
    // over; without a window there is nothing to present it to.
    editor->MarkAllChanged();
    IBox dirty;
    if (editor->CollectDirtyBox(dirty)) editor->PaintRegion(dirty);
    const PIX_SysBitmap* surface = editor->DrawSurface();
    if (!surface || !surface->PixelBits() || surface->Width() != *width || surface->Height() != *height)
      return kResultFalse;
    CopySurface(*surface, pixels);
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}
