#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "AdapterKinds.h"
#include "EffectRecords.h"
#include "IEditorLink.h"
#include "IParamSlot.h"
#include "PlugMutex.h"
#include "PlugPreset.h"
#include "StateChunk.h"

class ChannelBuffers;
struct ScratchSet;

// Host-independent base of the effect: parameters, presets, channel
// configurations, per-channel buffers, the plug-in lock and the bound editor.
// The virtual operations keep a fixed order; the adapter implements the host
// services and the effect overrides HandleParamChange and ProcessBlock. The
// Reserved* operations do nothing: they only hold their places in that order.
// Beside each slot number: the thread that calls it (audio: the host's audio
// thread; UI: its user-interface thread; set-up: the host's set-up calls,
// made while no block runs) and whether the plug-in lock is held.
class IEffectBase {
public:
  // adapterKind is one of AdapterKindId.
  IEffectBase(int nParams, const char* channelIOText, int nPresets, const char* effectName, const char* productName,
              const char* makerName, int uniqueId, int makerId, int version, int adapterKind, int latency,
              bool isInstrument, bool midiIn);
  IEffectBase(const IEffectBase&) = delete;
  IEffectBase& operator=(const IEffectBase&) = delete;

  virtual ~IEffectBase();                                                    // 0: any (the host releasing the instance)
  virtual void PrepareForProcessing();                                       // 1: set-up (setupProcessing)
  virtual void HandleParamChange(int index);                                 // 2: audio or UI, under the lock
  virtual void ProcessBlock(double** inputs, double** outputs, int frames);  // 3: audio, under the lock
  virtual void EditorOpened() {}                                             // 4: UI
  virtual void EditorClosed() {}                                             // 5: UI
  virtual void ReservedHook6() {}                                            // 6: none
  virtual void ActivationChanged(bool active);                               // 7: set-up (setActive)
  virtual void HandleMidiIn(const MidiMessage& message);                     // 8: audio, under the lock
  virtual void ReservedHook9() {}                                            // 9: none
  virtual bool ReservedTextQuery10(int index, char* text);                   // 10: none
  virtual bool SerializeParams(StateChunk& chunk);                           // 11: UI (state save), under the lock
  virtual int UnserializeParams(const StateChunk& chunk, int start);         // 12: UI or audio, under the lock
  virtual bool ParamsMatch(const double* values, int start);                 // 13: any
  virtual void EditorFrameResized() {}                                       // 14: UI
  virtual bool ReservedQuery15() { return false; }                           // 15: none
  virtual void AfterHostSetup() {}                                           // 16: set-up (initialize)
  virtual void OpenHostContextMenu(int index, int x, int y) {}               // 17: UI
  virtual void SetParamFromEditor(int index, double normalized);             // 18: UI
  virtual void BeginHostEdit(int index) {}                                   // 19: UI, never under the lock
  virtual void SendHostEdit(int index, double normalized) {}                 // 20: UI, never under the lock
  virtual void EndHostEdit(int index) {}                                     // 21: UI, never under the lock
  virtual void ReservedHostService22() {}                                    // 22: none
  virtual bool IsOfflineRender() { return false; }                           // 23: audio
  virtual int HostSamplePosition() { return 0; }                             // 24: audio
  virtual double HostTempo() { return 0.0; }                                 // 25: audio
  virtual void HostTimeSignature(int& numerator, int& denominator);          // 26: audio
  virtual void HostTransportInfo(HostTransport& transport);                  // 27: audio
  virtual int HostIdentity() { return mHostCode; }                           // 28: any
  virtual int AdapterKind() { return mAdapterKind; }                         // 29: any
  virtual void ResizeEditorFrame(int width, int height) {}                   // 30: UI
  virtual void ReservedHook31() {}                                           // 31: none
  virtual void BindGraphics(IEditorLink* graphics);                          // 32: construction
  virtual void ChangeLatency(int frames);                                    // 33: set-up
  virtual bool SendMidiOut(const MidiMessage& message) { return false; }     // 34: audio
  virtual bool ReservedQuery35() { return false; }                           // 35: none
  virtual void RefreshParamControls();                                       // 36: UI, or audio for programs
  virtual void ReservedHook37() {}                                           // 37: none
  virtual void AfterPresetLoad() {}                                          // 38: audio or UI, under the lock
  virtual void ChangeBlockSize(int frames);                                  // 39: set-up

  // Parameters: nullptr for an index outside the list.
  int NParams() const { return static_cast<int>(mParams.size()); }
  IParamSlot* GetParam(int index);
  const IParamSlot* GetParam(int index) const;

  // Saved state keeps the first StateLayoutParams() values where the first
  // layout had them; the adapter stores any later parameters after that
  // layout. All parameters until set; a count is limited to 0..NParams().
  void SetStateLayoutParams(int count) { mStateLayoutParams = count; }
  int StateLayoutParams() const {
    return mStateLayoutParams < 0 || mStateLayoutParams > NParams() ? NParams() : mStateLayoutParams;
  }

  // Presets: nullptr / "" for an index outside the list.
  int NPresets() const { return static_cast<int>(mPresets.size()); }
  PlugPreset* GetPreset(int index);
  const char* PresetName(int index) const;
  bool PresetInitialised(int index) const;
  // Any thread: a program change on the audio thread is seen by the editor's tick.
  int CurrentPresetIndex() const { return mCurrentPreset.load(std::memory_order_relaxed); }
  // refreshControls false leaves showing the values to the caller, who may
  // hold the lock and do that after releasing it.
  bool LoadPreset(int index, bool refreshControls = true);
  void CaptureFreePreset(const char* name);

  // Channel configurations.
  bool LegalIO(int inputs, int outputs) const;
  int NChannelIOPairs() const { return static_cast<int>(mChannelIO.size()); }
  const ChannelIOPair* GetChannelIOPair(int index) const;

  // Identity.
  const char* EffectName() const { return mEffectName; }
  const char* ProductName() const { return mProductName; }
  const char* MakerName() const { return mMakerName; }
  int UniqueId() const { return mUniqueId; }
  int MakerId() const { return mMakerId; }
  int Version() const { return mVersion; }
  bool IsInstrument() const { return mIsInstrument; }
  bool HasMidiIn() const { return mMidiIn; }
  void SetHostIdentity(int hostCode, int hostVersion);
  int HostVersion() const { return mHostVersion; }

  // Processing settings. SetSampleRate ignores rates that are not finite and positive.
  double SampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate);
  int BlockSize() const { return mBlockSize; }
  int Latency() const { return mLatency; }
  int TailSize() const { return mTailSize; }
  // Read by controller queries on the user interface thread while the audio
  // thread sets it.
  bool IsBypassed() const { return mBypassed.load(std::memory_order_relaxed); }
  void SetBypassed(bool bypassed) { mBypassed.store(bypassed, std::memory_order_relaxed); }

  // Channels. The pointer arrays are what ProcessBlock receives; every entry
  // points either at the channel's scratch buffer or at a host buffer.
  int NInChannels() const;
  int NOutChannels() const;
  double** InputPointers();
  double** OutputPointers();
  bool IsInputConnected(int channel) const;
  // Marking a channel not connected also points its entry at its scratch buffer.
  void SetInputConnected(int channel, bool connected);
  void SetOutputConnected(int channel, bool connected);
  double* InputScratch(int channel);
  double* OutputScratch(int channel);
  void SetInputPointer(int channel, double* samples);
  void SetOutputPointer(int channel, double* samples);
  // Host buffer receiving the channel's output in single precision.
  void SetOutputDestination(int channel, float* destination);

  // ChangeBlockSize in two steps, for callers that hold the lock only while
  // the buffers change hands: MakeScratch allocates (false when memory ran
  // out); SwapScratch installs them, stores the block size and allocates
  // nothing, leaving the old buffers in set to be freed after the lock.
  bool MakeScratch(int frames, ScratchSet& set) const;
  void SwapScratch(ScratchSet& set);

  // Buffer operations for the adapter's processing call. Frame counts above
  // BlockSize() are limited to it: the scratch buffers hold no more.
  void DisconnectAllChannels();
  void ConvertInputs(int start, int count, float* const* sources, int frames);
  void ClearScratch();
  static void ConvertOutput(const double* source, float* destination, int frames);
  // ConvertOutput of every connected output channel into its destination.
  void ConvertConnectedOutputs(int frames);
  void PassThrough(int frames);
  // Creates the latency delay line for the current channel counts (length 0).
  void CreateDelayLine();
  bool HasDelayLine() const;

  // Distinct parameter group names, in order of first appearance.
  int NGroups() const { return static_cast<int>(mGroupNames.size()); }
  const char* GroupName(int index) const;
  int FindGroup(const char* group) const;  // index in the list, or -1
  void AddGroupName(const char* group);

  // The bound editor graphics object (owned), or nullptr.
  IEditorLink* Graphics() const { return mGraphics; }

  PlugMutex& Mutex() { return mMutex; }

private:
  void ParseChannelIO(const char* text);

  std::vector<ChannelIOPair> mChannelIO;
  PlugMutex mMutex;
  char mEffectName[128] = {};
  char mProductName[128] = {};
  char mMakerName[128] = {};
  int mUniqueId;
  int mMakerId;
  int mVersion;
  int mAdapterKind;
  int mHostCode = -1;
  int mHostVersion = 0;
  bool mIsInstrument;
  bool mMidiIn;
  std::atomic<bool> mBypassed{false};
  std::atomic<int> mCurrentPreset{0};
  int mStateLayoutParams = -1;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  int mTailSize = 0;
  std::vector<const char*> mGroupNames;
  IEditorLink* mGraphics = nullptr;
  std::vector<std::unique_ptr<IParamSlot>> mParams;
  std::vector<std::unique_ptr<PlugPreset>> mPresets;
  std::unique_ptr<ChannelBuffers> mChannels;
};
