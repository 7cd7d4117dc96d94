#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "PlugTestSupport.h"
#include "EffectHarness.h"
#include "StateChunk.h"

namespace {
constexpr int kStateBytes = 8 * kVelloxNumParams;

// The first seven values as given, the pattern's at their defaults.
StateChunk WithPatternDefaults(std::initializer_list<double> first) {
  StateChunk chunk = ChunkOf(first);
  TestEffect fx;
  for (int i = kVelloxPattern; i < kVelloxNumParams; ++i) chunk.AppendDouble(fx.GetParam(i)->Default());
  return chunk;
}
}  // namespace

TEST(EffectState, DefaultsSerializeToFiftySixBytes) {
  TestEffect fx;
  StateChunk chunk;
  ASSERT_TRUE(fx.SerializeParams(chunk));
  ASSERT_EQ(chunk.Size(), kStateBytes);
  uint8_t want[40] = {0, 0, 0, 0, 0, 0, 0x14, 0x40, 0x29, 0x5C, 0x8F, 0xC2, 0xF5, 0x28, 0xCC, 0x3F};
  EXPECT_EQ(std::memcmp(chunk.Data(), want, 40), 0);
  EXPECT_EQ(fx.GetPreset(0)->values.Size(), kStateBytes);
  EXPECT_EQ(std::memcmp(fx.GetPreset(0)->values.Data(), want, 40), 0);
}

TEST(EffectState, RoundTripReachesDerivedState) {
  EffectHarness source;
  source.Set(kVelloxFade, 20.0);
  source.Set(kVelloxDry, 0.4);
  source.Set(kVelloxOutput, -6.0);
  StateChunk chunk;
  ASSERT_TRUE(source.fx.SerializeParams(chunk));
  EffectHarness target;
  EXPECT_EQ(target.fx.UnserializeParams(chunk, 0), kStateBytes);
  EXPECT_EQ(target.fx.Chopper().settings.fadeRate, 20.0);
  EXPECT_EQ(target.fx.Chopper().settings.dryLevel, 0.4);
  EXPECT_EQ(target.fx.Chopper().settings.outputGain, source.fx.Chopper().settings.outputGain);
}

TEST(EffectState, RestoreFromByteEightRunsOut) {
  EffectHarness h;
  h.Set(kVelloxBy, 1.0);
  StateChunk chunk;
  h.fx.SerializeParams(chunk);
  EXPECT_EQ(h.fx.UnserializeParams(chunk, 8), -1);
  EXPECT_EQ(h.fx.GetParam(kVelloxFade)->Value(), 5.0);    // 0.22 limited
  EXPECT_EQ(h.fx.GetParam(kVelloxChop)->Value(), 0.22);   // 0.0 limited
  EXPECT_EQ(h.fx.GetParam(kVelloxOutput)->Value(), 1.0);  // BY's 1.0
  EXPECT_EQ(h.fx.GetParam(kVelloxBy)->Value(), 0.0);
}

TEST(EffectState, RestoreLimitsAndEmptyChunk) {
  EffectHarness h;
  EXPECT_EQ(h.fx.UnserializeParams(WithPatternDefaults({100.0, 0.5, -1.0, 3.0, 0.0, 0.0, 8.0}), 0), kStateBytes);
  EXPECT_EQ(h.fx.GetParam(kVelloxFade)->Value(), 50.0);
  EXPECT_EQ(h.fx.GetParam(kVelloxDry)->Value(), 0.0);
  EXPECT_EQ(h.fx.Chopper().settings.fadeRate, 50.0);

  EXPECT_EQ(h.fx.UnserializeParams(StateChunk(), 0), -1);
  EXPECT_EQ(h.fx.GetParam(kVelloxFade)->Value(), 5.0);
  EXPECT_EQ(h.fx.GetParam(kVelloxChop)->Value(), 0.5);
  EXPECT_EQ(h.fx.GetParam(kVelloxOutput)->Value(), 3.0);
  EXPECT_EQ(h.fx.Chopper().settings.fadeRate, 5.0);
  EXPECT_EQ(h.fx.Chopper().settings.chopPeriod, 0.5);
}

TEST(EffectState, NonFiniteValuesNeverReachTheAudio) {
  EffectHarness h;
  h.Set(kVelloxOutput, 4.0);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(h.fx.UnserializeParams(WithPatternDefaults({inf, -inf, std::nan(""), std::nan(""), inf, inf, -inf}), 0),
            kStateBytes);
  const ChopperSettings& s = h.fx.Chopper().settings;
  EXPECT_EQ(s.fadeRate, 50.0);
  EXPECT_EQ(s.chopPeriod, 0.22);
  EXPECT_EQ(s.dryLevel, 0.0);
  EXPECT_EQ(s.outputGain, 1.0);  // OUTPUT back to its 0 dB default
  EXPECT_EQ(h.fx.GetParam(kVelloxBy)->Value(), 1.0);
  h.Set(kVelloxBy, 0.0);
  h.Run(512);
  for (double v : h.out0) ASSERT_TRUE(std::isfinite(v));
}

TEST(EffectState, LoadPresetZeroRestoresDefaults) {
  EffectHarness h;
  h.Set(kVelloxFade, 30.0);
  h.Set(kVelloxOutput, -4.0);
  EXPECT_TRUE(h.fx.LoadPreset(0));
  EXPECT_EQ(h.fx.GetParam(kVelloxFade)->Value(), 5.0);
  EXPECT_EQ(h.fx.Chopper().settings.outputGain, 1.0);
  EXPECT_FALSE(h.fx.LoadPreset(kVelloxFactoryPresets));
  EXPECT_STREQ(h.fx.PresetName(0), "Default");
}

TEST(EffectState, EditorChangeWaitsForTheAudioLock) {
  EffectHarness h;
  std::atomic<bool> done{false};
  h.fx.Mutex().Lock();  // as the processing call holds it for a block
  std::thread editor([&] {
    h.fx.SetParamFromEditor(kVelloxOutput, 1.0);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(done.load());
  EXPECT_EQ(h.fx.Chopper().settings.outputGain, 1.0);
  h.fx.Mutex().Unlock();
  editor.join();
  EXPECT_TRUE(done.load());
  EXPECT_EQ(h.fx.Chopper().settings.outputGain, 3.1622776601683795);
}
