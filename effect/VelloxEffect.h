#pragma once

#include <cmath>

#include "ChopperState.h"
#include "IEffectBase.h"
#include "VelloxIdentity.h"
#include "VelloxParams.h"

// What the effect tells its plug-in base besides its identity: mono and
// stereo, one preset, an effect without latency or MIDI input, bound to the
// VST 3 adapter (adapter kind 1).
constexpr char kVelloxChannelIO[] = "1-1 2-2";
constexpr int kVelloxPresets = 1;
constexpr char kVelloxProductName[] = "";
constexpr int kVelloxAdapterKind = kAdapterVst3;
constexpr int kVelloxLatency = 0;
constexpr bool kVelloxIsInstrument = false;
constexpr bool kVelloxMidiIn = false;

// The chopper effect on top of a plug-in base class: Base is IEffectBase
// itself or an adapter derived from it with the same constructor.
template <class Base>
class VelloxEffect : public Base {
public:
  using EditorBuilder = void (*)(IEffectBase& plug);

  // buildEditor, when given, creates the editor and binds it to the plug-in
  // once the parameters exist and before the default preset is captured.
  explicit VelloxEffect(EditorBuilder buildEditor = nullptr)
      : Base(kVelloxNumParams, kVelloxChannelIO, kVelloxPresets, kVelloxName, kVelloxProductName, kVelloxVendor,
             MakeFourCC(kVelloxPluginCode), MakeFourCC(kVelloxMakerCode), kVelloxVersion, kVelloxAdapterKind,
             kVelloxLatency, kVelloxIsInstrument, kVelloxMidiIn) {
    DefineVelloxParams(*this);
    if (buildEditor) buildEditor(*this);
    this->CaptureFreePreset("-");
  }

  void HandleParamChange(int index) override {
    PlugLock lock(this->Mutex());
    if (const IParamSlot* slot = this->GetParam(index)) ChopperApplyParam(mChopper, index, slot->Value());
  }

  void ProcessBlock(double** inputs, double** outputs, int frames) override {
    // BY is a switch: any value that truncates to non-zero bypasses.
    const bool bypass = std::trunc(this->GetParam(kVelloxBy)->Value()) != 0.0;
    if (!mChopper.settings.sync) {
      ChopperProcess(mChopper, this->SampleRate(), bypass, inputs, outputs, frames);
      return;
    }
    HostTransport host;
    this->HostTransportInfo(host);
    ChopperProcessSynced(mChopper, this->SampleRate(), bypass, SongTransport(host), inputs, outputs, frames);
  }

  const ChopperState& Chopper() const { return mChopper; }

private:
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
};
