#pragma once

#include <cstdint>
#include <vector>

#include "IEffectBase.h"
#include "lv2/core/lv2.h"
#include "lv2/state/state.h"
#include "lv2/ui/ui.h"
#include "lv2/urid/urid.h"

// Binds the host-independent plug-in core to LV2. Ports, in order: one
// control input per parameter (the core's plain values), the host's enable
// switch, an optional atom input for the song position and MIDI, then the
// audio inputs and outputs (one or two each: the mono and the stereo
// plug-in). Without urid:map the plug-in runs all the same, with no song
// position and no MIDI. The state is the VST 3 state's bytes.
class IEffectLv2 : public IEffectBase {
public:
  IEffectLv2(int nParams, const char* channelIOText, int nPresets, const char* effectName, const char* productName,
             const char* makerName, int uniqueId, int makerId, int version, int adapterKind, int latency,
             bool isInstrument, bool midiIn);

  // Called once after construction; false when the host's rate is refused.
  bool BindLv2(double sampleRate, int channels, const LV2_Feature* const* features);

  // Port numbers of the plug-in with `nParams` parameters.
  static uint32_t EnabledPort(int nParams) { return static_cast<uint32_t>(nParams); }
  static uint32_t EventsPort(int nParams) { return static_cast<uint32_t>(nParams) + 1; }
  static uint32_t FirstAudioPort(int nParams) { return static_cast<uint32_t>(nParams) + 2; }

  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Run(uint32_t frames);
  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // The UI's way to the host's control ports, while an editor UI is open
  // (null when none is).
  void BindUiWriter(LV2UI_Write_Function write, LV2UI_Controller controller) {
    mUiWrite = write;
    mUiController = controller;
  }

  // Host services for the core
  void HostTransportInfo(HostTransport& transport) override;
  void SendHostEdit(int index, double normalized) override;
  // A program the editor picks (UI thread): loaded and shown, and every
  // control port moved to its value, so the host's controls agree.
  bool EditProgram(int index);
  double HostTempo() override { return mTransport.tempo; }

  // The longest piece processed at once; a longer run is cut.
  static constexpr int kMaxScratchFrames = 4096;

private:
  void ReadEvents();
  void ReadPosition(const void* object);
  void ApplyControls();
  void RunPiece(uint32_t offset, uint32_t frames);

  int mChannels = 2;
  std::vector<const float*> mControls;
  std::vector<float> mApplied;  // the control values last taken
  const float* mEnabled = nullptr;
  float mAppliedEnabled = 1.0f;
  const void* mEvents = nullptr;  // an LV2_Atom_Sequence
  const float* mInputs[2] = {};
  float* mOutputs[2] = {};

  LV2_URID_Map* mMap = nullptr;
  struct Urids {
    LV2_URID atomBlank, atomObject, atomFloat, atomDouble, atomInt, atomLong, atomChunk, midiEvent;
    LV2_URID timePosition, timeFrame, timeSpeed, timeBar, timeBarBeat, timeBeatsPerBar, timeBeatUnit,
        timeBeatsPerMinute, stateKey;
  } mUrid{};

  LV2UI_Write_Function mUiWrite = nullptr;
  LV2UI_Controller mUiController = nullptr;

  HostTransport mTransport;
  bool mHasPosition = false;
  uint32_t mHostBlock = 0;
  int mPieceOffset = 0;
};
