// Audio processed through the module against the documented algorithm.
#include <array>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "ChopperReference.h"
#include "ModuleFixture.h"

namespace vellox::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr double kRate = 44100.0;
constexpr ParamID kBypassId = 0x62706173;

using Stereo = std::array<std::vector<double>, 2>;

// Two different tones with some noise, every sample exact in single precision
// so that 32-bit and 64-bit runs start from the same numbers.
Stereo TestSignal(size_t frames) {
  Stereo s{std::vector<double>(frames), std::vector<double>(frames)};
  uint32_t noise = 12345;
  for (size_t i = 0; i < frames; ++i) {
    noise = noise * 1664525u + 1013904223u;
    const double n = (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.1;
    s[0][i] = static_cast<float>(0.8 * std::sin(0.031 * static_cast<double>(i)) + n);
    s[1][i] = static_cast<float>(0.7 * std::sin(0.0173 * static_cast<double>(i) + 1.0) - n);
  }
  return s;
}

// Block sizes covering single frames, empty blocks and blocks longer than a chop cycle.
std::vector<int> MixedBlocks() {
  std::vector<int> sizes;
  const int pattern[] = {64, 1, 0, 300, 17, 1024, 64, 64, 511, 8192};
  for (int round = 0; round < 6; ++round)
    for (int n : pattern) sizes.push_back(n);
  return sizes;
}

size_t Total(const std::vector<int>& sizes) {
  size_t total = 0;
  for (int n : sizes) total += static_cast<size_t>(n);
  return total;
}

host::ProcessConfig Config(int channels, bool doublePrecision) {
  host::ProcessConfig config;
  config.sampleRate = kRate;
  config.maxBlock = 8192;
  config.channels = channels;
  config.doublePrecision = doublePrecision;
  return config;
}

// One block through the module; `out` receives the module's channels.
template <class Sample>
void ModuleBlock(host::PluginInstance& instance, const Stereo& in, size_t start, int frames, int channels,
                 Stereo& out) {
  std::array<std::vector<Sample>, 2> inBuf, outBuf;
  Sample* inPtr[2];
  Sample* outPtr[2];
  for (int c = 0; c < 2; ++c) {
    inBuf[c].assign(in[c].begin() + static_cast<long>(start), in[c].begin() + static_cast<long>(start) + frames);
    inBuf[c].push_back(0);  // never hand out a null buffer, even for an empty block
    outBuf[c].assign(static_cast<size_t>(frames) + 1, static_cast<Sample>(-99));
    inPtr[c] = inBuf[c].data();
    outPtr[c] = outBuf[c].data();
  }
  ASSERT_EQ(instance.Process(inPtr, outPtr, frames), kResultOk);
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < frames; ++i) out[c][start + static_cast<size_t>(i)] = outBuf[c][static_cast<size_t>(i)];
  EXPECT_EQ(outBuf[0][static_cast<size_t>(frames)], static_cast<Sample>(-99)) << "wrote past the block";
}

// The same block through the reference; a mono run sees a silent second input.
void ReferenceBlock(ChopperReference& ref, const Stereo& in, size_t start, int frames, int channels, Stereo& out) {
  std::vector<double> silent(static_cast<size_t>(frames) + 1, 0.0), discard(static_cast<size_t>(frames) + 1);
  const double* in1 = channels == 2 ? in[1].data() + start : silent.data();
  double* out1 = channels == 2 ? out[1].data() + start : discard.data();
  ref.Block(in[0].data() + start, in1, out[0].data() + start, out1, frames);
}

Stereo Empty(size_t frames) { return {std::vector<double>(frames), std::vector<double>(frames)}; }

class AudioTest : public ModuleTest {
protected:
  // Runs the module and the reference side by side. `before` may queue host
  // changes and adjust the reference ahead of block k.
  template <class Sample, class Before>
  void Compare(int channels, const std::vector<int>& sizes, Before before) {
    auto instance = StartedInstance(Config(channels, sizeof(Sample) == 8));
    ASSERT_TRUE(instance);
    const size_t frames = Total(sizes);
    const Stereo in = TestSignal(frames);
    Stereo got = Empty(frames), want = Empty(frames);
    ChopperReference ref(kRate);
    size_t start = 0;
    for (size_t k = 0; k < sizes.size(); ++k) {
      before(k, *instance, ref);
      ModuleBlock<Sample>(*instance, in, start, sizes[k], channels, got);
      ReferenceBlock(ref, in, start, sizes[k], channels, want);
      start += static_cast<size_t>(sizes[k]);
    }
    for (int c = 0; c < channels; ++c) {
      for (size_t i = 0; i < frames; ++i) {
        if (sizeof(Sample) == 8) {
          ASSERT_EQ(got[c][i], want[c][i]) << "channel " << c << " frame " << i;
        } else {
          // The same double computation, rounded once to single precision.
          ASSERT_EQ(static_cast<float>(got[c][i]), static_cast<float>(want[c][i])) << "channel " << c << " frame " << i;
        }
      }
    }
  }
};

const auto kNoChanges = [](size_t, host::PluginInstance&, ChopperReference&) {};

// FADE 16.25, CHOP 0.61 and DRY 0.3, set by the host with the first block.
const auto kSettings = [](size_t k, host::PluginInstance& instance, ChopperReference& ref) {
  if (k != 0) return;
  instance.QueueChange(0, 0.25);
  instance.QueueChange(1, 0.5);
  instance.QueueChange(2, 0.3);
  ref.fade = 5.0 + (50.0 - 5.0) * 0.25;
  ref.chop = 0.22 + (1.0 - 0.22) * 0.5;
  ref.dry = 0.0 + (1.0 - 0.0) * 0.3;
};

TEST_F(AudioTest, FirstFrameFollowsTheDocumentedCoefficients) {
  auto instance = StartedInstance(Config(2, true));
  ASSERT_TRUE(instance);
  double in0[1] = {1.0}, in1[1] = {1.0}, out0[1] = {0.0}, out1[1] = {0.0};
  double* ins[2] = {in0, in1};
  double* outs[2] = {out0, out1};
  ASSERT_EQ(instance->Process(ins, outs, 1), kResultOk);
  const double a = 0.9992878743953528;
  const double b = 1.0 - a;
  EXPECT_EQ(out0[0], b);
  EXPECT_EQ(out1[0], a * b + b);
}

TEST_F(AudioTest, Stereo64BitMatchesTheReferenceBitForBit) {
  Compare<double>(2, std::vector<int>(700, 64), kNoChanges);
  Compare<double>(2, MixedBlocks(), kSettings);
}

TEST_F(AudioTest, Stereo32BitMatchesWithinSinglePrecision) {
  Compare<float>(2, std::vector<int>(700, 64), kNoChanges);
  Compare<float>(2, MixedBlocks(), kSettings);
}

TEST_F(AudioTest, MonoIsChannelZeroOfTheStereoComputation) {
  Compare<double>(1, MixedBlocks(), kSettings);
  Compare<float>(1, std::vector<int>(300, 128), kSettings);
}

TEST_F(AudioTest, DryAtFullLevelAndOutputGain) {
  Compare<double>(2, std::vector<int>(400, 64), [](size_t k, host::PluginInstance& instance, ChopperReference& ref) {
    if (k != 0) return;
    instance.QueueChange(2, 1.0);
    instance.QueueChange(3, 0.0);
    ref.dry = 1.0;
    ref.gain = 0.31622776601683794;  // -10 dB
  });
}

TEST_F(AudioTest, EffectSwitchBYPassesThroughAndResumes) {
  Compare<double>(2, std::vector<int>(300, 64), [](size_t k, host::PluginInstance& instance, ChopperReference& ref) {
    if (k == 50 || k == 120) {
      const bool on = k == 50;
      instance.QueueChange(4, on ? 1.0 : 0.0);
      ref.effectBypass = on;
    }
  });
}

TEST_F(AudioTest, HostBypassCopiesInputAndLeavesTheEffectUntouched) {
  for (bool doublePrecision : {true, false}) {
    SCOPED_TRACE(doublePrecision ? "64-bit" : "32-bit");
    auto instance = StartedInstance(Config(2, doublePrecision));
    ASSERT_TRUE(instance);
    const std::vector<int> sizes(200, 64);
    const Stereo in = TestSignal(Total(sizes));
    Stereo got = Empty(in[0].size()), want = Empty(in[0].size());
    ChopperReference ref(kRate);
    size_t start = 0;
    size_t resumed = 0;
    for (size_t k = 0; k < sizes.size(); ++k) {
      if (k == 0) instance->QueueChange(kBypassId, 1.0);
      if (k == 100) {
        instance->QueueChange(kBypassId, 0.9, 0);
        instance->QueueChange(kBypassId, 0.5, 10);  // "off" from frame 10 of the block
        resumed = start + 10;
      }
      if (doublePrecision)
        ModuleBlock<double>(*instance, in, start, sizes[k], 2, got);
      else
        ModuleBlock<float>(*instance, in, start, sizes[k], 2, got);
      start += static_cast<size_t>(sizes[k]);
    }
    for (int c = 0; c < 2; ++c)
      for (size_t i = 0; i < resumed; ++i) ASSERT_EQ(got[c][i], in[c][i]) << "channel " << c << " frame " << i;
    // Bypassed blocks do not run the effect, so it resumes as if starting afresh.
    for (size_t s = resumed; s < in[0].size(); s += 64)
      ReferenceBlock(ref, in, s, static_cast<int>(std::min<size_t>(64, in[0].size() - s)), 2, want);
    for (int c = 0; c < 2; ++c)
      for (size_t i = resumed; i < in[0].size(); ++i)
        ASSERT_EQ(static_cast<float>(got[c][i]), static_cast<float>(want[c][i])) << "channel " << c << " frame " << i;
  }
}

// The host's block sizes do not change a single bit of the output: every
// partition, empty blocks included, gives the bytes of the 64-frame run.
TEST_F(AudioTest, EveryBlockPartitionGivesTheSameBytes) {
  std::vector<int> random;
  uint32_t seed = 99;
  for (int k = 0; k < 60; ++k) {
    seed = seed * 1664525u + 1013904223u;
    random.push_back(static_cast<int>(seed >> 19));  // 0 to 8191
  }
  const std::vector<std::vector<int>> partitions = {{1}, {17}, {512}, {4096}, {8192}, random};
  const size_t frames = 3 * 44100;
  for (bool doublePrecision : {true, false}) {
    SCOPED_TRACE(doublePrecision ? "64-bit" : "32-bit");
    const Stereo in = TestSignal(frames);
    auto render = [&](const std::vector<int>& sizes) {
      auto instance = StartedInstance(Config(2, doublePrecision));
      Stereo out = Empty(frames);
      if (!instance) return out;
      instance->QueueChange(1, 0.5);  // CHOP 0.61
      instance->QueueChange(2, 0.3);
      for (size_t start = 0, k = 0; start < frames; ++k) {
        const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(sizes[k % sizes.size()]), frames - start));
        if (doublePrecision)
          ModuleBlock<double>(*instance, in, start, n, 2, out);
        else
          ModuleBlock<float>(*instance, in, start, n, 2, out);
        start += static_cast<size_t>(n);
      }
      return out;
    };
    const Stereo base = render({64});
    for (const std::vector<int>& sizes : partitions) {
      const Stereo got = render(sizes);
      for (int c = 0; c < 2; ++c)
        ASSERT_EQ(std::memcmp(got[c].data(), base[c].data(), frames * sizeof(double)), 0)
            << "channel " << c << ", blocks of " << sizes[0] << (sizes.size() > 1 ? " (random)" : "");
    }
  }
}

TEST_F(AudioTest, InstancesKeepTheirOwnSmoother) {
  auto busy = StartedInstance(Config(2, true));
  ASSERT_TRUE(busy);
  const Stereo in = TestSignal(4096);
  Stereo scratch = Empty(4096);
  for (size_t s = 0; s < 4096; s += 512) ModuleBlock<double>(*busy, in, s, 512, 2, scratch);
  Compare<double>(2, std::vector<int>(50, 64), kNoChanges);
}

}  // namespace
}  // namespace vellox::test
