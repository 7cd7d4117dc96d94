// Platforms without a window layer in the module: the effect is built in this
// process, where its constructor makes the off-screen editor with the
// embedded artwork. Settings take the same road as in a host: a processed
// block with parameter changes, which also hands the values to the controls.
#include <memory>

#include "IGraphicsHeadless.h"
#include "Vellox.h"
#include "host_application.h"
#include "parameter_assignment.h"
#include "parameter_changes.h"
#include "plugin_instance.h"
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
  LocalEffect() : effect_(new Vellox()), host_(owned(new host::HostApplication(host::kHostName))) {}
  ~LocalEffect() {
    if (initialized_) effect_->terminate();
    effect_->release();
  }
  LocalEffect(const LocalEffect&) = delete;
  LocalEffect& operator=(const LocalEffect&) = delete;

  bool Initialize(std::string& error) {
    initialized_ = effect_->initialize(host_) == kResultOk;
    if (!initialized_) error = "the effect refused to initialise";
    return initialized_;
  }
  Vellox& Effect() { return *effect_; }
  IEditController& Controller() { return *effect_; }

 private:
  Vellox* effect_;
  IPtr<host::HostApplication> host_;
  bool initialized_ = false;
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

}  // namespace

bool WriteEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error) {
  LocalEffect local;
  if (!local.Initialize(error)) return false;
  std::vector<ParameterAssignment> assignments(request.assignments.size());
  for (size_t i = 0; i < assignments.size(); ++i)
    if (!ResolveAssignment(local.Controller(), request.assignments[i], assignments[i], error)) return false;
  if (!ProcessSettings(local.Effect(), assignments, error)) return false;

  auto* editor = dynamic_cast<IGraphicsHeadless*>(local.Effect().Graphics());
  if (!editor) {
    error = "the effect has no off-screen editor";
    return false;
  }
  // Paint everything, as a window opening would, then keep the surface.
  editor->MarkAllChanged();
  IBox dirty;
  if (editor->CollectDirtyBox(dirty)) editor->PaintRegion(dirty);
  if (!editor->WriteSurfacePng(request.output.c_str())) {
    error = "cannot write " + request.output;
    return false;
  }
  result.width = editor->Width();
  result.height = editor->Height();
  result.method = "off-screen editor";
  return true;
}

}  // namespace vellox::cli
