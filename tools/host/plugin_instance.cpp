#include "plugin_instance.h"

#include <cstring>

#include "memory_stream.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/vstspeaker.h"

namespace vellox::host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32 kMaxQueues = 64;
constexpr int32 kMaxPointsPerQueue = 64;

template <class I>
IPtr<I> Query(FUnknown* object) {
  void* found = nullptr;
  if (object && object->queryInterface(I::iid, &found) == kResultOk && found) return owned(static_cast<I*>(found));
  return {};
}

bool IsNullId(const TUID id) {
  for (int i = 0; i < 16; ++i)
    if (id[i] != 0) return false;
  return true;
}

bool FindAudioClass(IPluginFactory* factory, TUID cid) {
  const int32 count = factory->countClasses();
  for (int32 i = 0; i < count; ++i) {
    PClassInfo info{};
    if (factory->getClassInfo(i, &info) != kResultOk) continue;
    if (std::strncmp(info.category, kAudioModuleCategory, PClassInfo::kCategorySize) == 0) {
      std::memcpy(cid, info.cid, sizeof(TUID));
      return true;
    }
  }
  return false;
}

SpeakerArrangement ArrangementFor(int32 channels) {
  if (channels == 1) return SpeakerArr::kMono;
  if (channels == 2) return SpeakerArr::kStereo;
  return SpeakerArr::kEmpty;
}

}  // namespace

std::unique_ptr<PluginInstance> PluginInstance::Create(const ModuleLibrary& module, std::string& error) {
  TUID cid{};
  if (!FindAudioClass(module.Factory(), cid)) {
    error = "the module offers no class of category \"" + std::string(kAudioModuleCategory) + "\"";
    return nullptr;
  }
  std::unique_ptr<PluginInstance> instance(new PluginInstance());
  instance->inputChanges_ = owned(new ParameterChanges(kMaxQueues, kMaxPointsPerQueue));
  instance->outputChanges_ = owned(new ParameterChanges(kMaxQueues, kMaxPointsPerQueue));
  if (!instance->Initialize(module, cid, error)) return nullptr;
  return instance;
}

bool PluginInstance::Initialize(const ModuleLibrary& module, const TUID cid, std::string& error) {
  host_ = owned(new HostApplication(kHostName));
  void* object = nullptr;
  if (module.Factory()->createInstance(cid, IComponent::iid, &object) != kResultOk || !object) {
    error = "the factory could not create the audio component";
    return false;
  }
  component_ = owned(static_cast<IComponent*>(object));
  if (component_->initialize(host_) != kResultOk) {
    error = "the audio component refused to initialise";
    return false;
  }
  componentInitialized_ = true;
  processor_ = Query<IAudioProcessor>(component_);
  if (!processor_) {
    error = "the audio component has no audio processor interface";
    return false;
  }
  return AttachController(module, error);
}

bool PluginInstance::AttachController(const ModuleLibrary& module, std::string& error) {
  TUID controllerCid{};
  if (component_->getControllerClassId(controllerCid) == kResultOk && !IsNullId(controllerCid)) {
    void* object = nullptr;
    if (module.Factory()->createInstance(controllerCid, IEditController::iid, &object) != kResultOk || !object) {
      error = "the factory could not create the edit controller";
      return false;
    }
    controller_ = owned(static_cast<IEditController*>(object));
    separateController_ = true;
    if (controller_->initialize(host_) != kResultOk) {
      error = "the edit controller refused to initialise";
      return false;
    }
    controllerInitialized_ = true;
    auto componentPoint = Query<IConnectionPoint>(component_);
    auto controllerPoint = Query<IConnectionPoint>(controller_);
    if (componentPoint && controllerPoint) {
      componentPoint->connect(controllerPoint);
      controllerPoint->connect(componentPoint);
      connected_ = true;
    }
    // The controller learns the processor's current state the way it would after a project load.
    IPtr<MemoryStream> stream = owned(new MemoryStream());
    if (component_->getState(stream) == kResultOk) {
      stream->seek(0, IBStream::kIBSeekSet, nullptr);
      controller_->setComponentState(stream);
    }
  } else {
    controller_ = Query<IEditController>(component_);
  }
  if (!controller_) {
    error = "the module has no edit controller";
    return false;
  }
  units_ = Query<IUnitInfo>(controller_);
  return true;
}

PluginInstance::~PluginInstance() { Teardown(); }

void PluginInstance::Teardown() {
  Stop();
  if (separateController_) {
    if (connected_) {
      auto componentPoint = Query<IConnectionPoint>(component_);
      auto controllerPoint = Query<IConnectionPoint>(controller_);
      if (componentPoint && controllerPoint) {
        componentPoint->disconnect(controllerPoint);
        controllerPoint->disconnect(componentPoint);
      }
      connected_ = false;
    }
    if (controllerInitialized_) controller_->terminate();
    controllerInitialized_ = false;
  }
  units_ = nullptr;
  controller_ = nullptr;
  processor_ = nullptr;
  if (componentInitialized_) component_->terminate();
  componentInitialized_ = false;
  component_ = nullptr;
  host_ = nullptr;
}

bool PluginInstance::Start(const ProcessConfig& config, std::string& error) {
  Stop();
  const SpeakerArrangement arrangement = ArrangementFor(config.channels);
  if (arrangement == SpeakerArr::kEmpty) {
    error = "only mono and stereo audio can be processed, not " + std::to_string(config.channels) + " channels";
    return false;
  }
  const int32 sampleSize = config.doublePrecision ? kSample64 : kSample32;
  if (processor_->canProcessSampleSize(sampleSize) != kResultTrue) {
    error = std::string("the effect cannot process ") + (config.doublePrecision ? "64" : "32") + "-bit samples";
    return false;
  }
  SpeakerArrangement inputs[] = {arrangement};
  SpeakerArrangement outputs[] = {arrangement};
  if (processor_->setBusArrangements(inputs, 1, outputs, 1) != kResultOk) {
    error = "the effect refused a " + std::string(config.channels == 1 ? "mono" : "stereo") + " bus arrangement";
    return false;
  }
  ProcessSetup setup{config.processMode, sampleSize, config.maxBlock, config.sampleRate};
  if (processor_->setupProcessing(setup) != kResultOk) {
    error = "the effect refused the processing setup";
    return false;
  }
  if (component_->getBusCount(kAudio, kInput) > 0) component_->activateBus(kAudio, kInput, 0, true);
  if (component_->getBusCount(kAudio, kOutput) > 0) component_->activateBus(kAudio, kOutput, 0, true);
  if (component_->setActive(true) != kResultOk) {
    error = "the effect refused to become active";
    return false;
  }
  // Effects that do no work here answer "not implemented"; hosts carry on.
  processor_->setProcessing(true);

  config_ = config;
  context_ = ProcessContext{};
  context_.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid;
  context_.sampleRate = config.sampleRate;
  context_.tempo = 120.0;
  context_.timeSigNumerator = 4;
  context_.timeSigDenominator = 4;
  inputChanges_->Clear();
  started_ = true;
  return true;
}

void PluginInstance::Stop() {
  if (!started_) return;
  processor_->setProcessing(false);
  component_->setActive(false);
  started_ = false;
}

bool PluginInstance::QueueChange(ParamID id, ParamValue normalized, int32 sampleOffset) {
  return inputChanges_->Add(id, sampleOffset, normalized);
}

tresult PluginInstance::Process(float* const* inputs, float* const* outputs, int32 frames) {
  if (config_.doublePrecision) return kInvalidArgument;
  return RunBlock(reinterpret_cast<void**>(const_cast<float**>(inputs)),
                  reinterpret_cast<void**>(const_cast<float**>(outputs)), frames);
}

tresult PluginInstance::Process(double* const* inputs, double* const* outputs, int32 frames) {
  if (!config_.doublePrecision) return kInvalidArgument;
  return RunBlock(reinterpret_cast<void**>(const_cast<double**>(inputs)),
                  reinterpret_cast<void**>(const_cast<double**>(outputs)), frames);
}

tresult PluginInstance::RunBlock(void** inputs, void** outputs, int32 frames) {
  // The effect sizes its buffers to the maximum block; never hand it more.
  if (!started_ || frames < 0 || frames > config_.maxBlock) return kInvalidArgument;
  AudioBusBuffers in;
  AudioBusBuffers out;
  in.numChannels = config_.channels;
  out.numChannels = config_.channels;
  if (config_.doublePrecision) {
    in.channelBuffers64 = reinterpret_cast<Sample64**>(inputs);
    out.channelBuffers64 = reinterpret_cast<Sample64**>(outputs);
  } else {
    in.channelBuffers32 = reinterpret_cast<Sample32**>(inputs);
    out.channelBuffers32 = reinterpret_cast<Sample32**>(outputs);
  }
  ProcessData data;
  data.processMode = config_.processMode;
  data.symbolicSampleSize = config_.doublePrecision ? kSample64 : kSample32;
  data.numSamples = frames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &in;
  data.outputs = &out;
  data.inputParameterChanges = inputChanges_;
  data.outputParameterChanges = outputChanges_;
  data.processContext = &context_;
  outputChanges_->Clear();
  const tresult result = processor_->process(data);
  inputChanges_->Clear();
  context_.projectTimeSamples += frames;
  return result;
}

bool PluginInstance::SaveState(std::vector<uint8_t>& bytes, std::string& error) {
  IPtr<MemoryStream> stream = owned(new MemoryStream());
  if (controller_->getState(stream) != kResultOk) {
    error = "the effect could not save its state";
    return false;
  }
  bytes = stream->Bytes();
  return true;
}

tresult PluginInstance::LoadState(const std::vector<uint8_t>& bytes) {
  IPtr<MemoryStream> stream = owned(new MemoryStream(bytes));
  return controller_->setState(stream);
}

}  // namespace vellox::host
