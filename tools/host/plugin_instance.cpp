#include "plugin_instance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "memory_stream.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/vstspeaker.h"

namespace vellox::host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32 kMaxQueues = 64;

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
  if (!module.Lv2Bundle().empty()) {
#if VELLOX_HOST_LV2
    std::unique_ptr<PluginInstance> instance(new PluginInstance());
    instance->mLv2 = Lv2Session::Create(module.Lv2Bundle(), error);
    if (!instance->mLv2) return nullptr;
    instance->mLv2Controller = new Lv2Controller(*instance->mLv2);
    instance->mController = owned(static_cast<IEditController*>(instance->mLv2Controller));
    return instance;
#else
    error = "LV2 plug-ins are hosted on Linux only";
    return nullptr;
#endif
  }
  if (module.IsClap()) {
    std::unique_ptr<PluginInstance> instance(new PluginInstance());
    instance->mClap = ClapSession::Create(module.ClapFactory(), error);
    if (!instance->mClap) return nullptr;
    instance->mClapController = new ClapController(*instance->mClap);
    instance->mController = owned(static_cast<IEditController*>(instance->mClapController));
    return instance;
  }
  TUID cid{};
  if (!FindAudioClass(module.Factory(), cid)) {
    error = "the module offers no class of category \"" + std::string(kAudioModuleCategory) + "\"";
    return nullptr;
  }
  std::unique_ptr<PluginInstance> instance(new PluginInstance());
  instance->mInputChanges = owned(new ParameterChanges(kMaxQueues, kMaxPointsPerQueue));
  instance->mOutputChanges = owned(new ParameterChanges(kMaxQueues, kMaxPointsPerQueue));
  instance->mNotes = owned(new NoteEvents(kMaxNotesPerBlock));
  if (!instance->Initialize(module, cid, error)) return nullptr;
  return instance;
}

bool PluginInstance::Initialize(const ModuleLibrary& module, const TUID cid, std::string& error) {
  mHost = owned(new HostApplication(kHostName));
  void* object = nullptr;
  if (module.Factory()->createInstance(cid, IComponent::iid, &object) != kResultOk || !object) {
    error = "the factory could not create the audio component";
    return false;
  }
  mComponent = owned(static_cast<IComponent*>(object));
  if (mComponent->initialize(mHost) != kResultOk) {
    error = "the audio component refused to initialise";
    return false;
  }
  mComponentInitialized = true;
  mProcessor = Query<IAudioProcessor>(mComponent);
  if (!mProcessor) {
    error = "the audio component has no audio processor interface";
    return false;
  }
  return AttachController(module, error);
}

bool PluginInstance::AttachController(const ModuleLibrary& module, std::string& error) {
  TUID controllerCid{};
  if (mComponent->getControllerClassId(controllerCid) == kResultOk && !IsNullId(controllerCid)) {
    void* object = nullptr;
    if (module.Factory()->createInstance(controllerCid, IEditController::iid, &object) != kResultOk || !object) {
      error = "the factory could not create the edit controller";
      return false;
    }
    mController = owned(static_cast<IEditController*>(object));
    mSeparateController = true;
    if (mController->initialize(mHost) != kResultOk) {
      error = "the edit controller refused to initialise";
      return false;
    }
    mControllerInitialized = true;
    auto componentPoint = Query<IConnectionPoint>(mComponent);
    auto controllerPoint = Query<IConnectionPoint>(mController);
    if (componentPoint && controllerPoint) {
      componentPoint->connect(controllerPoint);
      controllerPoint->connect(componentPoint);
      mConnected = true;
    }
    // The controller learns the processor's current state the way it would after a project load.
    IPtr<MemoryStream> stream = owned(new MemoryStream());
    if (mComponent->getState(stream) == kResultOk) {
      stream->seek(0, IBStream::kIBSeekSet, nullptr);
      mController->setComponentState(stream);
    }
  } else {
    mController = Query<IEditController>(mComponent);
  }
  if (!mController) {
    error = "the module has no edit controller";
    return false;
  }
  mUnits = Query<IUnitInfo>(mController);
  return true;
}

PluginInstance::~PluginInstance() { Teardown(); }

void PluginInstance::Teardown() {
  Stop();
  if (mClap) {
    mController = nullptr;
    mClapController = nullptr;
    mClap.reset();
    return;
  }
#if VELLOX_HOST_LV2
  if (mLv2) {
    mController = nullptr;
    mLv2Controller = nullptr;
    mLv2.reset();
    return;
  }
#endif
  if (mSeparateController) {
    if (mConnected) {
      auto componentPoint = Query<IConnectionPoint>(mComponent);
      auto controllerPoint = Query<IConnectionPoint>(mController);
      if (componentPoint && controllerPoint) {
        componentPoint->disconnect(controllerPoint);
        controllerPoint->disconnect(componentPoint);
      }
      mConnected = false;
    }
    if (mControllerInitialized) mController->terminate();
    mControllerInitialized = false;
  }
  mUnits = nullptr;
  mController = nullptr;
  mProcessor = nullptr;
  if (mComponentInitialized) mComponent->terminate();
  mComponentInitialized = false;
  mComponent = nullptr;
  mHost = nullptr;
}

bool PluginInstance::StartClap(const ProcessConfig& config, std::string& error) {
  if (config.channels != 1 && config.channels != 2) {
    error = "only mono and stereo audio can be processed, not " + std::to_string(config.channels) + " channels";
    return false;
  }
  ClapProcessConfig clap;
  clap.sampleRate = config.sampleRate;
  clap.maxBlock = static_cast<uint32_t>(config.maxBlock);
  clap.doublePrecision = config.doublePrecision;
  clap.channels = static_cast<uint32_t>(config.channels);
  if (!mClap->Start(clap, error)) return false;
  mConfig = config;
  mStarted = true;
  return true;
}

bool PluginInstance::Start(const ProcessConfig& config, std::string& error) {
  Stop();
  if (mClap) return StartClap(config, error);
#if VELLOX_HOST_LV2
  if (mLv2) {
    if (config.doublePrecision) {
      error = "an LV2 plug-in processes 32-bit samples only";
      return false;
    }
    if (config.channels != 1 && config.channels != 2) {
      error = "only mono and stereo audio can be processed, not " + std::to_string(config.channels) + " channels";
      return false;
    }
    if (!mLv2->Start(config.sampleRate, static_cast<uint32_t>(config.maxBlock), static_cast<uint32_t>(config.channels),
                     error))
      return false;
    mConfig = config;
    mStarted = true;
    return true;
  }
#endif
  const SpeakerArrangement arrangement = ArrangementFor(config.channels);
  if (arrangement == SpeakerArr::kEmpty) {
    error = "only mono and stereo audio can be processed, not " + std::to_string(config.channels) + " channels";
    return false;
  }
  const int32 sampleSize = config.doublePrecision ? kSample64 : kSample32;
  if (mProcessor->canProcessSampleSize(sampleSize) != kResultTrue) {
    error = std::string("the effect cannot process ") + (config.doublePrecision ? "64" : "32") + "-bit samples";
    return false;
  }
  SpeakerArrangement inputs[] = {arrangement};
  SpeakerArrangement outputs[] = {arrangement};
  if (mProcessor->setBusArrangements(inputs, 1, outputs, 1) != kResultOk) {
    error = "the effect refused a " + std::string(config.channels == 1 ? "mono" : "stereo") + " bus arrangement";
    return false;
  }
  ProcessSetup setup{config.processMode, sampleSize, config.maxBlock, config.sampleRate};
  if (mProcessor->setupProcessing(setup) != kResultOk) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g", config.sampleRate);
    error = "the effect refused to run at " + std::string(rate) + " Hz with " + (config.doublePrecision ? "64" : "32") +
            "-bit samples in blocks of up to " + std::to_string(config.maxBlock) + " frames";
    return false;
  }
  if (mComponent->getBusCount(kAudio, kInput) > 0) mComponent->activateBus(kAudio, kInput, 0, true);
  if (mComponent->getBusCount(kAudio, kOutput) > 0) mComponent->activateBus(kAudio, kOutput, 0, true);
  if (mComponent->setActive(true) != kResultOk) {
    error = "the effect refused to become active";
    return false;
  }
  // Effects that do no work here answer "not implemented"; hosts carry on.
  mProcessor->setProcessing(true);

  mConfig = config;
  mContext = ProcessContext{};
  mContext.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid;
  mContext.sampleRate = config.sampleRate;
  mContext.tempo = 120.0;
  mContext.timeSigNumerator = 4;
  mContext.timeSigDenominator = 4;
  mTransport = false;
  mStartSample = 0;
  mTransportFrame = 0;
  mFramesDone = 0;
  mInputChanges->Clear();
  mStarted = true;
  return true;
}

void PluginInstance::SetTransport(double tempo, double startBeat) {
  if (mClap) return mClap->SetTransport(tempo, startBeat);
#if VELLOX_HOST_LV2
  if (mLv2) return mLv2->SetTransport(tempo, startBeat);
#endif
  mTransport = true;
  mContext.tempo = tempo;
  mStartBeat = startBeat;
  mTransportFrame = mFramesDone;
  mStartSample = std::llround(startBeat * 60.0 / tempo * mConfig.sampleRate);
}

void PluginInstance::UpdateContext() {
  const int64_t frames = mFramesDone - mTransportFrame;
  mContext.projectTimeSamples = mStartSample + frames;
  if (!mTransport) return;
  // From the frame count each time, so that no rounding builds up over a long render.
  const double beat = mStartBeat + static_cast<double>(frames) * mContext.tempo / (60.0 * mConfig.sampleRate);
  mContext.state |= ProcessContext::kProjectTimeMusicValid | ProcessContext::kBarPositionValid;
  mContext.projectTimeMusic = beat;
  mContext.barPositionMusic = 4.0 * std::floor(beat / 4.0);
}

void PluginInstance::Stop() {
  if (!mStarted) return;
  mStarted = false;
  if (mClap) return mClap->Stop();
#if VELLOX_HOST_LV2
  if (mLv2) return mLv2->Stop();
#endif
  mProcessor->setProcessing(false);
  mComponent->setActive(false);
  mStarted = false;
}

bool PluginInstance::QueueChange(ParamID id, ParamValue normalized, int32 sampleOffset) {
  if (mClap) {
    if (sampleOffset < 0) return false;
    mClap->QueueValue(id, mClapController->ToPlain(id, std::clamp(normalized, 0.0, 1.0)),
                      static_cast<uint32_t>(sampleOffset));
    return true;
  }
#if VELLOX_HOST_LV2
  if (mLv2) {
    uint32_t port = 0;
    float value = 0.0f;
    if (sampleOffset < 0 || !mLv2Controller->PortValue(id, normalized, port, value)) return false;
    mLv2->QueueValue(port, value, static_cast<uint32_t>(sampleOffset));
    return true;
  }
#endif
  return mInputChanges->Add(id, sampleOffset, normalized);
}

bool PluginInstance::QueueNoteOn(int32 sampleOffset) {
  if (sampleOffset < 0) return false;
    // The same note and the same room per block in every format.
#if VELLOX_HOST_LV2
  if (mLv2) {
    if (mQueuedNotes >= kMaxNotesPerBlock) return false;
    ++mQueuedNotes;
    mLv2->QueueNoteOn(static_cast<uint32_t>(sampleOffset));
    return true;
  }
#endif
  if (mClap) {
    if (mQueuedNotes >= kMaxNotesPerBlock) return false;
    ++mQueuedNotes;
    mClap->QueueNote(60, 1.0, static_cast<uint32_t>(sampleOffset));
    return true;
  }
  return mNotes->AddNoteOn(sampleOffset);
}

tresult PluginInstance::Process(float* const* inputs, float* const* outputs, int32 frames) {
  if (mConfig.doublePrecision) return kInvalidArgument;
  return RunBlock(reinterpret_cast<void**>(const_cast<float**>(inputs)),
                  reinterpret_cast<void**>(const_cast<float**>(outputs)), frames);
}

tresult PluginInstance::Process(double* const* inputs, double* const* outputs, int32 frames) {
  if (!mConfig.doublePrecision) return kInvalidArgument;
  return RunBlock(reinterpret_cast<void**>(const_cast<double**>(inputs)),
                  reinterpret_cast<void**>(const_cast<double**>(outputs)), frames);
}

tresult PluginInstance::RunBlock(void** inputs, void** outputs, int32 frames) {
  // The effect sizes its buffers to the maximum block; never hand it more.
  if (!mStarted || frames < 0 || frames > mConfig.maxBlock) return kInvalidArgument;
  mQueuedNotes = 0;
#if VELLOX_HOST_LV2
  if (mLv2)
    return mLv2->Process(reinterpret_cast<const float* const*>(inputs), reinterpret_cast<float* const*>(outputs),
                         static_cast<uint32_t>(frames))
               ? kResultOk
               : kResultFalse;
#endif
  if (mClap)
    return mClap->Process(inputs, outputs, static_cast<uint32_t>(frames)) == CLAP_PROCESS_ERROR ? kResultFalse
                                                                                                : kResultOk;
  AudioBusBuffers in;
  AudioBusBuffers out;
  in.numChannels = mConfig.channels;
  out.numChannels = mConfig.channels;
  if (mConfig.doublePrecision) {
    in.channelBuffers64 = reinterpret_cast<Sample64**>(inputs);
    out.channelBuffers64 = reinterpret_cast<Sample64**>(outputs);
  } else {
    in.channelBuffers32 = reinterpret_cast<Sample32**>(inputs);
    out.channelBuffers32 = reinterpret_cast<Sample32**>(outputs);
  }
  ProcessData data;
  data.processMode = mConfig.processMode;
  data.symbolicSampleSize = mConfig.doublePrecision ? kSample64 : kSample32;
  data.numSamples = frames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &in;
  data.outputs = &out;
  data.inputParameterChanges = mInputChanges;
  data.outputParameterChanges = mOutputChanges;
  data.inputEvents = mNotes;
  data.processContext = &mContext;
  UpdateContext();
  mOutputChanges->Clear();
  const tresult result = mProcessor->process(data);
  mInputChanges->Clear();
  mNotes->Clear();
  mFramesDone += frames;
  return result;
}

bool PluginInstance::SaveState(std::vector<uint8_t>& bytes, std::string& error) {
  IPtr<MemoryStream> stream = owned(new MemoryStream());
  if (mController->getState(stream) != kResultOk) {
    error = "the effect could not save its state";
    return false;
  }
  bytes = stream->Bytes();
  return true;
}

tresult PluginInstance::LoadState(const std::vector<uint8_t>& bytes) {
  IPtr<MemoryStream> stream = owned(new MemoryStream(bytes));
  return mController->setState(stream);
}

}  // namespace vellox::host
