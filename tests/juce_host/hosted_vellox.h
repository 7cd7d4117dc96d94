#pragma once
// The built bundle as JUCE's own VST 3 hosting sees it: loading, bus layout,
// block rendering, the parameters JUCE shows, and the plug-in's controller
// behind them (to compare what JUCE shows with what the plug-in holds).
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include <juce_audio_processors/juce_audio_processors.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>

#include "float_wav.h"

namespace vellox::juce_host {

inline constexpr double kRate = 44100.0;
inline constexpr double kLevel = 0.5;  // a constant input: the output is the gain

struct HostPaths {
  std::string vellox;   // the project's own host tool
  std::string bundle;   // the built Vellox.vst3 bundle
  std::string scratch;  // a folder for WAV files
};

inline HostPaths& Paths() {
  static HostPaths paths;
  return paths;
}

inline juce::AudioPluginFormatManager& Formats() {
  // Never destroyed: it must not outlive JUCE's own shutdown at exit.
  static auto* formats = [] {
    auto* manager = new juce::AudioPluginFormatManager;
    manager->addDefaultFormats();
    return manager;
  }();
  return *formats;
}

inline std::unique_ptr<juce::AudioPluginInstance> LoadVellox(std::string& error) {
  juce::OwnedArray<juce::PluginDescription> types;
  juce::VST3PluginFormat vst3;
  vst3.findAllTypesForFile(types, Paths().bundle);
  if (types.isEmpty()) {
    error = "JUCE found no plug-in class in " + Paths().bundle;
    return nullptr;
  }
  juce::String message;
  auto instance = Formats().createPluginInstance(*types[0], kRate, 512, message);
  if (!instance) error = "JUCE could not create the plug-in: " + message.toStdString();
  return instance;
}

// Mono to mono or stereo to stereo, then ready to process blocks of `block`.
inline bool Prepare(juce::AudioPluginInstance& plugin, int channels, int block) {
  const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
  juce::AudioProcessor::BusesLayout layout;
  layout.inputBuses.add(set);
  layout.outputBuses.add(set);
  if (!plugin.setBusesLayout(layout)) return false;
  plugin.prepareToPlay(kRate, block);
  return plugin.getTotalNumInputChannels() == channels && plugin.getTotalNumOutputChannels() == channels;
}

// Runs `input` through in blocks of `block` frames (the last one shorter);
// `beforeBlock`(index) may change parameters between blocks, as automation does.
inline Planar Render(juce::AudioPluginInstance& plugin, const Planar& input, int block,
                     const std::function<void(int)>& beforeBlock = {}) {
  const int channels = static_cast<int>(input.size());
  const int frames = static_cast<int>(input[0].size());
  Planar output(input.size(), std::vector<float>(input[0].size()));
  juce::AudioBuffer<float> buffer(channels, block);
  juce::MidiBuffer midi;
  for (int start = 0, index = 0; start < frames; start += block, ++index) {
    const int count = std::min(block, frames - start);
    buffer.setSize(channels, count, false, false, true);
    for (int c = 0; c < channels; ++c) buffer.copyFrom(c, 0, input[c].data() + start, count);
    if (beforeBlock) beforeBlock(index);
    plugin.processBlock(buffer, midi);
    for (int c = 0; c < channels; ++c) std::copy_n(buffer.getReadPointer(c), count, output[c].data() + start);
  }
  return output;
}

inline juce::AudioProcessorParameter* FindParameter(juce::AudioPluginInstance& plugin, const juce::String& name) {
  for (auto* parameter : plugin.getParameters())
    if (parameter->getName(64) == name) return parameter;
  return nullptr;
}

// A 64-bit stereo instance prepared for `block` frames, following `head`,
// with the named parameters set to their normalized values.
inline std::unique_ptr<juce::AudioPluginInstance> SongInstance(
    juce::AudioPlayHead& head, int block, std::initializer_list<std::pair<const char*, float>> values) {
  std::string error;
  auto plugin = LoadVellox(error);
  if (!plugin || !plugin->supportsDoublePrecisionProcessing()) {
    ADD_FAILURE() << "no 64-bit instance: " << error;
    return nullptr;
  }
  plugin->setProcessingPrecision(juce::AudioProcessor::doublePrecision);
  if (!Prepare(*plugin, 2, block)) return nullptr;
  plugin->setPlayHead(&head);
  for (const auto& [name, value] : values)
    if (auto* parameter = FindParameter(*plugin, name)) parameter->setValue(value);
  return plugin;
}

// The plug-in's edit controller, reached past JUCE's parameter cache.
class PluginController {
public:
  explicit PluginController(juce::AudioPluginInstance& plugin) {
    struct ComponentOf : juce::ExtensionsVisitor {
      void visitVST3Client(const VST3Client& client) override { component = client.getIComponentPtr(); }
      Steinberg::Vst::IComponent* component = nullptr;
    } visitor;
    plugin.getExtensions(visitor);
    Steinberg::Vst::IComponent* component = visitor.component;
    void* object = nullptr;
    if (component && component->queryInterface(Steinberg::Vst::IEditController::iid, &object) == Steinberg::kResultOk)
      controller_ = static_cast<Steinberg::Vst::IEditController*>(object);
  }
  ~PluginController() {
    if (controller_) controller_->release();
  }
  PluginController(const PluginController&) = delete;
  PluginController& operator=(const PluginController&) = delete;

  bool Valid() const { return controller_ != nullptr; }

  double Value(const juce::AudioProcessorParameter& parameter) const {
    return controller_->getParamNormalized(IdOf(parameter));
  }

  juce::String Text(const juce::AudioProcessorParameter& parameter, double normalized) const {
    Steinberg::Vst::String128 text{};
    if (controller_->getParamStringByValue(IdOf(parameter), normalized, text) != Steinberg::kResultOk)
      return "(no text)";
    return juce::String(juce::CharPointer_UTF16(reinterpret_cast<const juce::CharPointer_UTF16::CharType*>(text)));
  }

  static Steinberg::Vst::ParamID IdOf(const juce::AudioProcessorParameter& parameter) {
    const auto& hosted = dynamic_cast<const juce::HostedAudioProcessorParameter&>(parameter);
    return static_cast<Steinberg::Vst::ParamID>(hosted.getParameterID().getLargeIntValue());
  }

private:
  Steinberg::Vst::IEditController* controller_ = nullptr;
};

}  // namespace vellox::juce_host
