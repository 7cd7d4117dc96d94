#pragma once

#include <vector>

#include "FakeHost.h"
#include "HostParamIds.h"
#include "Vellox.h"

// One initialised effect with the interface pointers a host would hold.
struct EffectRig {
  explicit EffectRig(Vellox* made = new Vellox());
  ~EffectRig();

  // Bus arrangement, processing setup, bus activation and setActive.
  void Setup(Steinberg::int32 sampleSize, Steinberg::int32 maxBlock, double rate = 44100.0, int channels = 2);

  Steinberg::tresult Process(Steinberg::Vst::ProcessData& data) { return processor->process(data); }

  FakeHostApplication host{u"Test Host"};
  Vellox* effect;
  Steinberg::Vst::IComponent* component;
  Steinberg::Vst::IAudioProcessor* processor;
  Steinberg::Vst::IEditController* controller;
  Steinberg::Vst::IUnitInfo* units;
};

// Host audio buffers of one bus, with the pointer array the host hands over.
template <class Sample>
struct HostBus {
  HostBus(int channels, int frames, Sample fill = 0) : samples(channels, std::vector<Sample>(frames, fill)) {
    for (auto& ch : samples) pointers.push_back(ch.data());
    buffers.numChannels = channels;
    SetPointers();
  }
  void SetPointers();

  std::vector<std::vector<Sample>> samples;
  std::vector<Sample*> pointers;
  Steinberg::Vst::AudioBusBuffers buffers;
};

template <>
inline void HostBus<float>::SetPointers() {
  buffers.channelBuffers32 = pointers.data();
}
template <>
inline void HostBus<double>::SetPointers() {
  buffers.channelBuffers64 = pointers.data();
}

// Samples [start, start + frames) of a host bus as doubles, padded to two
// channels with silence.
template <class Sample>
std::vector<std::vector<double>> AsDouble(const HostBus<Sample>& bus, int start, int frames) {
  std::vector<std::vector<double>> out(2, std::vector<double>(frames, 0.0));
  for (size_t c = 0; c < bus.samples.size() && c < 2; ++c)
    for (int i = 0; i < frames; ++i) out[c][i] = bus.samples[c][start + i];
  return out;
}

// A test signal: a few sine-like partials, different per channel.
double TestSignal(int channel, long frame);

// The chopper driven directly through its block call, as the adapter should.
struct ReferenceEffect {
  explicit ReferenceEffect(int maxBlock, double rate = 44100.0);
  using Channels = std::vector<std::vector<double>>;
  // Processes the two input channels as one block; returns the outputs.
  Channels Process(Channels inputs);
  // Processes frames of the test signal from frame `start`.
  Channels Run(long start, int frames);

  VelloxEffect<IEffectBase> effect;
};

Steinberg::Vst::ProcessData MakeProcessData(Steinberg::int32 sampleSize, int frames,
                                            Steinberg::Vst::AudioBusBuffers* in, int numIns,
                                            Steinberg::Vst::AudioBusBuffers* out, int numOuts);
