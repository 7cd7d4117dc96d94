#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "EffectHarness.h"

TEST(ChopperProcess, CoefficientsAndFirstFrameAt44100) {
  EffectHarness h;
  h.Run(1, 0.75, -0.5);
  const ChopperSmoother& s = h.fx.Chopper().smoother;
  EXPECT_EQ(s.a, 0.9992878743953528);
  EXPECT_EQ(s.b, 0.0007121256046471736);
  EXPECT_EQ(h.out0[0], s.b * 0.75);
  EXPECT_EQ(h.out1[0], (s.a * s.b + s.b) * -0.5);
}

TEST(ChopperProcess, FadesInFromSilence) {
  EffectHarness h;
  h.Run(64);
  EXPECT_GT(h.out0[0], 0.0);
  for (size_t i = 1; i < h.out0.size(); ++i) {
    EXPECT_GT(h.out1[i - 1], h.out0[i - 1]);
    EXPECT_GT(h.out0[i], h.out1[i - 1]);
  }
  EXPECT_LT(h.out1.back(), 0.2);
}

TEST(ChopperProcess, CycleTimingWith64FrameBlocks) {
  EffectHarness h;
  h.Set(kVelloxDry, 0.5);
  const double block = 64.0 / 44100.0;
  std::vector<std::pair<double, double>> runs;  // (level, seconds)
  for (int n = 0; n < 700; ++n) {               // about one second
    h.Run(64);
    const double level = h.Level();
    if (runs.empty() || runs.back().first != level) runs.emplace_back(level, 0.0);
    runs.back().second += block;
  }
  ASSERT_GE(runs.size(), 10u);
  EXPECT_EQ(runs[0].first, 1.0);
  EXPECT_NEAR(runs[0].second, 0.12, block);  // first cycle starts from 0
  for (size_t i = 1; i + 1 < runs.size(); ++i) {
    const bool dry = runs[i].first == 0.5;
    EXPECT_TRUE(dry || runs[i].first == 1.0);
    EXPECT_NEAR(runs[i].second, dry ? 0.1 : 0.02, block) << "run " << i;
    if (i + 2 < runs.size()) {
      EXPECT_NEAR(runs[i].second + runs[i + 1].second, 0.12, block);
    }
  }
}

TEST(ChopperProcess, SettlesOnEachLevel) {
  EffectHarness h;
  h.Set(kVelloxFade, 50.0);
  h.Set(kVelloxDry, 0.5);
  double lastFull = 0.0;
  double lastDry = 0.0;
  h.Run(64);
  for (int n = 0; n < 300; ++n) {
    const double level = h.Level();
    const double phaseEnd = h.out0.back();
    h.Run(64);
    if (h.Level() != level) (level == 1.0 ? lastFull : lastDry) = phaseEnd;
  }
  // The 0.1 s dry phase settles fully; the 0.02 s full phase nearly so.
  EXPECT_NEAR(lastDry, 0.5, 1e-12);
  EXPECT_GT(lastFull, 0.99);
}

// Long host blocks used to outrun the cycle and leave the effect at the dry
// level for good; the clock now switches inside the block.
TEST(ChopperProcess, BlocksLongerThanACycleStillChop) {
  EffectHarness h;
  h.Set(kVelloxFade, 50.0);
  h.Run(8192);
  for (int n = 0; n < 20; ++n) {
    h.Run(8192);
    const auto loud = std::count_if(h.out0.begin(), h.out0.end(), [](double v) { return v > 0.9; });
    const auto quiet = std::count_if(h.out0.begin(), h.out0.end(), [](double v) { return v < 0.01; });
    EXPECT_GT(loud, 0) << "block " << n;
    EXPECT_GT(quiet, 4000) << "block " << n;  // 0.1 s of every 0.12 s
  }
}

TEST(ChopperProcess, DryEntersInSinglePrecision) {
  EffectHarness h;
  h.Set(kVelloxFade, 50.0);
  h.Set(kVelloxDry, 0.3);
  do h.Run(64);
  while (h.Level() == 1.0);
  EXPECT_NEAR(h.RawLevel(), 0.30000001192092896, 1e-10);
  for (int n = 0; n < 60; ++n) h.Run(64);  // most of the 0.1 s dry phase
  EXPECT_NEAR(h.RawLevel(), 0.30000001192092896, 1e-10);
  EXPECT_NEAR(h.out0.back(), 0.30000001192092896, 1e-12);
  EXPECT_GT(std::fabs(h.out0.back() - 0.3), 1e-8);
}

TEST(ChopperProcess, OutputGainOnSettledFullLevel) {
  EffectHarness h;
  h.Set(kVelloxFade, 50.0);
  h.Set(kVelloxDry, 1.0);  // both levels 1.0: a pure gain stage once settled
  h.Set(kVelloxOutput, -10.0);
  for (int n = 0; n < 20; ++n) h.Run(4410, 0.5, -0.25);
  EXPECT_NEAR(h.out0.back() / 0.5, 0.31622776601683794, 1e-12);
  EXPECT_NEAR(h.out1.back() / -0.25, 0.31622776601683794, 1e-12);
  h.Set(kVelloxOutput, 10.0);
  h.Run(64, 0.5, 0.5);
  EXPECT_NEAR(h.out0.back() / 0.5, 3.1622776601683795, 1e-12);
}

TEST(ChopperProcess, BypassPassesBitsAndHoldsSmoother) {
  EffectHarness h;
  h.Run(100);
  const ChopperState before = h.fx.Chopper();
  h.Set(kVelloxBy, 1.0);
  h.Set(kVelloxOutput, 6.0);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  std::vector<double> a(256), b(256), oa(256), ob(256);
  for (size_t i = 0; i < a.size(); ++i) {
    a[i] = dist(rng);
    b[i] = dist(rng);
  }
  double* ins[] = {a.data(), b.data()};
  double* outs[] = {oa.data(), ob.data()};
  h.fx.ProcessBlock(ins, outs, 256);
  EXPECT_EQ(std::memcmp(a.data(), oa.data(), 256 * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(b.data(), ob.data(), 256 * sizeof(double)), 0);
  EXPECT_EQ(h.fx.Chopper().smoother.z, before.smoother.z);

  h.Set(kVelloxBy, 0.0);
  h.Run(1, 1.0, 1.0);
  const ChopperState& s = h.fx.Chopper();
  const double target = 1.0;  // 357 frames into the first cycle: full level
  const double z1 = s.smoother.a * before.smoother.z + target * s.smoother.b;
  EXPECT_EQ(h.out0[0], (z1 * 1.0) * s.settings.outputGain);
}

TEST(ChopperProcess, MonoEqualsChannelZeroOfStereo) {
  EffectHarness stereo;
  TestEffect mono;
  mono.LoadPreset(0);
  mono.ChangeBlockSize(128);
  mono.DisconnectAllChannels();
  std::vector<double> x(128), left(128), right(128), monoOut(128);
  for (size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.05 * static_cast<double>(i));
  mono.SetInputConnected(0, true);
  mono.SetOutputConnected(0, true);
  mono.SetInputPointer(0, x.data());
  mono.SetOutputPointer(0, monoOut.data());
  std::vector<double> other(128, 0.9);
  double* ins[] = {x.data(), other.data()};
  double* outs[] = {left.data(), right.data()};
  for (int n = 0; n < 10; ++n) {
    stereo.fx.ProcessBlock(ins, outs, 128);
    mono.ProcessBlock(mono.InputPointers(), mono.OutputPointers(), 128);
    ASSERT_EQ(std::memcmp(left.data(), monoOut.data(), 128 * sizeof(double)), 0) << "block " << n;
  }
}

TEST(ChopperProcess, EmptyBlockWritesNothingAndKeepsTheClock) {
  EffectHarness h;
  h.Set(kVelloxChop, 1.0);
  for (int n = 0; n < 3; ++n) h.Run(4410);  // 0.3 s into a 1 s cycle
  const ChopperState before = h.fx.Chopper();
  h.Set(kVelloxChop, 0.22);
  double sentinel = 42.0;
  double* ins[] = {&sentinel, &sentinel};
  double* outs[] = {&sentinel, &sentinel};
  h.fx.ProcessBlock(ins, outs, 0);
  EXPECT_EQ(sentinel, 42.0);
  EXPECT_EQ(h.fx.Chopper().free.base, before.free.base);
  EXPECT_EQ(h.fx.Chopper().free.count, before.free.count);
  EXPECT_EQ(h.fx.Chopper().smoother.z, before.smoother.z);
  // The shorter cycle takes over with the next frame: past its end, it wraps
  // to 0.3 - 0.12 s, in its chopped phase, which ends 0.04 s (1764 frames) on.
  h.Run(1);
  EXPECT_EQ(h.Level(), 0.0);
  h.Run(1763);
  EXPECT_EQ(h.Level(), 0.0);
  h.Run(1);
  EXPECT_EQ(h.Level(), 1.0);
}
