#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "IEffectBase.h"
#include "SingleComponentEffect.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

class IEffectVST3View;

// Binds the host-independent plug-in core to the VST 3 interfaces. One object
// is the processor (IComponent, IAudioProcessor) and the controller
// (IEditController, IEditController2, IUnitInfo) at once.
class IEffectVST3 : public IEffectBase, public SingleComponentEffect {
public:
  IEffectVST3(int nParams, const char* channelIOText, int nPresets, const char* effectName, const char* productName,
              const char* makerName, int uniqueId, int makerId, int version, int adapterKind, int latency,
              bool isInstrument, bool midiIn);
  ~IEffectVST3() override;

  // IPluginBase
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;

  // IAudioProcessor
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

  // IEditController
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 paramIndex,
                                                 Steinberg::Vst::ParameterInfo& info) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id,
                                                      Steinberg::Vst::ParamValue valueNormalized,
                                                      Steinberg::Vst::String128 string) override;
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID id, Steinberg::Vst::TChar* string,
                                                      Steinberg::Vst::ParamValue& valueNormalized) override;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(Steinberg::Vst::ParamID id,
                                                               Steinberg::Vst::ParamValue plainValue) override;
  Steinberg::Vst::ParamValue PLUGIN_API normalizedParamToPlain(Steinberg::Vst::ParamID id,
                                                               Steinberg::Vst::ParamValue valueNormalized) override;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                   Steinberg::Vst::ParamValue value) override;
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

  // IEditController2
  Steinberg::tresult PLUGIN_API setKnobMode(Steinberg::Vst::KnobMode mode) override;

  // IUnitInfo
  Steinberg::int32 PLUGIN_API getUnitCount() override;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex, Steinberg::Vst::UnitInfo& info) override;
  Steinberg::int32 PLUGIN_API getProgramListCount() override;
  Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                   Steinberg::Vst::ProgramListInfo& info) override;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::CString attributeId,
                                               Steinberg::Vst::String128 attributeValue) override;
  Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                     Steinberg::int32 programIndex) override;
  Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                                    Steinberg::int16 midiPitch,
                                                    Steinberg::Vst::String128 name) override;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() override;
  Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) override;
  Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                             Steinberg::int32 busIndex, Steinberg::int32 channel,
                                             Steinberg::Vst::UnitID& unitId) override;
  Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId, Steinberg::int32 programIndex,
                                                   Steinberg::IBStream* data) override;

  // Host services for the core
  void OpenHostContextMenu(int index, int x, int y) override;
  // User-interface thread: loads program `index` as an edit of the program
  // parameter, one gesture, and tells the host that every value changed.
  bool EditProgram(int index);
  void BeginHostEdit(int index) override;
  void SendHostEdit(int index, double normalized) override;
  void EndHostEdit(int index) override;
  bool IsOfflineRender() override;
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int& numerator, int& denominator) override;
  void HostTransportInfo(HostTransport& transport) override;
  void ChangeLatency(int frames) override;
  void ResizeEditorFrame(int width, int height) override;

  OBJ_METHODS(IEffectVST3, SingleComponentEffect)

  // Longest block before the host sets up processing, or when it names none.
  static constexpr int kDefaultMaxBlock = 4096;
  // The scratch buffers hold at most this many frames per channel; a longer
  // maximum block is processed in pieces of this size, with the same output.
  static constexpr int kMaxScratchFrames = 8192;
  // Sample rates setupProcessing accepts; any other leaves the earlier
  // set-up in force.
  static constexpr double kMinSampleRate = 1000.0;
  static constexpr double kMaxSampleRate = 1536000.0;
  // Parameter points one block keeps; beyond them a queue keeps its last point.
  static constexpr size_t kMaxPoints = 4096;

  // Editor views made by createView, in creation order; the list holds no
  // references. A view empties it when it is destroyed.
  std::vector<IEffectVST3View*> mEditorViews;

protected:
  // Saved state: parameter chunk and bypass word, the same bytes through the
  // controller and through the component.
  Steinberg::tresult getControllerState(Steinberg::IBStream* state) override;
  Steinberg::tresult setControllerState(Steinberg::IBStream* state) override;
  Steinberg::tresult getProcessorState(Steinberg::IBStream* state) override;
  Steinberg::tresult setProcessorState(Steinberg::IBStream* state) override;

  std::vector<std::string> mInputBusNames;
  std::vector<std::string> mOutputBusNames;
  Steinberg::Vst::ProcessContext mLastProcessContext;
  // Whether the current block came with a context, the block's number and
  // the offset in it of the piece being processed.
  bool mBlockHasContext = false;
  uint32_t mHostBlock = 0;
  int mPieceOffset = 0;

private:
  Steinberg::tresult SaveState(Steinberg::IBStream* state);
  // notifyHost: tell the component handler that every value may have changed.
  Steinberg::tresult RestoreState(Steinberg::IBStream* state, bool notifyHost);
  // Bytes of a state this version saves.
  int StateBytes() const;
  void NotifyHostOfNewValues();

  // Texts and values of the host's program and bypass parameters.
  int PresetForValue(double value) const;
  double ValueForPreset(int index) const;
  Steinberg::tresult SelectProgram(double value);
  bool SwitchText(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value, Steinberg::Vst::String128 out) const;
  bool SwitchValue(Steinberg::Vst::ParamID id, const Steinberg::Vst::TChar* text,
                   Steinberg::Vst::ParamValue& value) const;

  void CreateBuses();
  void RegisterParameters();
  void IdentifyHostFrom(Steinberg::FUnknown* context);
  Steinberg::Vst::AudioBus* FirstAudioBus(Steinberg::Vst::BusList& list);
  static Steinberg::IPtr<Steinberg::Vst::Bus> MakeAudioBus(const char* name, int channels);

  // Per-block work of process().
  // The block's parameter points, ordered by frame, into mPoints.
  void GatherPoints(Steinberg::Vst::IParameterChanges* changes, int frames);
  // Answers whether a program change reloaded the parameters.
  bool ApplyParameterValue(Steinberg::Vst::ParamID id, double value);
  void ReportAllValues(Steinberg::Vst::IParameterChanges& changes);
  void TakeHostBypass(bool bypass);
  void SilenceOutputs(bool doublePrecision, int frames);
  void DeliverMidiEvents(Steinberg::Vst::IEventList& events);
  void ConnectInputs(const Steinberg::Vst::ProcessData& data);
  void ConnectOutputs(const Steinberg::Vst::ProcessData& data);
  void RunPiece(bool doublePrecision, int offset, int frames);

  // Host channel buffers of the current block, per core channel (null when
  // not connected); sized once at construction so process never allocates.
  std::vector<void*> mInputSources;
  std::vector<void*> mOutputTargets;

  // One parameter point of the current block; order keeps points of the same
  // frame in the host's order. Room for kMaxPoints is made at construction.
  struct QueuedPoint {
    Steinberg::int32 frame;
    Steinberg::int32 order;
    Steinberg::Vst::ParamID id;
    double value;
  };
  std::vector<QueuedPoint> mPoints;

  // Buses and parameters exist (from the first initialize to terminate).
  bool mHostSetupDone = false;

  // The bypass value the controller shows: set by the host through the
  // controller, the processed queue or a restored state, whichever came last.
  std::atomic<double> mShownBypass{0.0};
};
