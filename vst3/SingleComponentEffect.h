#pragma once

#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

// The processor and the controller interfaces both declare getState and
// setState with the same signature; one C++ override would answer both. These
// two bridges give each its own virtual operation.
class ControllerStateBridge : public Steinberg::Vst::EditControllerEx1 {
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) final { return setControllerState(state); }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) final { return getControllerState(state); }
  virtual Steinberg::tresult setControllerState(Steinberg::IBStream* state) {
    return EditControllerEx1::setState(state);
  }
  virtual Steinberg::tresult getControllerState(Steinberg::IBStream* state) {
    return EditControllerEx1::getState(state);
  }
};

class ComponentStateBridge : public Steinberg::Vst::IComponent {
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) final { return setProcessorState(state); }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) final { return getProcessorState(state); }
  virtual Steinberg::tresult setProcessorState(Steinberg::IBStream* state) = 0;
  virtual Steinberg::tresult getProcessorState(Steinberg::IBStream* state) = 0;
};

// One object that is at once the processor (IComponent, IAudioProcessor) and
// the edit controller (EditControllerEx1 with IEditController,
// IEditController2, IUnitInfo, IConnectionPoint). It keeps the four bus lists
// and the last processing setup; derived classes supply the processing.
class SingleComponentEffect : public ControllerStateBridge,
                              public ComponentStateBridge,
                              public Steinberg::Vst::IAudioProcessor {
public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // IPluginBase, reached through IComponent and IEditController alike
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent
  Steinberg::tresult PLUGIN_API getControllerClassId(Steinberg::TUID classId) override;
  Steinberg::tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode mode) override;
  Steinberg::int32 PLUGIN_API getBusCount(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir) override;
  Steinberg::tresult PLUGIN_API getBusInfo(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                           Steinberg::int32 index, Steinberg::Vst::BusInfo& info) override;
  Steinberg::tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo& inInfo,
                                               Steinberg::Vst::RoutingInfo& outInfo) override;
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index, Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  Steinberg::tresult setProcessorState(Steinberg::IBStream* state) override;
  Steinberg::tresult getProcessorState(Steinberg::IBStream* state) override;

  // IAudioProcessor
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API getBusArrangement(Steinberg::Vst::BusDirection dir, Steinberg::int32 index,
                                                  Steinberg::Vst::SpeakerArrangement& arr) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

  // Bus setup
  Steinberg::Vst::AudioBus* addAudioInput(const Steinberg::Vst::TChar* name, Steinberg::Vst::SpeakerArrangement arr,
                                          Steinberg::Vst::BusType busType = Steinberg::Vst::kMain,
                                          Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::Vst::AudioBus* addAudioOutput(const Steinberg::Vst::TChar* name, Steinberg::Vst::SpeakerArrangement arr,
                                           Steinberg::Vst::BusType busType = Steinberg::Vst::kMain,
                                           Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::Vst::EventBus* addEventInput(const Steinberg::Vst::TChar* name, Steinberg::int32 channels = 16,
                                          Steinberg::Vst::BusType busType = Steinberg::Vst::kMain,
                                          Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::Vst::EventBus* addEventOutput(const Steinberg::Vst::TChar* name, Steinberg::int32 channels = 16,
                                           Steinberg::Vst::BusType busType = Steinberg::Vst::kMain,
                                           Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::tresult removeAudioBusses();
  Steinberg::tresult removeEventBusses();
  virtual Steinberg::tresult removeAllBusses();

  OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(EditControllerEx1)

protected:
  Steinberg::Vst::BusList* getBusList(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir);

  Steinberg::Vst::ProcessSetup processSetup;

  Steinberg::Vst::BusList audioInputs;
  Steinberg::Vst::BusList audioOutputs;
  Steinberg::Vst::BusList eventInputs;
  Steinberg::Vst::BusList eventOutputs;
};
