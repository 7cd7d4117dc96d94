// The cycle clock is exact to the frame: where the level switches depends
// only on the settings and the frame count, never on the host's blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "EffectHarness.h"

namespace {

struct Setting {
  double rate, chop, dry, fade;
};

// Frame indices at which the level turns to the dry level, read from the
// audio one frame at a time: with unit input and gain the second smoother
// step of a frame gives back target * b.
std::vector<long> DrySwitches(const Setting& s, long frames) {
  EffectHarness h;
  h.fx.SetSampleRate(s.rate);
  h.Set(kVelloxChop, s.chop);
  h.Set(kVelloxDry, 0.5);
  std::vector<long> switches;
  bool wasDry = false;
  for (long i = 0; i < frames; ++i) {
    h.Run(1);
    const bool dry = h.Level() < 0.75;
    if (dry && !wasDry) switches.push_back(i);
    wasDry = dry;
  }
  return switches;
}

// Both channels of a render cut into blocks of the given sizes, cycled.
std::vector<double> Render(const Setting& s, const std::vector<int>& sizes, size_t frames) {
  EffectHarness h;
  h.fx.SetSampleRate(s.rate);
  h.Set(kVelloxChop, s.chop);
  h.Set(kVelloxDry, s.dry);
  h.Set(kVelloxFade, s.fade);
  std::vector<double> in0(frames), in1(frames), out(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    in0[i] = std::sin(0.0123 * static_cast<double>(i));
    in1[i] = std::cos(0.0071 * static_cast<double>(i));
  }
  size_t at = 0;
  for (size_t k = 0; at < frames; ++k) {
    const size_t n = std::min(static_cast<size_t>(sizes[k % sizes.size()]), frames - at);
    double* ins[] = {in0.data() + at, in1.data() + at};
    double* outs[] = {out.data() + at, out.data() + frames + at};
    h.fx.ProcessBlock(ins, outs, static_cast<int>(n));
    at += n;
  }
  return out;
}

}  // namespace

TEST(ChopperClock, PeriodIsExactToTheFrame) {
  // {rate, chop}: cycles of chop - 0.1 s; 0.5 s at 48 kHz lands every
  // 19200 frames exactly, where a >/>= slip would add a frame.
  const Setting settings[] = {{48000, 0.5, 0, 5}, {44100, 0.22, 0, 5}, {96000, 1.0, 0, 5}, {8000, 0.37, 0, 5}};
  for (const Setting& s : settings) {
    SCOPED_TRACE(testing::Message() << "rate " << s.rate << " chop " << s.chop);
    const long cycle = std::lround((s.chop - 0.1) * s.rate);
    const std::vector<long> at = DrySwitches(s, 5 * cycle + 10);
    ASSERT_GE(at.size(), 4u);
    EXPECT_EQ(at[0], cycle);  // the first cycle starts from 0
    for (size_t i = 1; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], cycle);
  }
}

// A switch time that is a whole frame falls on that frame: CHOP in hundredths
// of a second puts the first chopped frame at (CHOP - 0.1 s) x rate exactly,
// also where that product is a few units in the last place off a whole
// frame ((0.27 - 0.1) x 44100 is 7497.000000000001). A value a host rounded
// to single precision lands on the same frame.
TEST(ChopperClock, SwitchesThatAreWholeFramesFallOnThem) {
  for (long rate : {44100L, 48000L, 96000L})
    for (long hundredths = 22; hundredths <= 100; hundredths += rate == 44100 ? 1 : 13) {
      const double chop = static_cast<double>(hundredths) / 100.0;
      const long first = (hundredths - 10) * rate / 100;
      const std::vector<long> at = DrySwitches({static_cast<double>(rate), chop, 0, 5}, first + 1);
      ASSERT_EQ(at.size(), 1u) << rate << " Hz, CHOP " << chop;
      EXPECT_EQ(at[0], first) << rate << " Hz, CHOP " << chop;
    }
  const std::vector<long> rounded = DrySwitches({44100, static_cast<double>(0.5f), 0, 5}, 17641);
  EXPECT_EQ(rounded, std::vector<long>{17640});
}

TEST(ChopperClock, PeriodsThatAreNotWholeFramesAverageOut) {
  const Setting s{44100, 0.2345678, 0, 5};
  const double cycle = (s.chop - 0.1) * s.rate;  // 5932.44 frames
  const std::vector<long> at = DrySwitches(s, 40 * 5933);
  ASSERT_GE(at.size(), 30u);
  for (size_t i = 1; i < at.size(); ++i) {
    EXPECT_GE(at[i] - at[i - 1], static_cast<long>(cycle));
    EXPECT_LE(at[i] - at[i - 1], static_cast<long>(cycle) + 1);
  }
  const double mean = static_cast<double>(at.back() - at.front()) / static_cast<double>(at.size() - 1);
  EXPECT_NEAR(mean, cycle, 1.0 / static_cast<double>(at.size() - 1));
}

TEST(ChopperClock, OutputIsTheSameForEveryBlockPartition) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> size(0, 9000);
  std::vector<int> random(200);
  for (int& n : random) n = size(rng);
  const std::vector<std::vector<int>> partitions = {{17}, {64}, {512}, {3000}, {4096}, {8192}, {19200}, random};
  const Setting settings[] = {
      {44100, 0.22, 0.0, 5}, {48000, 0.5, 0.3, 50}, {96000, 0.2345678, 0.7, 12.5}, {8000, 1.0, 1.0, 33}};
  for (const Setting& s : settings) {
    SCOPED_TRACE(testing::Message() << "rate " << s.rate << " chop " << s.chop);
    const size_t frames = static_cast<size_t>(3.2 * s.rate);
    const std::vector<double> single = Render(s, {1}, frames);
    for (const std::vector<int>& p : partitions) {
      const std::vector<double> out = Render(s, p, frames);
      ASSERT_EQ(std::memcmp(out.data(), single.data(), out.size() * sizeof(double)), 0)
          << "blocks of " << p[0] << (p.size() > 1 ? " (random)" : "");
    }
  }
}
