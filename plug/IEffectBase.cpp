#include "IEffectBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ChannelBuffers.h"

namespace {
void CopyName(char (&dest)[128], const char* src) { std::snprintf(dest, sizeof dest, "%s", src ? src : ""); }
}  // namespace

IEffectBase::IEffectBase(int nParams, const char* channelIOText, int nPresets, const char* effectName,
                         const char* productName, const char* makerName, int uniqueId, int makerId, int version,
                         int adapterKind, int latency, bool isInstrument, bool midiIn)
    : mUniqueId(uniqueId),
      mMakerId(makerId),
      mVersion(version),
      mAdapterKind(adapterKind),
      mIsInstrument(isInstrument),
      mMidiIn(midiIn),
      mLatency(latency) {
  for (int i = 0; i < nParams; ++i) mParams.push_back(std::make_unique<IParamSlot>());
  for (int i = 0; i < nPresets; ++i) mPresets.push_back(std::make_unique<PlugPreset>());
  CopyName(mEffectName, effectName);
  CopyName(mProductName, productName);
  CopyName(mMakerName, makerName);
  ParseChannelIO(channelIOText);
  int maxIn = 0;
  int maxOut = 0;
  for (const ChannelIOPair& pair : mChannelIO) {
    maxIn = std::max(maxIn, pair.inputs);
    maxOut = std::max(maxOut, pair.outputs);
  }
  mChannels = std::make_unique<ChannelBuffers>(maxIn, maxOut);
}

IEffectBase::~IEffectBase() { delete mGraphics; }

void IEffectBase::ParseChannelIO(const char* text) {
  const char* pos = text ? text : "";
  for (;;) {
    ChannelIOPair pair{0, 0};
    std::sscanf(pos, "%d-%d", &pair.inputs, &pair.outputs);
    mChannelIO.push_back(pair);
    const char* space = std::strchr(pos, ' ');
    if (!space) break;
    pos = space + 1;
  }
}

void IEffectBase::PrepareForProcessing() { PlugLock lock(mMutex); }

void IEffectBase::HandleParamChange(int index) { PlugLock lock(mMutex); }

void IEffectBase::ActivationChanged(bool active) { PlugLock lock(mMutex); }

void IEffectBase::ProcessBlock(double** inputs, double** outputs, int frames) {
  if (!outputs || frames <= 0) return;
  for (int c = 0; c < NOutChannels(); ++c) {
    double* out = outputs[c];
    if (!out) continue;
    const double* in = (inputs && c < NInChannels()) ? inputs[c] : nullptr;
    if (in) {
      if (in != out) std::copy(in, in + frames, out);
    } else {
      std::fill(out, out + frames, 0.0);
    }
  }
}

void IEffectBase::HandleMidiIn(const MidiMessage& message) { SendMidiOut(message); }

bool IEffectBase::ReservedTextQuery10(int index, char* text) {
  if (text) text[0] = '\0';
  return false;
}

void IEffectBase::HostTimeSignature(int& numerator, int& denominator) {
  numerator = 0;
  denominator = 0;
}

void IEffectBase::HostTransportInfo(HostTransport& transport) { transport = HostTransport(); }

// The host hears of the edit only after the lock is released: a host whose
// performEdit takes its own engine lock, while its audio thread waits in
// process for ours, would otherwise deadlock on the first knob drag.
void IEffectBase::SetParamFromEditor(int index, double normalized) {
  IParamSlot* slot = GetParam(index);
  if (!slot || !std::isfinite(normalized)) return;
  {
    PlugLock lock(mMutex);
    slot->SetFromNormalized(normalized);
    HandleParamChange(index);
  }
  SendHostEdit(index, normalized);
}

// The drawing surfaces are made before the lock is taken: the audio thread
// only ever waits for the pointer to change.
void IEffectBase::BindGraphics(IEditorLink* graphics) {
  if (!graphics) return;
  for (int i = 0; i < NParams(); ++i) graphics->PushParamToControls(i, mParams[i]->NormalizedValue(), true);
  graphics->CreateDrawSurfaces();
  IEditorLink* previous = nullptr;
  {
    PlugLock lock(mMutex);
    previous = mGraphics;
    mGraphics = graphics;
  }
  if (previous != graphics) delete previous;
}

void IEffectBase::RefreshParamControls() {
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->PushParamToControls(i, mParams[i]->Value(), false);
}

void IEffectBase::ChangeLatency(int frames) {
  mLatency = frames;
  mChannels->ResizeDelayLine(frames);
}

void IEffectBase::ChangeBlockSize(int frames) {
  if (frames != mBlockSize && mChannels->ResizeScratch(frames)) mBlockSize = frames;
}

bool IEffectBase::MakeScratch(int frames, ScratchSet& set) const { return mChannels->MakeScratch(frames, set); }

void IEffectBase::SwapScratch(ScratchSet& set) {
  const int frames = set.frames;
  if (mChannels->SwapScratch(set)) mBlockSize = frames;
}

IParamSlot* IEffectBase::GetParam(int index) {
  return index >= 0 && index < NParams() ? mParams[static_cast<size_t>(index)].get() : nullptr;
}

const IParamSlot* IEffectBase::GetParam(int index) const {
  return index >= 0 && index < NParams() ? mParams[static_cast<size_t>(index)].get() : nullptr;
}

bool IEffectBase::LegalIO(int inputs, int outputs) const {
  for (const ChannelIOPair& pair : mChannelIO)
    if ((inputs < 0 || inputs == pair.inputs) && (outputs < 0 || outputs == pair.outputs)) return true;
  return false;
}

const ChannelIOPair* IEffectBase::GetChannelIOPair(int index) const {
  return index >= 0 && index < NChannelIOPairs() ? &mChannelIO[static_cast<size_t>(index)] : nullptr;
}

void IEffectBase::SetHostIdentity(int hostCode, int hostVersion) {
  mHostCode = hostCode;
  mHostVersion = hostVersion;
}

void IEffectBase::SetSampleRate(double sampleRate) {
  // A zero, negative or non-finite rate would poison the effect's timing for good.
  if (std::isfinite(sampleRate) && sampleRate > 0.0) mSampleRate = sampleRate;
}

const char* IEffectBase::GroupName(int index) const {
  return index >= 0 && index < NGroups() ? mGroupNames[static_cast<size_t>(index)] : nullptr;
}

int IEffectBase::FindGroup(const char* group) const {
  if (!group) return -1;
  for (int i = 0; i < NGroups(); ++i)
    if (std::strcmp(mGroupNames[static_cast<size_t>(i)], group) == 0) return i;
  return -1;
}

void IEffectBase::AddGroupName(const char* group) {
  if (group) mGroupNames.push_back(group);
}
