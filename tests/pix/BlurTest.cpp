#include <gtest/gtest.h>

#include <memory>

#include "PIX_Draw.h"
#include "PixTestUtil.h"

TEST(Blur, ThinRegionsAreLeftAlone) {
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(4, 4, 0));
  Px(bm.get(), 0, 0) = 0xFFFFFFFF;
  BlurBitmap(bm.get(), 1, 4);
  BlurBitmap(bm.get(), 4, 1);
  BlurBitmap(bm.get(), 0, 0);
  BlurBitmap(nullptr, 4, 4);
  EXPECT_EQ(Px(bm.get(), 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Px(bm.get(), 1, 0), 0u);
}

TEST(Blur, UniformMultiplesOfEightAreUnchanged) {
  for (int w : {2, 3, 17, 1100}) {
    std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(w, 5, 0x08F8A040));
    BlurBitmap(bm.get(), w, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(Px(bm.get(), x, y), 0x08F8A040u) << w << " " << x << " " << y;
  }
}

TEST(Blur, UsesPreBlurNeighbours) {
  // A single 0x80 byte in the middle of 3 x 3: its neighbours read its
  // original value even after it has been overwritten.
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(3, 3, 0));
  Px(bm.get(), 1, 1) = 0x80;
  BlurBitmap(bm.get(), 3, 3);
  EXPECT_EQ(Px(bm.get(), 1, 1), 0x40u);  // cur / 2
  EXPECT_EQ(Px(bm.get(), 1, 0), 0x20u);  // first row: next row / 4
  EXPECT_EQ(Px(bm.get(), 1, 2), 0x20u);  // last row: saved previous row / 4
  EXPECT_EQ(Px(bm.get(), 0, 1), 0x20u);  // first pixel: right / 4
  EXPECT_EQ(Px(bm.get(), 2, 1), 0x20u);  // last pixel: left / 4
  EXPECT_EQ(Px(bm.get(), 0, 0), 0u);
  EXPECT_EQ(Px(bm.get(), 2, 2), 0u);
}

TEST(Blur, InnerPixelWeights) {
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(5, 5, 0));
  Px(bm.get(), 2, 2) = 0x80808080;
  BlurBitmap(bm.get(), 5, 5);
  EXPECT_EQ(Px(bm.get(), 2, 1), 0x10101010u);  // inner row: next / 8
  EXPECT_EQ(Px(bm.get(), 2, 3), 0x10101010u);  // inner row: previous / 8
  EXPECT_EQ(Px(bm.get(), 1, 2), 0x10101010u);  // inner pixel: right / 8
  EXPECT_EQ(Px(bm.get(), 3, 2), 0x10101010u);  // inner pixel: left / 8
  EXPECT_EQ(Px(bm.get(), 1, 1), 0u);
}

TEST(Blur, RegionIsLimitedToBitmapAndWideRowsUseHeapBuffer) {
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(1200, 3, 0));
  Px(bm.get(), 1050, 1) = 0x80;
  BlurBitmap(bm.get(), 5000, 5000);
  EXPECT_EQ(Px(bm.get(), 1050, 1), 0x40u);
  EXPECT_EQ(Px(bm.get(), 1051, 1), 0x10u);
  EXPECT_EQ(Px(bm.get(), 1050, 2), 0x20u);

  std::unique_ptr<PIX_MemBitmap> part(FilledBitmap(4, 4, 0));
  Px(part.get(), 2, 0) = 0x80;
  BlurBitmap(part.get(), 2, 2);  // column 2 lies outside the region
  EXPECT_EQ(Px(part.get(), 2, 0), 0x80u);
  EXPECT_EQ(Px(part.get(), 1, 0), 0u);
}
