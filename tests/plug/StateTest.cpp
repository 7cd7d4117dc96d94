#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "PlugTestSupport.h"
#include "StateChunk.h"

namespace {
// Three parameters with distinct ranges, so range limiting shows.
class StatePlug : public RecordingPlug {
public:
  explicit StatePlug(int nPresets = 1) : RecordingPlug("1-1", nPresets, 3) {
    GetParam(0)->Define("FADE", 5.0, 5.0, 50.0, 0.01);
    GetParam(1)->Define("DRY", 0.0, 0.0, 1.0, 0.01);
    GetParam(2)->Define("OUT", 1.5, -10.0, 10.0, 0.01);
  }
};
}  // namespace

TEST(StateChunk, StoresLittleEndianDoubles) {
  StateChunk chunk;
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(chunk.Data(), nullptr);
  ASSERT_TRUE(chunk.AppendDouble(5.0));
  const uint8_t five[8] = {0, 0, 0, 0, 0, 0, 0x14, 0x40};
  ASSERT_EQ(chunk.Size(), 8);
  EXPECT_EQ(std::memcmp(chunk.Data(), five, 8), 0);
  double v = 0;
  EXPECT_TRUE(chunk.ReadDouble(0, v));
  EXPECT_EQ(v, 5.0);
  EXPECT_FALSE(chunk.ReadDouble(1, v));
  EXPECT_FALSE(chunk.ReadDouble(-8, v));
  ASSERT_TRUE(chunk.Resize(3));
  EXPECT_EQ(chunk.Data()[2], 0);
  EXPECT_FALSE(chunk.Resize(-1));
  EXPECT_EQ(chunk.Size(), 3);
}

TEST(ParamState, SerializeRoundTripsEveryValue) {
  StatePlug plug;
  plug.GetParam(0)->SetValue(12.25);
  plug.GetParam(2)->SetValue(-3.5);
  StateChunk chunk;
  ASSERT_TRUE(plug.SerializeParams(chunk));
  ASSERT_EQ(chunk.Size(), 24);

  StatePlug other;
  plug.handled.clear();
  EXPECT_EQ(other.UnserializeParams(chunk, 0), 24);
  EXPECT_EQ(other.GetParam(0)->Value(), 12.25);
  EXPECT_EQ(other.GetParam(1)->Value(), 0.0);
  EXPECT_EQ(other.GetParam(2)->Value(), -3.5);
  EXPECT_EQ(other.handled, (std::vector<int>{0, 1, 2}));
}

TEST(ParamState, RestoreLimitsValuesToRange) {
  StatePlug plug;
  EXPECT_EQ(plug.UnserializeParams(ChunkOf({100.0, -1.0, 11.0}), 0), 24);
  EXPECT_EQ(plug.GetParam(0)->Value(), 50.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 10.0);
}

TEST(ParamState, NaNRestoresDefaultAndInfinityIsLimited) {
  StatePlug plug;
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(plug.UnserializeParams(ChunkOf({std::nan(""), inf, -inf}), 0), 24);
  EXPECT_EQ(plug.GetParam(0)->Value(), 5.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), -10.0);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(plug.GetParam(i)->Value()));
}

TEST(ParamState, PartialRestoreSetsTheRunOutParameterAndStops) {
  StatePlug plug;
  plug.GetParam(2)->SetValue(4.0);
  // From byte 8 only two values remain: they land on 0 and 1, parameter 2 runs out.
  EXPECT_EQ(plug.UnserializeParams(ChunkOf({20.0, 30.0, 0.5}), 8), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 30.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 0.5);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.0);  // 0.0 limited to -10..10
  EXPECT_EQ(plug.handled, (std::vector<int>{0, 1, 2}));
}

TEST(ParamState, EmptyChunkSetsFirstToLimitedZeroOnly) {
  StatePlug plug;
  plug.GetParam(0)->SetValue(20.0);
  plug.GetParam(1)->SetValue(0.5);
  EXPECT_EQ(plug.UnserializeParams(StateChunk(), 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 5.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 0.5);
  EXPECT_EQ(plug.handled, (std::vector<int>{0, 1, 2}));
  // A negative start reads nothing and still lets every handler run.
  plug.handled.clear();
  EXPECT_EQ(plug.UnserializeParams(ChunkOf({6.0, 0.1, 0.0}), -5), -5);
  EXPECT_EQ(plug.GetParam(0)->Value(), 5.0);
  EXPECT_EQ(plug.handled.size(), 3u);
}

TEST(ParamState, ParamsMatchComparesInSinglePrecision) {
  StatePlug plug;
  const double same[] = {99.0, 5.0, 0.0, 1.5};
  EXPECT_TRUE(plug.ParamsMatch(same, 1));
  const double close[] = {5.0 + 1e-7, 0.0, 1.5};
  EXPECT_TRUE(plug.ParamsMatch(close, 0));
  const double off[] = {5.0, 0.001, 1.5};
  EXPECT_FALSE(plug.ParamsMatch(off, 0));
}

TEST(Presets, CaptureFillsFirstFreePresetOnly) {
  StatePlug plug(2);
  plug.CaptureFreePreset("-");
  EXPECT_TRUE(plug.PresetInitialised(0));
  EXPECT_STREQ(plug.PresetName(0), "-");
  EXPECT_EQ(plug.GetPreset(0)->values.Size(), 24);
  EXPECT_FALSE(plug.PresetInitialised(1));
  plug.CaptureFreePreset("second");
  plug.CaptureFreePreset("third");
  EXPECT_STREQ(plug.PresetName(1), "second");
}

TEST(Presets, LoadRestoresCapturedValues) {
  StatePlug plug(2);
  plug.CaptureFreePreset("-");
  plug.GetParam(0)->SetValue(40.0);
  plug.handled.clear();
  EXPECT_TRUE(plug.LoadPreset(0));
  EXPECT_EQ(plug.GetParam(0)->Value(), 5.0);
  EXPECT_EQ(plug.handled, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(plug.presetLoads, 1);
  EXPECT_FALSE(plug.LoadPreset(2));
  EXPECT_FALSE(plug.LoadPreset(-1));
  EXPECT_EQ(plug.CurrentPresetIndex(), 0);
  EXPECT_STREQ(plug.PresetName(5), "");
}

TEST(Presets, LoadingAnEmptyPresetCapturesAndNamesIt) {
  EditorLog log;  // outlives the plug-in, whose editor writes to it when deleted
  StatePlug plug(3);
  plug.BindGraphics(new FakeEditor(log));
  log.calls.clear();
  plug.GetParam(0)->SetValue(7.0);
  EXPECT_TRUE(plug.LoadPreset(1));
  EXPECT_STREQ(plug.PresetName(1), "user preset 1");
  EXPECT_EQ(plug.CurrentPresetIndex(), 1);
  EXPECT_EQ(log.calls.size(), 3u);  // controls refreshed with every value
  EXPECT_TRUE(plug.LoadPreset(2));
  EXPECT_STREQ(plug.PresetName(2), "user preset 2");
  plug.GetParam(0)->SetValue(9.0);
  EXPECT_TRUE(plug.LoadPreset(1));
  EXPECT_STREQ(plug.PresetName(1), "user preset 1");
  EXPECT_EQ(plug.GetParam(0)->Value(), 7.0);
}

TEST(Presets, UserPresetNumberCountsEveryNameContainingTheWords) {
  StatePlug plug(4);
  plug.CaptureFreePreset("old user preset");
  plug.CaptureFreePreset("User Preset");  // other case: not counted
  EXPECT_TRUE(plug.LoadPreset(3));
  EXPECT_STREQ(plug.PresetName(3), "user preset 2");
  EXPECT_TRUE(plug.LoadPreset(2));
  EXPECT_STREQ(plug.PresetName(2), "user preset 3");
  EXPECT_STREQ(plug.PresetName(0), "old user preset");
}

// A restored stepped value lands where the same figure from a host does.
TEST(ParamState, SteppedValuesRestoreAsAHostFigureSetsThem) {
  for (int k = -20; k <= 320; ++k) {
    const double plain = k / 20.0;  // -1 .. 16 in twentieths, ties included
    RecordingPlug restored("1-1", 1, 2), fromHost("1-1", 1, 2);
    for (RecordingPlug* plug : {&restored, &fromHost})
      for (int i = 0; i < 2; ++i) {
        plug->GetParam(i)->SetType(kParamInteger);
        plug->GetParam(i)->Define(i ? "LIST" : "SWITCH", i ? 8.0 : 0.0, 0.0, i ? 14.0 : 1.0, 1.0);
      }
    if (fromHost.GetParam(1)->FromNormalized(plain / 14.0) != plain) continue;  // the figure must map back exactly
    restored.UnserializeParams(ChunkOf({plain / 14.0, plain}), 0);
    for (int i = 0; i < 2; ++i) {
      fromHost.GetParam(i)->SetFromNormalized(plain / 14.0);
      EXPECT_EQ(restored.GetParam(i)->Value(), fromHost.GetParam(i)->Value()) << i << " at " << plain;
    }
  }
}
