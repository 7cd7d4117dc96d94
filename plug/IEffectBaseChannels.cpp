// Channel records and buffer operations of the plug-in base, forwarded to
// its ChannelBuffers.
#include "ChannelBuffers.h"
#include "IEffectBase.h"

int IEffectBase::NInChannels() const { return mChannels->NInputs(); }
int IEffectBase::NOutChannels() const { return mChannels->NOutputs(); }
double** IEffectBase::InputPointers() { return mChannels->InputPointers(); }
double** IEffectBase::OutputPointers() { return mChannels->OutputPointers(); }

bool IEffectBase::IsInputConnected(int channel) const {
  const InputChannel* ch = mChannels->Input(channel);
  return ch && ch->connected;
}

void IEffectBase::SetInputConnected(int channel, bool connected) { mChannels->SetInputConnected(channel, connected); }

void IEffectBase::SetOutputConnected(int channel, bool connected) { mChannels->SetOutputConnected(channel, connected); }

double* IEffectBase::InputScratch(int channel) { return mChannels->InputScratch(channel); }
double* IEffectBase::OutputScratch(int channel) { return mChannels->OutputScratch(channel); }

void IEffectBase::SetInputPointer(int channel, double* samples) { mChannels->SetInputPointer(channel, samples); }

void IEffectBase::SetOutputPointer(int channel, double* samples) { mChannels->SetOutputPointer(channel, samples); }

void IEffectBase::SetOutputDestination(int channel, float* destination) {
  if (OutputChannel* ch = mChannels->Output(channel)) ch->destination = destination;
}

void IEffectBase::DisconnectAllChannels() { mChannels->DisconnectAll(); }

void IEffectBase::ConvertInputs(int start, int count, float* const* sources, int frames) {
  mChannels->ConvertInputs(start, count, sources, frames);
}

void IEffectBase::ClearScratch() { mChannels->ClearScratch(); }

void IEffectBase::ConvertOutput(const double* source, float* destination, int frames) {
  ChannelBuffers::ConvertOutput(source, destination, frames);
}

void IEffectBase::ConvertConnectedOutputs(int frames) { mChannels->ConvertConnectedOutputs(frames); }

void IEffectBase::PassThrough(int frames) { mChannels->PassThrough(frames, mLatency); }

void IEffectBase::CreateDelayLine() { mChannels->CreateDelayLine(); }

bool IEffectBase::HasDelayLine() const { return mChannels->HasDelayLine(); }
