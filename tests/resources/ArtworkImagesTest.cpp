#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ArtworkTable.h"
#include "DecodedPng.h"
#include "EmbeddedArtwork.h"

namespace {

DecodedPng Decode(const ExpectedArtwork& expected) {
  int size = 0;
  const unsigned char* data = EmbeddedArtworkBytes(expected.id, &size);
  return DecodePng(data, size);
}

class ArtworkImage : public ::testing::TestWithParam<ExpectedArtwork> {};

std::string NameOf(const ::testing::TestParamInfo<ExpectedArtwork>& info) {
  return "Id" + std::to_string(info.param.id);
}

// Images drawn over the background: everything but the background itself.
std::vector<ExpectedArtwork> Strips() {
  std::vector<ExpectedArtwork> strips;
  for (const ExpectedArtwork& artwork : kExpectedArtwork) {
    if (artwork.id != 105) strips.push_back(artwork);
  }
  return strips;
}

}  // namespace

TEST_P(ArtworkImage, IsEightBitRgbaOfTheStatedSize) {
  const ExpectedArtwork& expected = GetParam();
  DecodedPng png = Decode(expected);
  ASSERT_TRUE(png.ok) << "bit depth " << png.bitDepth << ", colour type " << png.colorType;
  EXPECT_EQ(png.bitDepth, 8);
  EXPECT_EQ(png.colorType, 6);
  EXPECT_EQ(png.width, expected.width);
  EXPECT_EQ(png.height, expected.height);
  EXPECT_EQ(png.height % expected.frames, 0u) << "frames must split the height evenly";
  // Strips are stored with their frames side by side, which deflate packs
  // far tighter than frames stacked.
  EXPECT_EQ(png.framesSideBySide, uint32_t(expected.frames));
}

// The twin for high-density screens: the same frames at twice the size, each
// drawn at twice the resolution (not enlarged), so its pixels are finer.
TEST_P(ArtworkImage, HasATwinOfTwiceTheResolution) {
  const ExpectedArtwork& expected = GetParam();
  const EmbeddedArtwork* twin = FindEmbeddedArtwork(expected.id + 100);
  ASSERT_NE(twin, nullptr);
  EXPECT_EQ(std::string(twin->path), std::string(expected.path).insert(14, "2x/"));
  DecodedPng png = DecodePng(twin->data, twin->size);
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.colorType, 6);
  EXPECT_EQ(png.width, expected.width * 2);
  EXPECT_EQ(png.height, expected.height * 2);
  DecodedPng single = Decode(expected);
  int finer = 0;  // 2 x 2 blocks that are not one enlarged pixel
  for (uint32_t y = 0; y + 1 < png.height; y += 2)
    for (uint32_t x = 0; x + 1 < png.width; x += 2)
      finer += std::memcmp(png.Pixel(x, y), png.Pixel(x + 1, y + 1), 4) != 0 ||
               std::memcmp(png.Pixel(x + 1, y), png.Pixel(x, y + 1), 4) != 0;
  EXPECT_GT(finer, int(single.width + single.height)) << "the twin looks enlarged";
}

INSTANTIATE_TEST_SUITE_P(All, ArtworkImage, ::testing::ValuesIn(kExpectedArtwork), NameOf);

class ArtworkStrip : public ArtworkImage {};

TEST_P(ArtworkStrip, EveryFrameHasTransparentCornersAndAnOpaqueCentre) {
  const ExpectedArtwork& expected = GetParam();
  DecodedPng png = Decode(expected);
  ASSERT_TRUE(png.ok);
  const uint32_t frameHeight = png.height / expected.frames;
  const uint32_t right = png.width - 1;
  for (int frame = 0; frame < expected.frames; ++frame) {
    SCOPED_TRACE(frame);
    const uint32_t top = frame * frameHeight;
    const uint32_t bottom = top + frameHeight - 1;
    EXPECT_EQ(png.Alpha(0, top), 0);
    EXPECT_EQ(png.Alpha(right, top), 0);
    EXPECT_EQ(png.Alpha(0, bottom), 0);
    EXPECT_EQ(png.Alpha(right, bottom), 0);
    // Knob caps sit in the middle; the switch lever crosses its lower half.
    const uint32_t probeY = top + (expected.frames == 2 ? frameHeight * 2 / 3 : frameHeight / 2);
    EXPECT_EQ(png.Alpha(png.width / 2, probeY), 255);
  }
}

TEST_P(ArtworkStrip, NeighbouringFramesDiffer) {
  const ExpectedArtwork& expected = GetParam();
  DecodedPng png = Decode(expected);
  ASSERT_TRUE(png.ok);
  const size_t frameBytes = png.rgba.size() / expected.frames;
  for (int frame = 1; frame < expected.frames; ++frame) {
    const uint8_t* previous = png.rgba.data() + (frame - 1) * frameBytes;
    const uint8_t* current = previous + frameBytes;
    EXPECT_NE(std::memcmp(previous, current, frameBytes), 0) << "frames " << frame - 1 << " and " << frame;
  }
}

TEST_P(ArtworkStrip, FullyTransparentPixelsCarryNoColour) {
  // Straight alpha with clean edges: what cannot be seen is stored as zero, so
  // no colour fringe appears when the decoder or a blend ignores alpha.
  DecodedPng png = Decode(GetParam());
  ASSERT_TRUE(png.ok);
  size_t fringes = 0;
  for (size_t i = 0; i < png.rgba.size(); i += 4) {
    if (png.rgba[i + 3] == 0 && (png.rgba[i] | png.rgba[i + 1] | png.rgba[i + 2]) != 0) ++fringes;
  }
  EXPECT_EQ(fringes, 0u);
}

INSTANTIATE_TEST_SUITE_P(Drawn, ArtworkStrip, ::testing::ValuesIn(Strips()), NameOf);

TEST(ArtworkBackground, IsOpaqueEverywhere) {
  DecodedPng png = Decode(kExpectedArtwork[4]);
  ASSERT_TRUE(png.ok);
  size_t seeThrough = 0;
  for (size_t i = 3; i < png.rgba.size(); i += 4) seeThrough += png.rgba[i] != 255;
  EXPECT_EQ(seeThrough, 0u);
}

TEST(ArtworkAlpha, LightEdgesAreStoredUnpremultiplied) {
  // The lit switch lamp and the OUTPUT centre mark fade out over transparency.
  // Stored premultiplied, every channel would be at most alpha; straight alpha
  // keeps the full colour in at least some of those edge pixels.
  for (const ExpectedArtwork& expected : {kExpectedArtwork[3], kExpectedArtwork[5]}) {
    SCOPED_TRACE(expected.path);
    DecodedPng png = Decode(expected);
    ASSERT_TRUE(png.ok);
    size_t brighterThanAlpha = 0;
    for (size_t i = 0; i < png.rgba.size(); i += 4) {
      const uint8_t alpha = png.rgba[i + 3];
      const uint8_t brightest = std::max({png.rgba[i], png.rgba[i + 1], png.rgba[i + 2]});
      if (alpha > 0 && alpha < 255 && brightest > alpha) ++brighterThanAlpha;
    }
    EXPECT_GT(brighterThanAlpha, 0u);
  }
}

TEST(ArtworkSwitch, OnFrameIsBrighterThanOffFrame) {
  // The lit lamp and the coloured track make "on" clearly visible.
  DecodedPng png = Decode(kExpectedArtwork[3]);
  ASSERT_TRUE(png.ok);
  const size_t frameBytes = png.rgba.size() / 2;
  auto light = [&](size_t begin) {
    uint64_t sum = 0;
    for (size_t i = begin; i < begin + frameBytes; i += 4) {
      sum += uint64_t(png.rgba[i] + png.rgba[i + 1] + png.rgba[i + 2]) * png.rgba[i + 3];
    }
    return sum;
  };
  EXPECT_GT(light(frameBytes), light(0) * 3 / 2);
}
