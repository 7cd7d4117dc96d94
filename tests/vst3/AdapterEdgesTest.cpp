// The adapter at the edges of what it accepts: the sample rates at its
// limits, points at and past a block's end, and a block holding exactly as
// many points as it has room for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "EffectRig.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Points = std::vector<std::pair<int, double>>;

constexpr int kAfter = 16;  // frames rendered after the block with the points

// Channel 0 of a block of `frames` frames carrying the OUTPUT points, then
// of a block of kAfter frames without points; constant input.
std::vector<double> InOneBlock(const Points& points, int frames) {
  EffectRig rig;
  rig.Setup(kSample64, frames);
  std::vector<double> rendered;
  for (int block : {frames, kAfter}) {
    FakeParamChanges changes;
    changes.Add(kVelloxOutput, block == frames ? points : Points{});
    HostBus<double> in(2, block, 0.5), out(2, block);
    ProcessData data = MakeProcessData(kSample64, block, &in.buffers, 1, &out.buffers, 1);
    data.inputParameterChanges = &changes;
    EXPECT_EQ(rig.Process(data), kResultOk);
    rendered.insert(rendered.end(), out.samples[0].begin(), out.samples[0].end());
  }
  return rendered;
}

// The same frames one frame per block, each point at the start of the frame
// it names; a point at or past the end of its block belongs to the frame
// after the block's last.
std::vector<double> FrameByFrame(const Points& points, int frames) {
  EffectRig rig;
  rig.Setup(kSample64, 1);
  std::vector<double> rendered;
  for (int f = 0; f < frames + kAfter; ++f) {
    Points here;
    for (const auto& [offset, value] : points)
      if (std::min(offset, frames) == f) here.emplace_back(0, value);
    FakeParamChanges changes;
    changes.Add(kVelloxOutput, here);
    HostBus<double> in(2, 1, 0.5), out(2, 1);
    ProcessData data = MakeProcessData(kSample64, 1, &in.buffers, 1, &out.buffers, 1);
    data.inputParameterChanges = &changes;
    EXPECT_EQ(rig.Process(data), kResultOk);
    rendered.push_back(out.samples[0][0]);
  }
  return rendered;
}

}  // namespace

TEST(AdapterEdges, SampleRatesAtTheLimitsAreAcceptedAndNoFurther) {
  const struct {
    double rate;
    bool accepted;
  } rows[] = {{IEffectVST3::kMinSampleRate, true},
              {IEffectVST3::kMaxSampleRate, true},
              {std::nextafter(IEffectVST3::kMinSampleRate, 0.0), false},
              {std::nextafter(IEffectVST3::kMaxSampleRate, 2e6), false}};
  for (const auto& row : rows) {
    EffectRig rig;
    rig.Setup(kSample64, 64, 48000.0);
    ProcessSetup setup{kRealtime, kSample64, 64, row.rate};
    EXPECT_EQ(rig.processor->setupProcessing(setup), row.accepted ? kResultOk : kResultFalse) << row.rate;
    EXPECT_EQ(rig.effect->SampleRate(), row.accepted ? row.rate : 48000.0) << row.rate;
  }
}

// A block's points act at their frames, whatever the host's partition: a
// ramp of exactly as many points as a block keeps, one point at the block's
// length and one past it (both act after the block's last frame).
TEST(AdapterEdges, PointsActAtTheirFramesForEveryPartition) {
  const int room = static_cast<int>(IEffectVST3::kMaxPoints);
  Points ramp;
  for (int p = 0; p < room; ++p) ramp.emplace_back(p, static_cast<double>(p) / (room - 1));
  const struct {
    const char* what;
    Points points;
    int frames;
  } rows[] = {{"a ramp filling the room", ramp, room},
              {"a point at the block's length", {{0, 0.25}, {64, 1.0}}, 64},
              {"a point past the block", {{10, 0.75}, {1000, 0.0}}, 64}};
  for (const auto& row : rows) {
    const std::vector<double> whole = InOneBlock(row.points, row.frames);
    const std::vector<double> single = FrameByFrame(row.points, row.frames);
    ASSERT_EQ(whole.size(), single.size()) << row.what;
    size_t firstDiffering = whole.size();
    for (size_t i = 0; i < whole.size() && firstDiffering == whole.size(); ++i)
      if (whole[i] != single[i]) firstDiffering = i;
    EXPECT_EQ(firstDiffering, whole.size()) << row.what;
  }
}
