// The editor without a window: the effect is built in this process, with the
// embedded artwork, and its editor paints into its off-screen surface.
// Settings take the same road as in a host: a processed block with parameter
// changes, which also hands the values to the controls.
#include <memory>

#include "IGraphics.h"
#include "PIX_SysBitmap.h"
#include "Vellox.h"
#include "host_application.h"
#include "parameter_assignment.h"
#include "parameter_changes.h"
#include "plugin_instance.h"
#include "rgba_image.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "snapshot.h"

namespace vellox::cli {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32 kBlockFrames = 64;

// One effect object, initialised with a host context; terminated and
// released on destruction.
class LocalEffect {
public:
  LocalEffect() : mEffect(new Vellox()), mHost(owned(new host::HostApplication(host::kHostName))) {}
  ~LocalEffect() {
    if (mInitialized) mEffect->terminate();
    mEffect->release();
  }
  LocalEffect(const LocalEffect&) = delete;
  LocalEffect& operator=(const LocalEffect&) = delete;

  bool Initialize(std::string& error) {
    mInitialized = mEffect->initialize(mHost) == kResultOk;
    if (!mInitialized) error = "the effect refused to initialise";
    return mInitialized;
  }
  Vellox& Effect() { return *mEffect; }
  IEditController& Controller() { return *mEffect; }

private:
  Vellox* mEffect;
  IPtr<host::HostApplication> mHost;
  bool mInitialized = false;
};

bool ProcessSettings(Vellox& effect, const std::vector<ParameterAssignment>& assignments, std::string& error) {
  SpeakerArrangement stereo[] = {SpeakerArr::kStereo};
  ProcessSetup setup{kOffline, kSample32, kBlockFrames, 44100.0};
  if (effect.setBusArrangements(stereo, 1, stereo, 1) != kResultOk || effect.setupProcessing(setup) != kResultOk ||
      effect.setActive(true) != kResultOk) {
    error = "the effect refused the processing setup";
    return false;
  }
  effect.setProcessing(true);
  IPtr<host::ParameterChanges> changes = owned(new host::ParameterChanges(16, 1));
  for (const auto& assignment : assignments) changes->Add(assignment.id, 0, assignment.normalized);

  std::vector<float> silence(kBlockFrames * 2, 0.0f), out(kBlockFrames * 2, 0.0f);
  float* inputs[] = {silence.data(), silence.data() + kBlockFrames};
  float* outputs[] = {out.data(), out.data() + kBlockFrames};
  AudioBusBuffers in, outBus;
  in.numChannels = outBus.numChannels = 2;
  in.channelBuffers32 = inputs;
  outBus.channelBuffers32 = outputs;
  ProcessData data;
  data.processMode = kOffline;
  data.symbolicSampleSize = kSample32;
  data.numSamples = kBlockFrames;
  data.numInputs = data.numOutputs = 1;
  data.inputs = &in;
  data.outputs = &outBus;
  data.inputParameterChanges = changes;
  const bool processed = effect.process(data) == kResultOk;
  effect.setProcessing(false);
  effect.setActive(false);
  if (!processed) error = "the effect failed to process the block that carries the settings";
  return processed;
}

// The surface as an opaque picture, top row first.
void CopySurface(const PIX_SysBitmap& surface, host::RgbaImage& image) {
  image.Resize(surface.Width(), surface.Height());
  for (int y = 0; y < surface.Height(); ++y) {
    const int row = surface.IsBottomUp() ? surface.Height() - 1 - y : y;
    const PixelWord* src = surface.PixelBits() + size_t(row) * size_t(surface.RowSpan());
    uint8_t* dst = &image.pixels[size_t(y) * size_t(surface.Width()) * 4];
    for (int x = 0; x < surface.Width(); ++x) {
      dst[4 * x + 0] = (src[x] >> 16) & 0xFF;
      dst[4 * x + 1] = (src[x] >> 8) & 0xFF;
      dst[4 * x + 2] = src[x] & 0xFF;
      dst[4 * x + 3] = 255;
    }
  }
}

}  // namespace

bool WriteOffscreenEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error) {
  LocalEffect local;
  if (!local.Initialize(error)) return false;
  std::vector<ParameterAssignment> assignments(request.assignments.size());
  for (size_t i = 0; i < assignments.size(); ++i)
    if (!ResolveAssignment(local.Controller(), request.assignments[i], assignments[i], error)) return false;
  if (!ProcessSettings(local.Effect(), assignments, error)) return false;

  // Whatever window layer the effect was built with, its surface paints
  // without a window.
  auto* editor = static_cast<IGraphics*>(local.Effect().Graphics());
  if (!editor || !editor->DrawSurface() || !editor->DrawSurface()->PixelBits()) {
    error = "the effect has no editor";
    return false;
  }
  // Paint everything, as a window opening would, then keep the surface.
  editor->SetContentScale(request.scale);
  editor->MarkAllChanged();
  IBox dirty;
  if (editor->CollectDirtyBox(dirty)) editor->PaintRegion(dirty);
  host::RgbaImage image;
  CopySurface(*editor->DrawSurface(), image);
  if (!host::WritePngFile(image, request.output, error)) return false;
  result.width = editor->DeviceWidth();
  result.height = editor->DeviceHeight();
  result.method = "off-screen editor";
  return true;
}

}  // namespace vellox::cli
