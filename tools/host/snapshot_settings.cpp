// The settings of a snapshot reach the loaded module as host automation.
#include "parameter_assignment.h"
#include "plugin_instance.h"
#include "snapshot.h"

namespace vellox::cli {

using namespace Steinberg;

namespace {
constexpr int32 kBlockFrames = 64;
}  // namespace

bool ApplySnapshotSettings(host::PluginInstance& instance, const std::vector<std::string>& texts, std::string& error) {
  std::vector<ParameterAssignment> assignments(texts.size());
  for (size_t i = 0; i < texts.size(); ++i)
    if (!ResolveAssignment(*instance.Controller(), texts[i], assignments[i], error)) return false;
  host::ProcessConfig config;
  config.maxBlock = kBlockFrames;
  config.channels = 2;
  if (!instance.Start(config, error)) return false;
  for (const auto& assignment : assignments) instance.QueueChange(assignment.id, assignment.normalized);
  std::vector<float> silence(kBlockFrames * 2, 0.0f), out(kBlockFrames * 2, 0.0f);
  float* inputs[] = {silence.data(), silence.data() + kBlockFrames};
  float* outputs[] = {out.data(), out.data() + kBlockFrames};
  if (instance.Process(inputs, outputs, kBlockFrames) != kResultOk) {
    error = "the effect failed to process the block that carries the settings";
    return false;
  }
  return true;
}

}  // namespace vellox::cli
