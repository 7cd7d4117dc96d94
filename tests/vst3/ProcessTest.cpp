#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "EffectRig.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <class Sample>
HostBus<Sample> SignalBus(int channels, long start, int frames) {
  HostBus<Sample> bus(channels, frames);
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < frames; ++i) bus.samples[c][i] = static_cast<Sample>(TestSignal(c, start + i));
  return bus;
}

// One block through the adapter, input bus to a fresh output bus.
template <class Sample>
HostBus<Sample> RunThrough(EffectRig& rig, HostBus<Sample>& in) {
  const int32 size = sizeof(Sample) == 8 ? kSample64 : kSample32;
  const int frames = static_cast<int>(in.samples[0].size());
  HostBus<Sample> out(in.buffers.numChannels, frames);
  ProcessData data = MakeProcessData(size, frames, &in.buffers, 1, &out.buffers, 1);
  EXPECT_EQ(rig.Process(data), kResultOk);
  return out;
}

constexpr float kUntouched = 123.0f;

// Stereo arrangement and a 64-frame setup; no bus is activated.
void SetupWithoutActivating(EffectRig& rig, int32 sampleSize) {
  SpeakerArrangement stereo = SpeakerArr::kStereo;
  rig.processor->setBusArrangements(&stereo, 1, &stereo, 1);
  ProcessSetup setup{kRealtime, sampleSize, 64, 44100.0};
  rig.processor->setupProcessing(setup);
}

std::string BusName(IComponent* component, BusDirection dir) {
  BusInfo info = {};
  component->getBusInfo(kAudio, dir, 0, info);
  std::string name;
  for (const TChar* p = info.name; *p; ++p) name.push_back(static_cast<char>(*p));
  return name + (info.channelCount == 1 ? " mono" : info.channelCount == 2 ? " stereo" : " other");
}

}  // namespace

TEST(Process, DoublePrecisionMatchesTheEffectBitForBit) {
  EffectRig rig;
  rig.Setup(kSample64, 64);
  rig.controller->setParamNormalized(2, 0.3);
  rig.effect->HandleParamChange(2);
  ReferenceEffect ref(64);
  ref.effect.GetParam(2)->SetFromNormalized(0.3);
  ref.effect.HandleParamChange(2);

  long pos = 0;
  for (int block = 0; block < 200; ++block, pos += 64) {
    auto in = SignalBus<double>(2, pos, 64);
    auto out = RunThrough(rig, in);
    ASSERT_EQ(out.samples, ref.Run(pos, 64)) << "block " << block;
  }
}

TEST(Process, SinglePrecisionMatchesTheEffectRoundedToFloat) {
  EffectRig rig;
  rig.Setup(kSample32, 128);
  ReferenceEffect ref(128);
  long pos = 0;
  for (int block = 0; block < 50; ++block, pos += 100) {
    auto in = SignalBus<float>(2, pos, 100);
    auto out = RunThrough(rig, in);
    // The reference reads the same single-precision input.
    auto refOut = ref.Process(AsDouble(in, 0, 100));
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < 100; ++i)
        ASSERT_EQ(out.samples[c][i], static_cast<float>(refOut[c][i])) << block << " " << c << " " << i;
  }
}

TEST(Process, NegotiatesMonoAndStereoOnly) {
  EffectRig rig;
  EXPECT_EQ(BusName(rig.component, kInput), "Main Input stereo");
  EXPECT_EQ(BusName(rig.component, kOutput), "Output stereo");
  EXPECT_EQ(rig.component->getBusCount(kEvent, kInput), 1);  // note-ons restart the pattern

  SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono;
  EXPECT_EQ(rig.processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  EXPECT_EQ(BusName(rig.component, kInput), "Main Input stereo");
  EXPECT_EQ(rig.processor->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(rig.processor->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  SpeakerArrangement two[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
  EXPECT_EQ(rig.processor->setBusArrangements(two, 2, &stereo, 1), kResultFalse);
  EXPECT_EQ(rig.processor->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse);
  EXPECT_EQ(BusName(rig.component, kInput), "Main Input stereo");

  // A legal pair on the wrong number of input buses still rebuilds the buses.
  SpeakerArrangement monos[2] = {SpeakerArr::kMono, SpeakerArr::kMono};
  EXPECT_EQ(rig.processor->setBusArrangements(monos, 2, &mono, 1), kResultFalse);
  EXPECT_EQ(BusName(rig.component, kInput), "Input mono");
  EXPECT_EQ(BusName(rig.component, kOutput), "Output mono");
  EXPECT_EQ(rig.component->getBusCount(kAudio, kInput), 1);
  EXPECT_EQ(rig.processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  EXPECT_EQ(BusName(rig.component, kInput), "Input stereo");

  EXPECT_EQ(rig.processor->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  EXPECT_EQ(BusName(rig.component, kInput), "Input mono");
  EXPECT_EQ(BusName(rig.component, kOutput), "Output mono");
  SpeakerArrangement arr = 0;
  EXPECT_EQ(rig.processor->getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);
}

TEST(Process, MonoOutputIsTheFirstChannelOfTheStereoComputation) {
  EffectRig rig;
  rig.Setup(kSample64, 64, 44100.0, 1);
  ReferenceEffect ref(64);
  long pos = 0;
  for (int block = 0; block < 20; ++block, pos += 64) {
    auto in = SignalBus<double>(1, pos, 64);
    auto out = RunThrough(rig, in);
    // The second reference input is silence: mono feeds scratch zeros there.
    auto refOut = ref.Process(AsDouble(in, 0, 64));
    ASSERT_EQ(out.samples[0], refOut[0]) << block;
  }
}

TEST(Process, HostBypassPassesTheInputThrough) {
  EffectRig rig;
  rig.Setup(kSample32, 64);
  FakeParamChanges changes;
  changes.Add(kBypassParamId, {{0, 1.0}});
  auto in = SignalBus<float>(2, 500, 64);
  HostBus<float> out(2, 64);
  ProcessData data = MakeProcessData(kSample32, 64, &in.buffers, 1, &out.buffers, 1);
  data.inputParameterChanges = &changes;
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_TRUE(rig.effect->IsBypassed());
  EXPECT_EQ(out.samples, in.samples);

  // A new set-up (a sample-rate change) keeps the host's bypass in force.
  rig.component->setActive(false);
  ProcessSetup setup{kRealtime, kSample32, 64, 48000.0};
  EXPECT_EQ(rig.processor->setupProcessing(setup), kResultOk);
  rig.component->setActive(true);
  EXPECT_TRUE(rig.effect->IsBypassed());
  EXPECT_EQ(rig.controller->getParamNormalized(kBypassParamId), 1.0);
  EXPECT_EQ(rig.effect->SampleRate(), 48000.0);
  auto next = SignalBus<float>(2, 900, 64);
  HostBus<float> nextOut(2, 64);
  ProcessData again = MakeProcessData(kSample32, 64, &next.buffers, 1, &nextOut.buffers, 1);
  ASSERT_EQ(rig.Process(again), kResultOk);
  EXPECT_EQ(nextOut.samples, next.samples);
}

TEST(Process, EachQueueEndsTheBlockAtItsLastPoint) {
  EffectRig rig;
  rig.Setup(kSample64, 128);
  FakeParamChanges changes;
  changes.Add(3, {{0, 0.2}, {64, 0.9}});
  changes.Add(kBypassParamId, {{0, 1.0}, {10, 0.51}});
  changes.Add(0, {});                   // empty: skipped
  changes.Add(4711, {{0, 1.0}});        // unknown id: ignored
  changes.Add(2, {{0, std::nan("")}});  // not a number: ignored
  HostBus<double> in(2, 128), out(2, 128);
  ProcessData data = MakeProcessData(kSample64, 128, &in.buffers, 1, &out.buffers, 1);
  data.inputParameterChanges = &changes;
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_DOUBLE_EQ(rig.effect->GetParam(3)->Value(), 8.0);
  EXPECT_DOUBLE_EQ(rig.effect->Chopper().settings.outputGain, std::pow(10.0, 8.0 / 20.0));
  EXPECT_TRUE(rig.effect->IsBypassed());
  EXPECT_EQ(rig.effect->GetParam(0)->Value(), 5.0);
  EXPECT_EQ(rig.effect->GetParam(2)->Value(), 0.0);

  FakeParamChanges off;
  off.Add(kBypassParamId, {{0, 0.5}});
  data.inputParameterChanges = &off;
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_FALSE(rig.effect->IsBypassed());
}

TEST(Process, HostValuesReachTheSlotsAndNeverTheEditorFromTheAudioThread) {
  EffectRig rig;
  rig.Setup(kSample64, 64);
  std::vector<FakeEditor::Delivery> log;
  rig.effect->BindGraphics(new FakeEditor(rig.effect->Mutex(), log));
  log.clear();
  FakeParamChanges changes;
  changes.Add(3, {{0, 0.2}, {64, 0.9}});
  changes.Add(kBypassParamId, {{0, 1.0}});
  ProcessData data = MakeProcessData(kSample64, 0, nullptr, 0, nullptr, 0);
  data.inputParameterChanges = &changes;
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_TRUE(log.empty());                                    // the editor's tick reads the slot
  EXPECT_EQ(rig.effect->GetParam(3)->NormalizedValue(), 0.9);  // the last point

  // Restored state shows in the editor as plain values, delivered after the
  // lock is released: a block never waits for the editor's controls.
  log.clear();
  FakeStream stream(LittleEndianDoubles({50.0, 1.0, 0.5, -10.0, 1.0}));
  stream.bytes.insert(stream.bytes.end(), {0, 0, 0, 0});
  ASSERT_EQ(rig.controller->setState(&stream), kResultOk);
  // A first-layout state: the later values at their defaults.
  ASSERT_EQ(log.size(), static_cast<size_t>(kVelloxNumParams));
  const double plain[5] = {50.0, 1.0, 0.5, -10.0, 1.0};
  for (int i = 0; i < kVelloxNumParams; ++i) {
    EXPECT_EQ(log[i].index, i);
    EXPECT_EQ(log[i].value, i < 5 ? plain[i] : rig.effect->GetParam(i)->Default());
    EXPECT_FALSE(log[i].normalized);
    EXPECT_FALSE(log[i].lockHeld);
  }
}

TEST(Process, PresetQueueLoadsOnlyExistingPresets) {
  EffectRig rig;
  rig.Setup(kSample64, 64);
  rig.controller->setParamNormalized(0, 1.0);
  FakeParamChanges beyond;
  beyond.Add(kPresetParamId, {{0, 1.5}});
  HostBus<double> in(2, 64), out(2, 64);
  ProcessData data = MakeProcessData(kSample64, 64, &in.buffers, 1, &out.buffers, 1);
  data.inputParameterChanges = &beyond;
  rig.Process(data);
  EXPECT_EQ(rig.effect->GetParam(0)->Value(), 50.0);

  FakeParamChanges first;
  first.Add(kPresetParamId, {{0, 0.0}});
  data.inputParameterChanges = &first;
  rig.Process(data);
  EXPECT_EQ(rig.effect->GetParam(0)->Value(), 5.0);
  EXPECT_EQ(rig.effect->CurrentPresetIndex(), 0);
}

TEST(Process, EmptyFlushAppliesParametersWithoutAudio) {
  EffectRig rig;
  rig.Setup(kSample32, 64);
  FakeParamChanges changes;
  changes.Add(1, {{0, 1.0}});
  ProcessData flush = MakeProcessData(kSample32, 0, nullptr, 0, nullptr, 0);
  flush.inputParameterChanges = &changes;
  EXPECT_EQ(rig.Process(flush), kResultOk);
  EXPECT_EQ(rig.effect->GetParam(1)->Value(), 1.0);

  // Buffers of an earlier block are not written by a later block without buses.
  auto in = SignalBus<float>(2, 0, 64);
  HostBus<float> out(2, 64);
  ProcessData data = MakeProcessData(kSample32, 64, &in.buffers, 1, &out.buffers, 1);
  ASSERT_EQ(rig.Process(data), kResultOk);
  std::fill(out.samples[0].begin(), out.samples[0].end(), kUntouched);
  ProcessData noBuses = MakeProcessData(kSample32, 64, nullptr, 0, nullptr, 0);
  EXPECT_EQ(rig.Process(noBuses), kResultOk);
  EXPECT_EQ(out.samples[0], std::vector<float>(64, kUntouched));

  for (int32 size : {kSample32, kSample64}) {
    rig.Setup(size, 64);
    ProcessData nulls = MakeProcessData(size, 32, nullptr, 1, nullptr, 1);
    EXPECT_EQ(rig.Process(nulls), kResultOk);
    AudioBusBuffers noChannels;
    noChannels.numChannels = 2;  // declared, yet no pointer array
    ProcessData empty = MakeProcessData(size, 32, &noChannels, 1, &noChannels, 1);
    EXPECT_EQ(rig.Process(empty), kResultOk);
  }
}

TEST(Process, BlocksLongerThanTheMaximumArePiecedTogether) {
  for (int32 size : {kSample32, kSample64}) {
    EffectRig rig;
    rig.Setup(size, 64);
    ReferenceEffect ref(64);
    const int frames = 200;
    HostBus<float> in32 = SignalBus<float>(2, 0, frames), out32(2, frames);
    HostBus<double> in64 = SignalBus<double>(2, 0, frames), out64(2, frames);
    ProcessData data = size == kSample64 ? MakeProcessData(size, frames, &in64.buffers, 1, &out64.buffers, 1)
                                         : MakeProcessData(size, frames, &in32.buffers, 1, &out32.buffers, 1);
    ASSERT_EQ(rig.Process(data), kResultOk);
    std::vector<std::vector<double>> expected(2);
    for (int start = 0; start < frames; start += 64) {
      const int n = std::min(64, frames - start);
      auto refOut = ref.Process(size == kSample64 ? AsDouble(in64, start, n) : AsDouble(in32, start, n));
      for (int c = 0; c < 2; ++c) expected[c].insert(expected[c].end(), refOut[c].begin(), refOut[c].end());
    }
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < frames; ++i) {
        const double got = size == kSample64 ? out64.samples[c][i] : out32.samples[c][i];
        const double want = size == kSample64 ? expected[c][i] : static_cast<float>(expected[c][i]);
        ASSERT_EQ(got, want) << size << " " << c << " " << i;
      }
  }
}

TEST(Process, InactiveOrMissingOutputsAreLeftUntouched) {
  EffectRig rig;
  SetupWithoutActivating(rig, kSample32);
  rig.effect->SetParamFromEditor(2, 1.0);  // full level throughout

  auto in = SignalBus<float>(2, 0, 64);
  HostBus<float> out(2, 64, kUntouched);
  ProcessData data = MakeProcessData(kSample32, 64, &in.buffers, 1, &out.buffers, 1);
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_EQ(out.samples[0], std::vector<float>(64, kUntouched));  // never activated

  rig.component->activateBus(kAudio, kOutput, 0, true);
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_NE(out.samples[0], std::vector<float>(64, kUntouched));

  rig.component->activateBus(kAudio, kOutput, 0, false);
  out = HostBus<float>(2, 64, kUntouched);
  data.outputs = &out.buffers;
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_EQ(out.samples[1], std::vector<float>(64, kUntouched));

  // A null channel pointer or a short bus is skipped, the rest is written.
  rig.component->activateBus(kAudio, kOutput, 0, true);
  out.pointers[1] = nullptr;
  in.buffers.numChannels = 1;
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_NE(out.samples[0], std::vector<float>(64, kUntouched));
  EXPECT_EQ(out.samples[1], std::vector<float>(64, kUntouched));
}

TEST(Process, InputBusIsReadWhetherOrNotTheHostActivatedIt) {
  EffectRig rig;
  SetupWithoutActivating(rig, kSample64);
  rig.component->activateBus(kAudio, kOutput, 0, true);
  ReferenceEffect ref(64);
  long pos = 0;
  for (bool inputActive : {false, true, false}) {
    rig.component->activateBus(kAudio, kInput, 0, inputActive);
    auto in = SignalBus<double>(2, pos, 64);
    auto out = RunThrough(rig, in);
    ASSERT_EQ(out.samples, ref.Run(pos, 64)) << inputActive;
    pos += 64;
  }
}

TEST(Process, SetupAndTransportServices) {
  EffectRig rig;
  EXPECT_EQ(rig.processor->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(rig.processor->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(rig.processor->canProcessSampleSize(2), kResultFalse);
  ProcessSetup bad{kRealtime, 2, 64, 44100.0};
  EXPECT_EQ(rig.processor->setupProcessing(bad), kResultFalse);
  EXPECT_EQ(rig.processor->getLatencySamples(), 0u);
  EXPECT_EQ(rig.processor->getTailSamples(), 0u);
  EXPECT_EQ(rig.processor->setProcessing(true), kNotImplemented);
  EXPECT_EQ(rig.component->setActive(true), kResultOk);
  EXPECT_EQ(rig.component->setIoMode(0), kNotImplemented);
  TUID cid;
  EXPECT_EQ(rig.component->getControllerClassId(cid), kNotImplemented);

  ProcessSetup offline{kOffline, kSample64, 32, 96000.0};
  ASSERT_EQ(rig.processor->setupProcessing(offline), kResultOk);
  EXPECT_TRUE(rig.effect->IsOfflineRender());
  EXPECT_EQ(rig.effect->BlockSize(), 32);

  ProcessContext context = {};
  context.tempo = 128.0;
  context.projectTimeSamples = (int64(1) << 32) + 77;
  context.projectTimeMusic = 9.5;
  context.barPositionMusic = 8.0;
  context.cycleStartMusic = 4.0;
  context.cycleEndMusic = 12.0;
  context.timeSigNumerator = 7;
  context.timeSigDenominator = 8;
  context.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
  ProcessData data = MakeProcessData(kSample64, 0, nullptr, 0, nullptr, 0);
  data.processContext = &context;
  ASSERT_EQ(rig.Process(data), kResultOk);
  data.processContext = nullptr;
  ASSERT_EQ(rig.Process(data), kResultOk);  // keeps the last context

  EXPECT_EQ(rig.effect->HostSamplePosition(), 77);
  EXPECT_EQ(rig.effect->HostTempo(), 128.0);
  int num = 0, den = 0;
  rig.effect->HostTimeSignature(num, den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  HostTransport t;
  rig.effect->HostTransportInfo(t);
  EXPECT_EQ(t.samplePosition, static_cast<double>(context.projectTimeSamples));
  EXPECT_EQ(t.quarterNotePosition, 9.5);
  EXPECT_EQ(t.lastBarStart, 8.0);
  EXPECT_EQ(t.cycleStart, 4.0);
  EXPECT_EQ(t.cycleEnd, 12.0);
  EXPECT_TRUE(t.playing);
  EXPECT_TRUE(t.cycling);
}

// A host may process before it sets up processing: the block is processed
// with the default maximum, not left as whatever the host's buffers held.
TEST(Process, BeforeSetupTheBlockIsStillProcessed) {
  EffectRig rig;
  rig.component->activateBus(kAudio, kInput, 0, true);
  rig.component->activateBus(kAudio, kOutput, 0, true);
  rig.component->setActive(true);
  ReferenceEffect ref(64);
  auto in = SignalBus<float>(2, 0, 5000);  // longer than the default maximum
  HostBus<float> out(2, 5000, kUntouched);
  ProcessData data = MakeProcessData(kSample32, 5000, &in.buffers, 1, &out.buffers, 1);
  ASSERT_EQ(rig.Process(data), kResultOk);
  for (int start = 0; start < 5000; start += 64) {
    const int n = std::min(64, 5000 - start);
    auto want = ref.Process(AsDouble(in, start, n));
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < n; ++i)
        ASSERT_EQ(out.samples[c][start + i], static_cast<float>(want[c][i])) << c << " " << start + i;
  }
}

// Long blocks, the chopped level at zero and the slowest fade once left the
// smoother decaying into subnormal numbers for good; nothing subnormal may
// come out or stay in the smoother, whatever the block size.
TEST(Process, LongRunsNeverProduceSubnormals) {
  for (int frames : {8192, 4096, 64}) {
    EffectRig rig;
    rig.Setup(kSample64, 8192);
    rig.effect->SetParamFromEditor(2, 0.0);
    HostBus<double> in(2, frames, 1e-300), out(2, frames);
    long subnormal = 0;
    for (long done = 0; done < 1500000; done += frames) {
      ProcessData data = MakeProcessData(kSample64, frames, &in.buffers, 1, &out.buffers, 1);
      ASSERT_EQ(rig.Process(data), kResultOk);
      for (const auto& channel : out.samples)
        subnormal +=
            std::count_if(channel.begin(), channel.end(), [](double v) { return std::fpclassify(v) == FP_SUBNORMAL; });
    }
    EXPECT_EQ(subnormal, 0) << "blocks of " << frames;
    EXPECT_NE(std::fpclassify(rig.effect->Chopper().smoother.z), FP_SUBNORMAL) << "blocks of " << frames;
  }
}

// Scratch buffers that cannot be had fail the set-up; with none at all the
// host's outputs are silenced rather than left as they were.
TEST(Process, WithoutScratchBuffersSetupFailsAndOutputsAreSilenced) {
  EffectRig rig;
  rig.Setup(kSample32, 64);
  rig.effect->ChangeBlockSize(0);  // as if no buffers could ever be had
  auto in = SignalBus<float>(2, 0, 64);
  HostBus<float> out(2, 64, kUntouched);
  ProcessData data = MakeProcessData(kSample32, 64, &in.buffers, 1, &out.buffers, 1);
  EXPECT_EQ(rig.Process(data), kResultFalse);
  for (const auto& channel : out.samples)
    for (float v : channel) ASSERT_EQ(v, 0.0f);
}

// A channel the host stops delivering reads silence, never the converted
// input of an earlier block.
TEST(Process, AnInputChannelThatGoesMissingReadsSilence) {
  EffectRig rig;
  rig.Setup(kSample32, 64);
  auto loud = SignalBus<float>(2, 0, 64);
  RunThrough(rig, loud);
  auto oneChannel = SignalBus<float>(2, 64, 64);
  oneChannel.buffers.channelBuffers32[1] = nullptr;  // the host drops channel 1
  HostBus<float> out(2, 64, kUntouched);
  ProcessData data = MakeProcessData(kSample32, 64, &oneChannel.buffers, 1, &out.buffers, 1);
  ASSERT_EQ(rig.Process(data), kResultOk);
  EXPECT_EQ(out.samples[1], std::vector<float>(64, 0.0f));
  EXPECT_NE(out.samples[0], std::vector<float>(64, 0.0f));
}

// Set-ups a host should never send are refused with the earlier one in force,
// a huge maximum block is limited rather than allocated, and a block whose
// sample size is not the set-up's is refused before its buffers are touched.
TEST(Process, HostileSetupsAndBlocksAreRefusedOrLimited) {
  EffectRig rig;
  rig.Setup(kSample64, 64, 48000.0);
  for (double rate : {0.0, -44100.0, 999.0, 1536001.0, 1e300, HUGE_VAL, std::nan("")}) {
    ProcessSetup setup{kRealtime, kSample64, 64, rate};
    EXPECT_EQ(rig.processor->setupProcessing(setup), kResultFalse) << rate;
    EXPECT_EQ(rig.effect->SampleRate(), 48000.0) << rate;
  }
  ProcessSetup huge{kRealtime, kSample64, 0x7FFFFFFF, 48000.0};
  ASSERT_EQ(rig.processor->setupProcessing(huge), kResultOk);
  EXPECT_EQ(rig.effect->BlockSize(), IEffectVST3::kMaxScratchFrames);

  HostBus<float> in(2, 64, 0.5f), out(2, 64, kUntouched);
  FakeParamChanges changes;
  changes.Add(3, {{0, 1.0}});
  ProcessData data = MakeProcessData(kSample32, 64, &in.buffers, 1, &out.buffers, 1);
  data.inputParameterChanges = &changes;
  EXPECT_EQ(rig.Process(data), kResultFalse);
  for (const auto& channel : out.samples)
    for (float v : channel) ASSERT_EQ(v, kUntouched);
  EXPECT_EQ(rig.effect->GetParam(3)->Value(), 0.0);
}

// Queue points are limited to 0..1 before anything sees them, infinite ones
// are ignored like NaN, and the id just past the parameters is no parameter.
TEST(Process, QueuePointsAreLimitedAndForeignIdsIgnored) {
  EffectRig rig;
  rig.Setup(kSample64, 64);
  std::vector<FakeEditor::Delivery> log;
  rig.effect->BindGraphics(new FakeEditor(rig.effect->Mutex(), log));
  const struct {
    ParamID id;
    double point, delivered, output;  // delivered -1: the slot keeps its value
  } cases[] = {{3, 1.5, 1.0, 10.0},       {3, -0.5, 0.0, -10.0},        {3, HUGE_VAL, -1, -10.0},
               {3, -HUGE_VAL, -1, -10.0}, {3, std::nan(""), -1, -10.0}, {7, 1.0, -1, -10.0}};
  for (const auto& k : cases) {
    log.clear();
    FakeParamChanges changes;
    changes.Add(k.id, {{0, k.point}});
    ProcessData data = MakeProcessData(kSample64, 0, nullptr, 0, nullptr, 0);
    data.inputParameterChanges = &changes;
    ASSERT_EQ(rig.Process(data), kResultOk);
    EXPECT_TRUE(log.empty()) << k.point;
    if (k.delivered >= 0) {
      EXPECT_EQ(rig.effect->GetParam(3)->NormalizedValue(), k.delivered) << k.point;
    }
    EXPECT_EQ(rig.effect->GetParam(3)->Value(), k.output) << k.point;
  }
  EXPECT_EQ(rig.controller->setParamNormalized(3, HUGE_VAL), kResultFalse);
  EXPECT_EQ(rig.effect->GetParam(3)->Value(), -10.0);
}

// A new sample rate keeps the cycle's position in seconds: 0.15 s into the
// first cycle at 48 kHz the level is down (from 0.12 s), and at 96 kHz it
// stays down for the 0.07 s (6720 frames) left before the wrap, then comes up.
TEST(Process, SampleRateChangeKeepsTheChopPositionInSeconds) {
  EffectRig rig;
  rig.Setup(kSample64, 480, 48000.0);
  HostBus<double> in(2, 480, 1.0), out(2, 480);
  auto run = [&](int blocks, FakeParamChanges* changes) {
    std::vector<double> left;
    for (int b = 0; b < blocks; ++b) {
      ProcessData data = MakeProcessData(kSample64, 480, &in.buffers, 1, &out.buffers, 1);
      data.inputParameterChanges = b == 0 ? changes : nullptr;
      EXPECT_EQ(rig.Process(data), kResultOk);
      left.insert(left.end(), out.samples[0].begin(), out.samples[0].end());
    }
    return left;
  };
  FakeParamChanges fastest;
  fastest.Add(0, {{0, 1.0}});  // FADE 50 Hz
  EXPECT_LT(run(15, &fastest).back(), 1e-3);
  rig.component->setActive(false);
  ProcessSetup faster{kRealtime, kSample64, 480, 96000.0};
  ASSERT_EQ(rig.processor->setupProcessing(faster), kResultOk);
  rig.component->setActive(true);
  const std::vector<double> left = run(20, nullptr);
  EXPECT_LT(left[6700], 1e-3);
  EXPECT_GT(left[6720 + 1800], 0.99);
}
