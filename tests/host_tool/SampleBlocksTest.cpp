// The render loop's per-sample work against plain loops, for every channel
// count and any partition into pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "sample_blocks.h"

namespace vellox::cli {
namespace {

template <class Sample>
void CheckAgainstPlainLoops(size_t channels, std::mt19937& random) {
  std::uniform_real_distribution<double> level(-1.6, 1.6);
  const Sample odd[] = {std::numeric_limits<Sample>::quiet_NaN(), 1, -1, -Sample(0)};
  const size_t frames = 1000 + channels;
  std::vector<Sample> in(frames * channels), back(in.size());
  std::vector<std::vector<Sample>> planar(channels, std::vector<Sample>(frames)), expected = planar;
  Levels plain, levels;
  for (size_t i = 0; i < in.size(); ++i) {
    const unsigned pick = random() % 40;
    in[i] = expected[i % channels][i / channels] = pick < 4 ? odd[pick] : static_cast<Sample>(level(random));
    if (std::isnan(in[i])) continue;
    plain.peak = std::max(plain.peak, static_cast<double>(std::fabs(in[i])));
    plain.overs += std::fabs(in[i]) > 1;
  }
  for (size_t start = 0, piece = 1; start < frames; start += piece, piece = piece * 3 % 257 + 1) {
    const size_t count = std::min(piece, frames - start);
    std::vector<Sample*> at;
    for (auto& channel : planar) at.push_back(channel.data() + start);
    Deinterleave(in.data() + start * channels, count, channels, at.data());
    Interleave(at.data(), count, channels, back.data() + start * channels);
    MeasureLevels(in.data() + start * channels, count * channels, levels);
  }
  for (size_t c = 0; c < channels; ++c)
    EXPECT_EQ(0, std::memcmp(planar[c].data(), expected[c].data(), frames * sizeof(Sample))) << c;
  EXPECT_EQ(0, std::memcmp(back.data(), in.data(), back.size() * sizeof(Sample)));
  EXPECT_EQ(levels.peak, plain.peak);
  EXPECT_EQ(levels.overs, plain.overs);
}

TEST(SampleBlocksTest, MatchPlainLoopsForEveryChannelCountAndPartition) {
  std::mt19937 random(7);
  for (size_t channels : {1, 2, 3, 6}) {
    CheckAgainstPlainLoops<float>(channels, random);
    CheckAgainstPlainLoops<double>(channels, random);
  }
}

}  // namespace
}  // namespace vellox::cli
