// The settings of a snapshot reach the loaded module as host automation, and
// the module's own view is opened and captured the same way on every
// platform that has a window for it.
#include <memory>

#include "module_library.h"
#include "parameter_assignment.h"
#include "plugin_instance.h"
#include "pluginterfaces/gui/iplugview.h"
#include "rgba_image.h"
#include "view_scale.h"
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

bool WriteViewSnapshot(const SnapshotRequest& request, SnapshotResult& result, EditorCapture capture,
                       const char* method, std::string& error) {
  std::unique_ptr<host::ModuleLibrary> module = host::ModuleLibrary::Load(request.plugin, error);
  if (!module) return false;
  std::unique_ptr<host::PluginInstance> instance = host::PluginInstance::Create(*module, error);
  if (!instance || !ApplySnapshotSettings(*instance, request.assignments, error)) return false;
  IPtr<IPlugView> view = owned(instance->Controller()->createView("editor"));
  if (!view) {
    error = "the effect offers no editor";
    return false;
  }
  // As a host on a high-density screen does, before it asks for the size.
  if (request.scale != 1.0 && host::SetContentScale(*view, float(request.scale)) != kResultOk) {
    error = "the editor cannot be shown at another scale";
    return false;
  }
  host::RgbaImage image;
  const bool captured = capture(LoadedEditor{*module, *instance, *view, request.scale}, image, error);
  view = nullptr;
  instance.reset();
  module.reset();
  if (!captured || !host::WritePngFile(image, request.output, error)) return false;
  result.width = image.width;
  result.height = image.height;
  result.method = method;
  return true;
}

}  // namespace vellox::cli
