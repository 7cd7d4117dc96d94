#pragma once
// One effect instance driven the way a DAW drives it: created from the module's
// audio class, initialised with a host context, set up, processed block by
// block and torn down in order (processing off, inactive, terminated, released).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clap_controller.h"
#include "clap_session.h"
#include "host_application.h"
#if VELLOX_HOST_LV2
#include "lv2_controller.h"
#include "lv2_session.h"
#endif
#include "module_library.h"
#include "parameter_changes.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/ivstunits.h"

namespace vellox::host {

inline constexpr const char* kHostName = "Vellox Host";
inline constexpr const char* kAudioModuleCategory = "Audio Module Class";
inline constexpr Steinberg::int32 kMaxPointsPerQueue = 64;  // points of one parameter in one block
inline constexpr Steinberg::int32 kMaxNotesPerBlock = 64;

struct ProcessConfig {
  double sampleRate = 44100.0;
  Steinberg::int32 maxBlock = 1024;
  bool doublePrecision = false;
  Steinberg::int32 channels = 2;  // the same count on the input and the output bus
  Steinberg::int32 processMode = Steinberg::Vst::kRealtime;
};

class PluginInstance {
public:
  // Creates and initialises the first audio class of the module's factory;
  // for a CLAP module its first plug-in, whose parameters and state the
  // controller answers for (it has no component or processor).
  static std::unique_ptr<PluginInstance> Create(const ModuleLibrary& module, std::string& error);
  ~PluginInstance();

  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  Steinberg::Vst::IComponent* Component() const { return mComponent; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return mProcessor; }
  Steinberg::Vst::IEditController* Controller() const { return mController; }
  Steinberg::Vst::IUnitInfo* Units() const { return mUnits; }  // may be null
  bool HasSeparateController() const { return mSeparateController; }
  // The CLAP plug-in's session, or null for a VST 3 effect.
  ClapSession* Clap() const { return mClap.get(); }

  // Arranges the buses, sets up processing, activates the buses and the
  // component and starts processing.
  bool Start(const ProcessConfig& config, std::string& error);
  // Stops processing and deactivates; safe to call when not started.
  void Stop();
  bool Started() const { return mStarted; }

  // From the next block on, every block carries a playing transport at `tempo`
  // BPM in 4/4 whose first frame sits at song position `startBeat` (quarter
  // notes). Without it blocks carry a tempo of 120 BPM and no song position.
  void SetTransport(double tempo, double startBeat);

  // Points given here go to the next block and are cleared after it.
  bool QueueChange(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue normalized,
                   Steinberg::int32 sampleOffset = 0);

  // A note-on at `sampleOffset` of the next block; false when the block has
  // no room for more. Cleared after the block.
  bool QueueNoteOn(Steinberg::int32 sampleOffset);

  // One block; `frames` must not exceed the configured maximum. The channel
  // arrays hold `channels` pointers each.
  Steinberg::tresult Process(float* const* inputs, float* const* outputs, Steinberg::int32 frames);
  Steinberg::tresult Process(double* const* inputs, double* const* outputs, Steinberg::int32 frames);

  bool SaveState(std::vector<uint8_t>& bytes, std::string& error);
  Steinberg::tresult LoadState(const std::vector<uint8_t>& bytes);

private:
  PluginInstance() = default;
  bool Initialize(const ModuleLibrary& module, const Steinberg::TUID cid, std::string& error);
  bool AttachController(const ModuleLibrary& module, std::string& error);
  void UpdateContext();
  Steinberg::tresult RunBlock(void** inputs, void** outputs, Steinberg::int32 frames);
  void Teardown();
  bool StartClap(const ProcessConfig& config, std::string& error);

  Steinberg::IPtr<HostApplication> mHost;
  Steinberg::IPtr<Steinberg::Vst::IComponent> mComponent;
  Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> mProcessor;
  Steinberg::IPtr<Steinberg::Vst::IEditController> mController;
  Steinberg::IPtr<Steinberg::Vst::IUnitInfo> mUnits;
  bool mComponentInitialized = false;
  bool mSeparateController = false;
  bool mControllerInitialized = false;
  bool mConnected = false;

  ProcessConfig mConfig;
  bool mStarted = false;
  Steinberg::IPtr<ParameterChanges> mInputChanges;
  Steinberg::IPtr<ParameterChanges> mOutputChanges;
  Steinberg::IPtr<NoteEvents> mNotes;
  Steinberg::Vst::ProcessContext mContext{};
  bool mTransport = false;
  double mStartBeat = 0.0;
  int64_t mStartSample = 0;     // song position of the transport's first frame
  int64_t mTransportFrame = 0;  // frames processed before the transport began
  int64_t mFramesDone = 0;      // since Start

  std::unique_ptr<ClapSession> mClap;
  Steinberg::int32 mQueuedNotes = 0;  // note-ons of the next CLAP or LV2 block
#if VELLOX_HOST_LV2
  std::unique_ptr<Lv2Session> mLv2;
  Lv2Controller* mLv2Controller = nullptr;  // held by mController
#endif
  ClapController* mClapController = nullptr;  // held by mController
};

}  // namespace vellox::host
