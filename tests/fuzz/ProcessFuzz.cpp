// Audio processing as a careless host drives it: any block size (also above the
// set maximum), 32/64-bit, mono/stereo, missing and null buffers, NaN, infinite,
// subnormal and huge samples, parameter queues with out-of-range and NaN
// points, and set-up cycles between blocks with any sample rate (absurd ones
// too) and any maximum block; now and then a block comes with the other
// sample size than the set-up's; most blocks tell some song position.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "FuzzChecks.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const double kRates[] = {8000.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0, 384000.0};
// Finite inputs up to this size must give finite outputs at any gain.
const double kModerate = 1e30;

double RawDouble(FuzzedDataProvider& in) {
  double v = 0.0;
  const std::vector<uint8_t> bits = in.ConsumeBytes<uint8_t>(sizeof v);
  if (!bits.empty()) std::memcpy(&v, bits.data(), bits.size());
  return v;
}

double Special(int which) {
  const double values[] = {
      std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL, 1e-310, 1e300, FLT_MAX, -FLT_MIN / 4, 0.0};
  return values[which % 8];
}

enum class Layout { Separate, InPlace, NoInputBus, NullInputArray, NullInputChannel, NoOutputBus, NullOutputArray };

struct Block {
  int frames;
  Layout layout;
  int hostChannels;
  std::vector<std::vector<double>> input;  // per host channel
};

template <class Sample>
struct Buffers {
  std::vector<std::vector<Sample>> in, out;
  std::vector<Sample*> inPtrs, outPtrs;
  AudioBusBuffers inBus{}, outBus{};
};

template <class Sample>
void SetPointers(AudioBusBuffers& bus, std::vector<Sample*>& pointers, bool null) {
  bus.numChannels = static_cast<int32>(pointers.size());
  void** p = null ? nullptr : reinterpret_cast<void**>(pointers.data());
  bus.channelBuffers32 = reinterpret_cast<float**>(p);
}

bool SameSample(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

template <class Sample>
// bypassQueued: the block carries host-bypass points, which take effect at
// their own frames.
void RunBlock(EffectRig& rig, int32 setupSampleSize, const Block& block, IParameterChanges* changes, bool bypassQueued,
              ProcessContext* context) {
  const int32 sampleSize = sizeof(Sample) == 8 ? kSample64 : kSample32;
  const int frames = block.frames;
  const int n = block.hostChannels;
  Buffers<Sample> b;
  b.in.assign(n, std::vector<Sample>(frames));
  for (int c = 0; c < n; ++c)
    for (int i = 0; i < frames; ++i) b.in[c][i] = static_cast<Sample>(block.input[c][i]);
  if (block.layout == Layout::InPlace)
    b.out = b.in;
  else
    b.out.assign(n, std::vector<Sample>(frames, std::numeric_limits<Sample>::quiet_NaN()));
  for (auto& ch : b.in) b.inPtrs.push_back(ch.data());
  for (auto& ch : b.out) b.outPtrs.push_back(ch.data());
  if (block.layout == Layout::InPlace) b.inPtrs = b.outPtrs;
  if (block.layout == Layout::NullInputChannel && n > 0) b.inPtrs[0] = nullptr;
  SetPointers(b.inBus, b.inPtrs, block.layout == Layout::NullInputArray);
  SetPointers(b.outBus, b.outPtrs, block.layout == Layout::NullOutputArray);
  const std::vector<std::vector<Sample>> hostInput = b.in;

  const bool inputs = block.layout != Layout::NoInputBus;
  const bool outputs = block.layout != Layout::NoOutputBus;
  ProcessData data = MakeProcessData(sampleSize, frames, inputs ? &b.inBus : nullptr, inputs ? 1 : 0,
                                     outputs ? &b.outBus : nullptr, outputs ? 1 : 0);
  data.inputParameterChanges = changes;
  data.processContext = context;
  const tresult result = rig.Process(data);
  RequireParamsInRange(rig);
  if (sampleSize != setupSampleSize) {
    // Buffers of the other size are refused before anything is read or written.
    FUZZ_REQUIRE(result == kResultFalse, "a block of the other sample size answered %d", static_cast<int>(result));
    if (block.layout == Layout::Separate)
      for (const auto& ch : b.out)
        for (Sample s : ch) FUZZ_REQUIRE(std::isnan(s), "a refused block wrote %g", static_cast<double>(s));
    return;
  }

  if (!outputs || block.layout == Layout::NullOutputArray) return;
  bool moderate = true;
  for (const auto& ch : hostInput)
    for (Sample s : ch) moderate = moderate && std::isfinite(s) && std::fabs(static_cast<double>(s)) <= kModerate;
  const int pluginChannels = rig.effect->NOutChannels();
  for (int c = 0; c < n && c < pluginChannels; ++c)
    for (int i = 0; i < frames; ++i)
      if (moderate)
        FUZZ_REQUIRE(std::isfinite(b.out[c][i]), "output %d[%d] is %g for finite input", c, i,
                     static_cast<double>(b.out[c][i]));

  // Bypassed for the whole block: every channel that has its own input comes
  // out unchanged.
  const bool inputDelivered = block.layout == Layout::Separate || block.layout == Layout::InPlace;
  if (rig.effect->IsBypassed() && !bypassQueued && inputDelivered)
    for (int c = 0; c < n && c < pluginChannels && c < rig.effect->NInChannels(); ++c)
      for (int i = 0; i < frames; ++i)
        FUZZ_REQUIRE(SameSample(b.out[c][i], hostInput[c][i]), "bypassed output %d[%d] is %g, input %g", c, i,
                     static_cast<double>(b.out[c][i]), static_cast<double>(hostInput[c][i]));
}

Block MakeBlock(FuzzedDataProvider& in, int32 maxBlock, int channels) {
  Block block;
  block.frames = in.ConsumeIntegralInRange<int>(0, 8192);
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0)
    block.frames = std::min<int32>(maxBlock, 16384) + in.ConsumeIntegralInRange<int>(1, 4096);
  block.layout = static_cast<Layout>(in.ConsumeIntegralInRange<int>(0, 6));
  block.hostChannels = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? in.ConsumeIntegralInRange<int>(0, 3) : channels;
  const int kind = in.ConsumeIntegralInRange<int>(0, 2);
  std::vector<double> pattern;
  if (kind == 1)
    for (int i = in.ConsumeIntegralInRange<int>(1, 16); i > 0; --i) pattern.push_back(RawDouble(in));
  const int specialStride = in.ConsumeIntegralInRange<int>(1, 64);
  block.input.assign(block.hostChannels, std::vector<double>(block.frames));
  for (int c = 0; c < block.hostChannels; ++c)
    for (int i = 0; i < block.frames; ++i) {
      if (kind == 0)
        block.input[c][i] = TestSignal(c, i);
      else if (kind == 1)
        block.input[c][i] = pattern[(i + c) % pattern.size()];
      else
        block.input[c][i] = i % specialStride == 0 ? Special(i / specialStride + c) : TestSignal(c, i);
    }
  return block;
}

// Answers whether a host-bypass queue was added.
bool AddQueues(FuzzedDataProvider& in, EffectRig& rig, FakeParamChanges& changes) {
  const std::vector<ParamID> ids = HostParamIds(rig);
  bool bypass = false;
  for (int q = in.ConsumeIntegralInRange<int>(0, 6); q > 0; --q) {
    const size_t pick = in.ConsumeIntegralInRange<size_t>(0, ids.size());
    const ParamID id = pick < ids.size() ? ids[pick] : in.ConsumeIntegral<ParamID>();
    std::vector<std::pair<int, double>> points;
    for (int p = in.ConsumeIntegralInRange<int>(0, 4); p > 0; --p) {
      const int offset = in.ConsumeIntegral<int>();
      const double value = in.ConsumeBool() ? in.ConsumeProbability<double>() : RawDouble(in);
      points.emplace_back(offset, value);
    }
    bypass = bypass || id == kBypassParamId;
    changes.Add(id, std::move(points));
  }
  return bypass;
}

// Deactivate, set up again (new maximum block and rate), activate: the host's
// bypass stays as it was.
bool Supported(double rate) { return rate >= IEffectVST3::kMinSampleRate && rate <= IEffectVST3::kMaxSampleRate; }

// Usually a common rate; sometimes any double at all.
double RateFrom(FuzzedDataProvider& in) {
  return in.ConsumeIntegralInRange<int>(0, 3) == 0 ? RawDouble(in) : kRates[in.ConsumeIntegralInRange<size_t>(0, 6)];
}

// Deactivate, set up again (new maximum block and rate), activate: the host's
// bypass stays as it was. A rate outside the supported range is refused with
// the earlier set-up in force; any maximum block is accepted within the cap.
// active: the sample size of the set-up in force.
void SetupCycle(FuzzedDataProvider& in, EffectRig& rig, int32 sampleSize, int32& maxBlock, int32& active) {
  const double bypassBefore = rig.controller->getParamNormalized(kBypassParamId);
  const double rateBefore = rig.effect->SampleRate();
  const int32 requested = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32>(1, 8192) : in.ConsumeIntegral<int32>();
  ProcessSetup setup{kRealtime, sampleSize, requested, RateFrom(in)};
  rig.component->setActive(false);
  const tresult result = rig.processor->setupProcessing(setup);
  rig.component->setActive(true);
  const bool supported = Supported(setup.sampleRate);
  FUZZ_REQUIRE((result == kResultOk) == supported, "set-up at %g Hz answered %d", setup.sampleRate,
               static_cast<int>(result));
  FUZZ_REQUIRE(rig.effect->SampleRate() == (supported ? setup.sampleRate : rateBefore), "rate %g after set-up at %g",
               rig.effect->SampleRate(), setup.sampleRate);
  FUZZ_REQUIRE(rig.effect->BlockSize() > 0 && rig.effect->BlockSize() <= IEffectVST3::kMaxScratchFrames,
               "scratch of %d frames for a maximum block of %d", rig.effect->BlockSize(), requested);
  if (supported) {
    maxBlock = std::max(requested, 1);
    active = sampleSize;
  }
  FUZZ_REQUIRE(rig.controller->getParamNormalized(kBypassParamId) == bypassBefore,
               "set-up cycle changed the host bypass from %g", bypassBefore);
}

// A plausible song position, or any bits at all.
bool MakeContext(FuzzedDataProvider& in, ProcessContext& c) {
  if (in.ConsumeIntegralInRange<int>(0, 3) == 0) return false;
  c.state = in.ConsumeBool() ? ~0u : in.ConsumeIntegral<uint32>();
  c.tempo = in.ConsumeBool() ? in.ConsumeFloatingPointInRange<double>(20.0, 300.0) : RawDouble(in);
  c.projectTimeMusic = in.ConsumeBool() ? in.ConsumeFloatingPointInRange<double>(-8.0, 4000.0) : RawDouble(in);
  c.timeSigNumerator = in.ConsumeIntegral<int32>();
  c.timeSigDenominator = in.ConsumeIntegralInRange<int32>(-1, 16);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int32 sampleSize = in.ConsumeBool() ? kSample64 : kSample32;
  const int channels = in.ConsumeBool() ? 2 : 1;
  int32 maxBlock = in.ConsumeIntegralInRange<int32>(1, 8192);
  EffectRig rig;
  const double rate = RateFrom(in);
  rig.Setup(sampleSize, maxBlock, rate, channels);
  // A refused set-up leaves the 32-bit default in force.
  int32 active = Supported(rate) ? sampleSize : kSample32;

  for (int blocks = 0; blocks < 12 && in.remaining_bytes() > 0; ++blocks) {
    if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
      SetupCycle(in, rig, sampleSize, maxBlock, active);
      continue;
    }
    FakeParamChanges changes;
    const bool bypassQueued = AddQueues(in, rig, changes);
    const Block block = MakeBlock(in, maxBlock, channels);
    const bool otherSize = in.ConsumeIntegralInRange<int>(0, 15) == 0;
    ProcessContext context{};
    ProcessContext* told = MakeContext(in, context) ? &context : nullptr;
    if ((active == kSample64) != otherSize)
      RunBlock<double>(rig, active, block, &changes, bypassQueued, told);
    else
      RunBlock<float>(rig, active, block, &changes, bypassQueued, told);
  }
  RequireStateRoundTrip(rig);
  return 0;
}
