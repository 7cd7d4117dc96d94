#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "ChopperState.h"
#include "IEffectBase.h"
#include "VelloxCyclePosition.h"
#include "VelloxIdentity.h"
#include "VelloxParams.h"
#include "VelloxPresets.h"

// What the effect tells its plug-in base besides its identity: mono and
// stereo, the factory programs, an effect without latency, with an event input for
// the pattern's restart, bound to the VST 3 adapter (adapter kind 1).
constexpr char kVelloxChannelIO[] = "1-1 2-2";
constexpr int kVelloxPresets = kVelloxFactoryPresets;
constexpr char kVelloxProductName[] = "";
constexpr int kVelloxAdapterKind = kAdapterVst3;
constexpr int kVelloxLatency = 0;
constexpr bool kVelloxIsInstrument = false;
constexpr bool kVelloxMidiIn = true;

// The chopper effect on top of a plug-in base class: Base is IEffectBase
// itself or an adapter derived from it with the same constructor.
template <class Base>
class VelloxEffect : public Base, public VelloxEditorSource {
public:
  using EditorBuilder = void (*)(IEffectBase& plug);

  // buildEditor, when given, creates the editor and binds it to the plug-in
  // once the parameters exist and before the factory programs are captured.
  explicit VelloxEffect(EditorBuilder buildEditor = nullptr)
      : Base(kVelloxNumParams, kVelloxChannelIO, kVelloxPresets, kVelloxName, kVelloxProductName, kVelloxVendor,
             MakeFourCC(kVelloxPluginCode), MakeFourCC(kVelloxMakerCode), kVelloxVersion, kVelloxAdapterKind,
             kVelloxLatency, kVelloxIsInstrument, kVelloxMidiIn) {
    DefineVelloxParams(*this);
    if (buildEditor) buildEditor(*this);
    DefineVelloxPresets(*this);
  }

  void HandleParamChange(int index) override {
    PlugLock lock(this->Mutex());
    if (const IParamSlot* slot = this->GetParam(index)) ChopperApplyParam(mChopper, index, slot->Value());
  }

  // A note-on waits for its frame, where it restarts the cycle if RETRIG is
  // on by then (a host delivers the block's notes before its parameter
  // points take effect); the rest of MIDI is not ours.
  void HandleMidiIn(const MidiMessage& message) override {
    if ((message.status & 0xF0) != 0x90 || message.data2 == 0) return;
    HostTransport host;
    this->HostTransportInfo(host);
    ChopperQueueNote(mChopper.notes, host.block, message.frameOffset);
  }

  void ProcessBlock(double** inputs, double** outputs, int frames) override {
    // BY is a switch: any value that truncates to non-zero bypasses.
    const bool bypass = std::trunc(this->GetParam(kVelloxBy)->Value()) != 0.0;
    if (!mChopper.settings.sync && mChopper.notes.count == 0) {
      ChopperProcess(mChopper, this->SampleRate(), bypass, inputs, outputs, frames);
      mCyclePosition.Publish(ChopperCyclePhase(mChopper));
      return;
    }
    HostTransport host;
    this->HostTransportInfo(host);
    ProcessWithNotes(bypass, SongTransport(host), inputs, outputs, frames);
    mCyclePosition.Publish(ChopperCyclePhase(mChopper));
  }

  const ChopperState& Chopper() const { return mChopper; }
  const VelloxCyclePosition& CyclePosition() const override { return mCyclePosition; }
  bool SelectProgramFromEditor(int index) override {
    PlugLock lock(this->Mutex());
    return this->LoadPreset(index, false);
  }

private:
  // The block in parts that end where a waiting note-on falls; the cycle
  // restarts on the note's own frame. Notes of another host block are stale.
  void ProcessWithNotes(bool bypass, ChopperTransport t, double** inputs, double** outputs, int frames) {
    ChopperNotes& notes = mChopper.notes;
    if (notes.block != t.block) notes.count = 0;
    const int64_t base = t.blockOffset;
    int used = 0;
    for (int done = 0; done < frames;) {
      bool restart = false;
      for (; used < notes.count && notes.frames[used] <= base + done; ++used) restart = true;
      if (restart && mChopper.settings.retrig) ChopperRestart(mChopper);
      const int until =
          used < notes.count ? static_cast<int>(std::min<int64_t>(notes.frames[used] - base, frames)) : frames;
      double* in[] = {inputs[0] + done, inputs[1] + done};
      double* out[] = {outputs[0] + done, outputs[1] + done};
      t.blockOffset = base + done;
      if (mChopper.settings.sync)
        ChopperProcessSynced(mChopper, this->SampleRate(), bypass, t, in, out, until - done);
      else
        ChopperProcess(mChopper, this->SampleRate(), bypass, in, out, until - done);
      done = until;
    }
    std::copy(notes.frames + used, notes.frames + notes.count, notes.frames);
    notes.count -= used;
  }

  // The song position counts only while the transport plays; stopped, the
  // cycle runs on at the last tempo.
  static ChopperTransport SongTransport(const HostTransport& host) {
    ChopperTransport t;
    t.songPosition = host.playing && host.quarterNotesValid && host.tempoValid;
    t.quarters = host.quarterNotePosition;
    t.samples = host.samplePosition;
    t.tempo = host.tempoValid ? host.tempo : 0.0;
    if (host.timeSigValid) {
      t.timeSigNumerator = host.timeSigNumerator;
      t.timeSigDenominator = host.timeSigDenominator;
    }
    t.blockOffset = host.blockOffset;
    t.block = host.block;
    return t;
  }

  ChopperState mChopper;
  VelloxCyclePosition mCyclePosition;
};
