// Cost of the adapter's processing call against the effect's block call
// alone, at 64 frames per block. The difference is the per-block overhead of
// the adapter (lock, parameter queues, channel wiring, sample conversion).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "Vellox.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kFrames = 64;

template <class Sample>
struct Buffers {
  Buffers() : samples(4, std::vector<Sample>(kFrames)) {
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < kFrames; ++i) samples[c][i] = static_cast<Sample>(0.5 * std::sin(0.05 * i + c));
    for (auto& ch : samples) pointers.push_back(ch.data());
  }
  std::vector<std::vector<Sample>> samples;
  std::vector<Sample*> pointers;
};

template <class Sample>
void AdapterProcess(benchmark::State& state) {
  const int32 size = sizeof(Sample) == 8 ? kSample64 : kSample32;
  auto* effect = new Vellox();
  auto* component = static_cast<IComponent*>(effect);
  auto* processor = static_cast<IAudioProcessor*>(effect);
  component->initialize(nullptr);
  SpeakerArrangement stereo = SpeakerArr::kStereo;
  processor->setBusArrangements(&stereo, 1, &stereo, 1);
  ProcessSetup setup{kRealtime, size, kFrames, 44100.0};
  processor->setupProcessing(setup);
  component->activateBus(kAudio, kOutput, 0, true);
  component->setActive(true);

  Buffers<Sample> buffers;
  AudioBusBuffers in, out;
  in.numChannels = out.numChannels = 2;
  if constexpr (sizeof(Sample) == 8) {
    in.channelBuffers64 = buffers.pointers.data();
    out.channelBuffers64 = buffers.pointers.data() + 2;
  } else {
    in.channelBuffers32 = buffers.pointers.data();
    out.channelBuffers32 = buffers.pointers.data() + 2;
  }
  ProcessData data;
  data.symbolicSampleSize = size;
  data.numSamples = kFrames;
  data.numInputs = data.numOutputs = 1;
  data.inputs = &in;
  data.outputs = &out;
  for (auto _ : state) {
    processor->process(data);
    benchmark::DoNotOptimize(buffers.samples[2][0]);
  }
  component->terminate();
  processor->release();
}

void EffectBlockOnly(benchmark::State& state) {
  VelloxEffect<IEffectBase> effect;
  effect.SetSampleRate(44100.0);
  effect.ChangeBlockSize(kFrames);
  effect.LoadPreset(0);
  Buffers<double> buffers;
  for (auto _ : state) {
    effect.ProcessBlock(buffers.pointers.data(), buffers.pointers.data() + 2, kFrames);
    benchmark::DoNotOptimize(buffers.samples[2][0]);
  }
}

}  // namespace

BENCHMARK(EffectBlockOnly);
BENCHMARK_TEMPLATE(AdapterProcess, double);
BENCHMARK_TEMPLATE(AdapterProcess, float);

BENCHMARK_MAIN();
