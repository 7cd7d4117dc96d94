// The adapter at the edges of what it accepts: sample rates at its limits,
// points at and past a block's end, a block exactly full of points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "EffectRig.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Points = std::vector<std::pair<int, double>>;

// Channel 0 of `frames` frames carrying the OUTPUT points then 16 without,
// constant input, in one block or one frame per block; frame by frame a point
// acts at the start of its frame, one at or past the block's end after its last.
std::vector<double> Rendered(const Points& points, int frames, bool frameByFrame) {
  EffectRig rig;
  rig.Setup(kSample64, frameByFrame ? 1 : frames);
  const std::vector<int> blocks = frameByFrame ? std::vector<int>(frames + 16, 1) : std::vector<int>{frames, 16};
  std::vector<double> rendered;
  for (int block : blocks) {
    const int start = static_cast<int>(rendered.size());
    Points here;
    for (const auto& [offset, value] : points)
      if (frameByFrame ? std::min(offset, frames) == start : start == 0)
        here.emplace_back(frameByFrame ? 0 : offset, value);
    FakeParamChanges changes;
    changes.Add(kVelloxOutput, here);
    HostBus<double> in(2, block, 0.5), out(2, block);
    ProcessData data = MakeProcessData(kSample64, block, &in.buffers, 1, &out.buffers, 1);
    data.inputParameterChanges = &changes;
    EXPECT_EQ(rig.Process(data), kResultOk);
    rendered.insert(rendered.end(), out.samples[0].begin(), out.samples[0].end());
  }
  return rendered;
}

}  // namespace

TEST(AdapterEdges, SampleRatesAtTheLimitsAreAcceptedAndNoFurther) {
  for (double rate :
       {IEffectVST3::kMinSampleRate, IEffectVST3::kMaxSampleRate, std::nextafter(IEffectVST3::kMinSampleRate, 0.0),
        std::nextafter(IEffectVST3::kMaxSampleRate, 2e6)}) {
    const bool accepted = rate >= IEffectVST3::kMinSampleRate && rate <= IEffectVST3::kMaxSampleRate;
    EffectRig rig;
    rig.Setup(kSample64, 64, 48000.0);
    ProcessSetup setup{kRealtime, kSample64, 64, rate};
    EXPECT_EQ(rig.processor->setupProcessing(setup), accepted ? kResultOk : kResultFalse) << rate;
    EXPECT_EQ(rig.effect->SampleRate(), accepted ? rate : 48000.0) << rate;
  }
}

// Points act at their frames whatever the partition: a ramp exactly filling
// the room, a point at the block's length and one past it.
TEST(AdapterEdges, PointsActAtTheirFramesForEveryPartition) {
  const int room = static_cast<int>(IEffectVST3::kMaxPoints);
  Points ramp;
  for (int p = 0; p < room; ++p) ramp.emplace_back(p, static_cast<double>(p) / (room - 1));
  const struct {
    Points points;
    int frames;
  } rows[] = {{ramp, room}, {{{0, 0.25}, {64, 1.0}}, 64}, {{{10, 0.75}, {1000, 0.0}}, 64}};
  for (const auto& row : rows)
    EXPECT_EQ(Rendered(row.points, row.frames, false), Rendered(row.points, row.frames, true)) << row.frames;
}
