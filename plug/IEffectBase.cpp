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
    : uniqueId_(uniqueId),
      makerId_(makerId),
      version_(version),
      adapterKind_(adapterKind),
      isInstrument_(isInstrument),
      midiIn_(midiIn),
      latency_(latency) {
  for (int i = 0; i < nParams; ++i) params_.push_back(std::make_unique<IParamSlot>());
  for (int i = 0; i < nPresets; ++i) presets_.push_back(std::make_unique<PlugPreset>());
  CopyName(effectName_, effectName);
  CopyName(productName_, productName);
  CopyName(makerName_, makerName);
  ParseChannelIO(channelIOText);
  int maxIn = 0;
  int maxOut = 0;
  for (const ChannelIOPair& pair : channelIO_) {
    maxIn = std::max(maxIn, pair.inputs);
    maxOut = std::max(maxOut, pair.outputs);
  }
  channels_ = std::make_unique<ChannelBuffers>(maxIn, maxOut);
}

IEffectBase::~IEffectBase() { delete graphics_; }

void IEffectBase::ParseChannelIO(const char* text) {
  const char* pos = text ? text : "";
  for (;;) {
    ChannelIOPair pair{0, 0};
    std::sscanf(pos, "%d-%d", &pair.inputs, &pair.outputs);
    channelIO_.push_back(pair);
    const char* space = std::strchr(pos, ' ');
    if (!space) break;
    pos = space + 1;
  }
}

void IEffectBase::PrepareForProcessing() { PlugLock lock(mutex_); }

void IEffectBase::HandleParamChange(int index) { PlugLock lock(mutex_); }

void IEffectBase::ActivationChanged(bool active) { PlugLock lock(mutex_); }

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

void IEffectBase::SetParamFromEditor(int index, double normalized) {
  IParamSlot* slot = GetParam(index);
  if (!slot || std::isnan(normalized)) return;
  PlugLock lock(mutex_);
  slot->SetFromNormalized(normalized);
  SendHostEdit(index, normalized);
  HandleParamChange(index);
}

void IEffectBase::BindGraphics(IEditorLink* graphics) {
  if (!graphics) return;
  PlugLock lock(mutex_);
  for (int i = 0; i < NParams(); ++i) graphics->DeliverParamValue(i, params_[i]->NormalizedValue());
  graphics->CreateDrawSurfaces();
  if (graphics_ != graphics) delete graphics_;
  graphics_ = graphics;
}

void IEffectBase::RefreshParamControls() {
  if (!graphics_) return;
  for (int i = 0; i < NParams(); ++i) graphics_->PushParamToControls(i, params_[i]->Value(), false);
}

void IEffectBase::DeliverParamToEditor(int index, double normalized) {
  if (graphics_) graphics_->DeliverParamValue(index, normalized);
}

void IEffectBase::ChangeLatency(int frames) {
  latency_ = frames;
  channels_->ResizeDelayLine(frames);
}

void IEffectBase::ChangeBlockSize(int frames) {
  if (frames != blockSize_ && channels_->ResizeScratch(frames)) blockSize_ = frames;
}

IParamSlot* IEffectBase::GetParam(int index) {
  return index >= 0 && index < NParams() ? params_[static_cast<size_t>(index)].get() : nullptr;
}

const IParamSlot* IEffectBase::GetParam(int index) const {
  return index >= 0 && index < NParams() ? params_[static_cast<size_t>(index)].get() : nullptr;
}

bool IEffectBase::LegalIO(int inputs, int outputs) const {
  for (const ChannelIOPair& pair : channelIO_)
    if ((inputs < 0 || inputs == pair.inputs) && (outputs < 0 || outputs == pair.outputs)) return true;
  return false;
}

const ChannelIOPair* IEffectBase::GetChannelIOPair(int index) const {
  return index >= 0 && index < NChannelIOPairs() ? &channelIO_[static_cast<size_t>(index)] : nullptr;
}

void IEffectBase::SetHostIdentity(int hostCode, int hostVersion) {
  hostCode_ = hostCode;
  hostVersion_ = hostVersion;
}

void IEffectBase::SetSampleRate(double sampleRate) {
  // A zero, negative or non-finite rate would poison the effect's timing for good.
  if (std::isfinite(sampleRate) && sampleRate > 0.0) sampleRate_ = sampleRate;
}

const char* IEffectBase::GroupName(int index) const {
  return index >= 0 && index < NGroups() ? groupNames_[static_cast<size_t>(index)] : nullptr;
}

int IEffectBase::FindGroup(const char* group) const {
  if (!group) return -1;
  for (int i = 0; i < NGroups(); ++i)
    if (std::strcmp(groupNames_[static_cast<size_t>(i)], group) == 0) return i;
  return -1;
}

void IEffectBase::AddGroupName(const char* group) {
  if (group) groupNames_.push_back(group);
}
