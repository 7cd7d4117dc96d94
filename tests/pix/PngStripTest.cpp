// Filmstrips stored with their frames side by side decode with the frames
// stacked top to bottom, whichever way they are loaded.
#include <gtest/gtest.h>

#include <memory>

#include "PIX_DeferredPng.h"
#include "PIX_Png.h"
#include "PIX_PngDecode.h"
#include "PixTestUtil.h"
#include "PngWriter.h"

namespace {
constexpr int kFrameWidth = 5, kFrameHeight = 4;

// Pixel x, y of a frame, as stored bytes R, G, B, A and as the decoded word.
unsigned char Channel(int frame, int x, int y, int c) {
  const int values[4] = {frame * 40 + x, y * 7 + 1, x ^ frame, 255 - frame};
  return (unsigned char)values[c];
}
PixelWord Expected(int frame, int x, int y) {
  return Argb(Channel(frame, x, y, 3), Channel(frame, x, y, 0), Channel(frame, x, y, 1), Channel(frame, x, y, 2));
}

PngImage SideBySide(int frames, std::vector<std::vector<unsigned char>> chunks) {
  PngImage img;
  img.width = kFrameWidth * frames, img.height = kFrameHeight;
  for (int y = 0; y < kFrameHeight; ++y)
    for (int f = 0; f < frames; ++f)
      for (int x = 0; x < kFrameWidth; ++x)
        for (int c = 0; c < 4; ++c) img.rows.push_back(Channel(f, x, y, c));
  img.stripChunks = std::move(chunks);
  return img;
}

std::vector<unsigned char> Count(unsigned n) {
  return {(unsigned char)(n >> 24), (unsigned char)(n >> 16), (unsigned char)(n >> 8), (unsigned char)n};
}

void ExpectStacked(PIX_IBitmap* bm, int frames) {
  ASSERT_NE(bm, nullptr);
  ASSERT_NE(bm->PixelBits(), nullptr);
  ASSERT_EQ(bm->Width(), kFrameWidth);
  ASSERT_EQ(bm->Height(), kFrameHeight * frames);
  for (int f = 0; f < frames; ++f)
    for (int y = 0; y < kFrameHeight; ++y)
      for (int x = 0; x < kFrameWidth; ++x)
        ASSERT_EQ(Px(bm, x, f * kFrameHeight + y), Expected(f, x, y)) << "frame " << f << " at " << x << "," << y;
}
}  // namespace

TEST(PngStrip, FramesSideBySideComeBackStackedFromEveryLoader) {
  for (int frames : {1, 2, 3, 7}) {
    SCOPED_TRACE(frames);
    const std::vector<unsigned char> png = EncodePng(SideBySide(frames, {Count(frames)}));
    ASSERT_FALSE(png.empty());
    std::unique_ptr<PIX_MemBitmap> loaded(LoadPngFromMemory(png.data(), (int)png.size()));
    ExpectStacked(loaded.get(), frames);

    BottomUpBitmap target;
    PIX_PngSource source = {png.data(), (int)png.size(), nullptr, 0};
    ExpectStacked(DecodePngSource(&source, &target), frames);

    std::unique_ptr<PIX_DeferredPng> deferred(PIX_DeferredPng::Create(png.data(), (int)png.size()));
    ExpectStacked(deferred.get(), frames);
  }
}

TEST(PngStrip, WithoutTheChunkTheImageIsAsStored) {
  const std::vector<unsigned char> png = EncodePng(SideBySide(3, {}));
  std::unique_ptr<PIX_MemBitmap> loaded(LoadPngFromMemory(png.data(), (int)png.size()));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Width(), kFrameWidth * 3);
  EXPECT_EQ(loaded->Height(), kFrameHeight);
  EXPECT_EQ(Px(loaded.get(), kFrameWidth * 2 + 1, 3), Expected(2, 1, 3));
}

TEST(PngStrip, MalformedStripsDecodeToNothing) {
  struct Case {
    const char* what;
    std::vector<std::vector<unsigned char>> chunks;
    bool interlaced;
  };
  const Case cases[] = {
      {"no frames", {Count(0)}, false},
      {"frames that do not split the width", {Count(4)}, false},
      {"more frames than columns", {Count(kFrameWidth * 2 * 3)}, false},
      {"a short count", {{0, 0, 2}}, false},
      {"two counts", {Count(2), Count(2)}, false},
      {"interlaced rows", {Count(2)}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PngImage img = SideBySide(2, c.chunks);
    img.interlaced = c.interlaced;
    const std::vector<unsigned char> png = EncodePng(img);
    ASSERT_FALSE(png.empty());
    EXPECT_EQ(std::unique_ptr<PIX_MemBitmap>(LoadPngFromMemory(png.data(), (int)png.size())), nullptr);
    std::unique_ptr<PIX_DeferredPng> deferred(PIX_DeferredPng::Create(png.data(), (int)png.size()));
    if (deferred) {
      EXPECT_EQ(deferred->PixelBits(), nullptr);
    }
  }
}

TEST(PngStrip, StackedSizeRefusesWhatAnIntCannotHold) {
  int w = 0, h = 0;
  EXPECT_TRUE(StackedStripSize(12, 5, 4, &w, &h));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 20);
  EXPECT_FALSE(StackedStripSize(4, 0x40000000u, 4, &w, &h));
  EXPECT_FALSE(StackedStripSize(0x80000000u, 1, 1, &w, &h));
  EXPECT_FALSE(StackedStripSize(12, 5, 0, &w, &h));
}
