// A stand-in VST 3 module that refuses what a strict effect refuses: a
// processing set-up above 100 kHz, and every block from frame 2048 on. It
// passes audio through otherwise. The host tool must report either refusal.
#include <cstring>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "public.sdk/source/vst/vstcomponent.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const FUID kProcessorId(0x52656675, 0x73657350, 0x726F6365, 0x73736F72);
const FUID kControllerId(0x52656675, 0x73657343, 0x6F6E7472, 0x6F6C6C72);
constexpr double kHighestRate = 100000.0;
constexpr int64 kLastFrame = 2048;

class RefusingProcessor : public Component, public IAudioProcessor {
public:
  RefusingProcessor() { setControllerClass(kControllerId); }
  tresult PLUGIN_API initialize(FUnknown* context) override {
    if (Component::initialize(context) != kResultOk) return kResultFalse;
    audioInputs.push_back(owned(new AudioBus(STR16("In"), kMain, BusInfo::kDefaultActive, SpeakerArr::kStereo)));
    audioOutputs.push_back(owned(new AudioBus(STR16("Out"), kMain, BusInfo::kDefaultActive, SpeakerArr::kStereo)));
    return kResultOk;
  }
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement*, int32, SpeakerArrangement*, int32) override {
    return kResultOk;
  }
  tresult PLUGIN_API getBusArrangement(BusDirection, int32, SpeakerArrangement& arrangement) override {
    arrangement = SpeakerArr::kStereo;
    return kResultOk;
  }
  tresult PLUGIN_API canProcessSampleSize(int32 size) override {
    return size == kSample32 ? kResultTrue : kResultFalse;
  }
  uint32 PLUGIN_API getLatencySamples() override { return 0; }
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) override {
    return setup.sampleRate > kHighestRate ? kResultFalse : kResultOk;
  }
  tresult PLUGIN_API setProcessing(TBool) override { return kResultOk; }
  tresult PLUGIN_API process(ProcessData& data) override {
    if (data.processContext && data.processContext->projectTimeSamples >= kLastFrame) return kResultFalse;
    for (int32 c = 0; c < data.outputs[0].numChannels; ++c)
      std::memcpy(data.outputs[0].channelBuffers32[c], data.inputs[0].channelBuffers32[c],
                  sizeof(float) * static_cast<size_t>(data.numSamples));
    return kResultOk;
  }
  uint32 PLUGIN_API getTailSamples() override { return 0; }

  OBJ_METHODS(RefusingProcessor, Component)
  DEFINE_INTERFACES
  DEF_INTERFACE(IAudioProcessor)
  END_DEFINE_INTERFACES(Component)
  REFCOUNT_METHODS(Component)
};

class Factory : public IPluginFactory {
public:
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override {
    *info = PFactoryInfo("Vellox tests", "", "", PFactoryInfo::kNoFlags);
    return kResultOk;
  }
  int32 PLUGIN_API countClasses() override { return 2; }
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) override {
    if (index == 0)
      *info = PClassInfo(kProcessorId.toTUID(), PClassInfo::kManyInstances, kVstAudioEffectClass, "Refusing");
    else if (index == 1)
      *info = PClassInfo(kControllerId.toTUID(), PClassInfo::kManyInstances, kVstComponentControllerClass, "Refusing");
    else
      return kInvalidArgument;
    return kResultOk;
  }
  tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** object) override {
    FUnknown* created = nullptr;
    if (FUnknownPrivate::iidEqual(cid, kProcessorId.toTUID()))
      created = static_cast<IComponent*>(new RefusingProcessor());
    else if (FUnknownPrivate::iidEqual(cid, kControllerId.toTUID()))
      created = static_cast<IEditController*>(new EditController());
    if (!created) return kNoInterface;
    const tresult result = created->queryInterface(iid, object);
    created->release();
    return result;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** object) override {
    if (FUnknownPrivate::iidEqual(iid, IPluginFactory::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
      *object = this;
      return kResultOk;
    }
    *object = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
};

Factory gFactory;

}  // namespace

#ifdef _WIN32
#define VELLOX_EXPORT extern "C" __declspec(dllexport)
VELLOX_EXPORT bool InitDll() { return true; }
VELLOX_EXPORT bool ExitDll() { return true; }
#else
#define VELLOX_EXPORT extern "C" __attribute__((visibility("default")))
VELLOX_EXPORT bool ModuleEntry(void*) { return true; }
VELLOX_EXPORT bool ModuleExit() { return true; }
#endif
VELLOX_EXPORT IPluginFactory* PLUGIN_API GetPluginFactory() { return &gFactory; }
