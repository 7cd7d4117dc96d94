#include "EffectRig.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

EffectRig::EffectRig(Vellox* made)
    : effect(made),
      component(static_cast<IComponent*>(made)),
      processor(static_cast<IAudioProcessor*>(made)),
      controller(static_cast<IEditController*>(made)),
      units(static_cast<IUnitInfo*>(made)) {
  component->initialize(&host);
}

EffectRig::~EffectRig() {
  component->terminate();
  processor->release();
}

void EffectRig::Setup(int32 sampleSize, int32 maxBlock, double rate, int channels) {
  SpeakerArrangement arr = channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
  processor->setBusArrangements(&arr, 1, &arr, 1);
  ProcessSetup setup{kRealtime, sampleSize, maxBlock, rate};
  processor->setupProcessing(setup);
  component->activateBus(kAudio, kInput, 0, true);
  component->activateBus(kAudio, kOutput, 0, true);
  component->setActive(true);
}

double TestSignal(int channel, long frame) {
  const double t = static_cast<double>(frame);
  return 0.5 * std::sin(0.01 * t * (channel + 1)) + 0.25 * std::sin(0.173 * t + channel);
}

ReferenceEffect::ReferenceEffect(int maxBlock, double rate) {
  effect.SetSampleRate(rate);
  effect.ChangeBlockSize(maxBlock);
  effect.LoadPreset(0);
}

ReferenceEffect::Channels ReferenceEffect::Process(Channels in) {
  const int frames = static_cast<int>(in[0].size());
  Channels out(2, std::vector<double>(in[0].size()));
  double* ins[2] = {in[0].data(), in[1].data()};
  double* outs[2] = {out[0].data(), out[1].data()};
  effect.ProcessBlock(ins, outs, frames);
  return out;
}

ReferenceEffect::Channels ReferenceEffect::Run(long start, int frames) {
  Channels in(2, std::vector<double>(frames));
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < frames; ++i) in[c][i] = TestSignal(c, start + i);
  return Process(std::move(in));
}

ProcessData MakeProcessData(int32 sampleSize, int frames, AudioBusBuffers* in, int numIns, AudioBusBuffers* out,
                            int numOuts) {
  ProcessData data;
  data.processMode = kRealtime;
  data.symbolicSampleSize = sampleSize;
  data.numSamples = frames;
  data.numInputs = numIns;
  data.numOutputs = numOuts;
  data.inputs = in;
  data.outputs = out;
  return data;
}
