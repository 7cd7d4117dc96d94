// Channel records and buffer operations of the plug-in base, forwarded to
// its ChannelBuffers.
#include "ChannelBuffers.h"
#include "IEffectBase.h"

int IEffectBase::NInChannels() const { return channels_->NInputs(); }
int IEffectBase::NOutChannels() const { return channels_->NOutputs(); }
double** IEffectBase::InputPointers() { return channels_->InputPointers(); }
double** IEffectBase::OutputPointers() { return channels_->OutputPointers(); }

bool IEffectBase::IsInputConnected(int channel) const {
  const InputChannel* ch = channels_->Input(channel);
  return ch && ch->connected;
}

void IEffectBase::SetInputConnected(int channel, bool connected) { channels_->SetInputConnected(channel, connected); }

void IEffectBase::SetOutputConnected(int channel, bool connected) { channels_->SetOutputConnected(channel, connected); }

double* IEffectBase::InputScratch(int channel) { return channels_->InputScratch(channel); }
double* IEffectBase::OutputScratch(int channel) { return channels_->OutputScratch(channel); }

void IEffectBase::SetInputPointer(int channel, double* samples) { channels_->SetInputPointer(channel, samples); }

void IEffectBase::SetOutputPointer(int channel, double* samples) { channels_->SetOutputPointer(channel, samples); }

void IEffectBase::SetOutputDestination(int channel, float* destination) {
  if (OutputChannel* ch = channels_->Output(channel)) ch->destination = destination;
}

void IEffectBase::DisconnectAllChannels() { channels_->DisconnectAll(); }

void IEffectBase::ConvertInputs(int start, int count, float* const* sources, int frames) {
  channels_->ConvertInputs(start, count, sources, frames);
}

void IEffectBase::ClearScratch() { channels_->ClearScratch(); }

void IEffectBase::ConvertOutput(const double* source, float* destination, int frames) {
  ChannelBuffers::ConvertOutput(source, destination, frames);
}

void IEffectBase::ConvertConnectedOutputs(int frames) { channels_->ConvertConnectedOutputs(frames); }

void IEffectBase::PassThrough(int frames) { channels_->PassThrough(frames, latency_); }

void IEffectBase::CreateDelayLine() { channels_->CreateDelayLine(); }

bool IEffectBase::HasDelayLine() const { return channels_->HasDelayLine(); }
