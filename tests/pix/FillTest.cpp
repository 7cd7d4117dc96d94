#include <gtest/gtest.h>

#include <memory>

#include "PIX_Blit.h"
#include "PIX_Draw.h"
#include "PixTestUtil.h"

namespace {
PixelWord FillOne(PixelWord dest, PixelWord colour, float alpha, int mode) {
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(1, 1, dest));
  FillRect(bm.get(), 0, 0, 1, 1, colour, alpha, mode);
  return Px(bm.get(), 0, 0);
}
}  // namespace

TEST(Fill, ClipsNegativeStart) {
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(6, 4, 0));
  FillRect(bm.get(), -2, -1, 5, 3, 0xFFFFFFFF, 1.0f, ModeCopy);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Px(bm.get(), x, y), (x <= 2 && y <= 1) ? 0xFFFFFFFFu : 0u) << x << y;
}

TEST(Fill, ClipsAtFarEdgesAndIgnoresEmpty) {
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(4, 4, 0));
  FillRect(bm.get(), 3, 3, 100, 100, 0x01010101, 1.0f, ModeCopy);
  FillRect(bm.get(), 4, 0, 1, 1, 0xFFFFFFFF, 1.0f, ModeCopy);
  FillRect(bm.get(), -5, 0, 5, 1, 0xFFFFFFFF, 1.0f, ModeCopy);
  FillRect(bm.get(), 0, 0, 1, 1, 0xFFFFFFFF, 0.0f, ModeCopy);
  FillRect(nullptr, 0, 0, 1, 1, 0xFFFFFFFF, 1.0f, ModeCopy);
  int touched = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) touched += Px(bm.get(), x, y) != 0;
  EXPECT_EQ(touched, 1);
  EXPECT_EQ(Px(bm.get(), 3, 3), 0x01010101u);
}

TEST(Fill, PlainCopyAtExactWeights) {
  EXPECT_EQ(FillOne(0x12345678, 0x80FF4020, 1.0f, ModeCopy), 0x80FF4020u);
  EXPECT_EQ(FillOne(0x00000000, 0xFF808080, 0.5f, ModeCopy), 0x7F404040u);
  // w = 64: d/2 + d/4 + c/4; w = 192: d/4 + c/4 + c/2, per byte.
  EXPECT_EQ(FillOne(0x80808080, 0xFFFFFFFF, 0.25f, ModeCopy), 0x9F9F9F9Fu);
  EXPECT_EQ(FillOne(0x80808080, 0xFFFFFFFF, 0.75f, ModeCopy), 0xDEDEDEDEu);
}

TEST(Fill, PlainCopyAtOtherWeightsMovesAlphaTowardWeight) {
  // w = 76: colour 100 + (0 - 100) * 180 / 256 = 30, 200 -> 60; alpha 76 - 53 = 23.
  EXPECT_EQ(FillOne(0x00000000, Argb(255, 200, 0, 100), 0.3f, ModeCopy), Argb(23, 60, 0, 30));
}

TEST(Fill, SourceAlphaScalesWeight) {
  EXPECT_EQ(FillOne(0x11223344, 0x00FFFFFF, 1.0f, ModeUseSourceAlpha), 0x11223344u);
  // Colour alpha 128 makes w = 128, which takes the word-halving path.
  EXPECT_EQ(FillOne(0x00000000, 0x80FF0000, 1.0f, ModeUseSourceAlpha), 0x407F0000u);
}

TEST(Fill, OtherModesUseWeightAsSourceAlpha) {
  // Add at w = 128: 16 + 255 * 128 / 256 = 143, 16 + 128 * 128 / 256 = 80; alpha 16 + 128 * 128 / 256.
  EXPECT_EQ(FillOne(0x10101010, 0x00FF8000, 0.5f, ModeAdd), Argb(80, 143, 80, 16));
  // Multiply at w = 256: colour bytes d * c / 256, alpha unchanged.
  EXPECT_EQ(FillOne(Argb(77, 200, 100, 50), Argb(0, 128, 255, 0), 1.0f, ModeMultiply), Argb(77, 100, 99, 0));
  // Overlay with black at w = 256: d * d / 256 on colour; alpha uses s = 256.
  EXPECT_EQ(FillOne(0x80808080, 0x00000000, 1.0f, ModeOverlay), Argb(192, 64, 64, 64));
  // Dodge with white at w = 256: q = 1 for colour bytes; the alpha byte (s = 256) too.
  EXPECT_EQ(FillOne(Argb(0, 1, 0, 9), 0x00FFFFFF, 1.0f, ModeDodge), Argb(0, 255, 0, 255));
  EXPECT_EQ(FillOne(0x11223344, 0xFFFFFFFF, 1.0f, 6), 0x11223344u);
  EXPECT_EQ(FillOne(0x11223344, 0xFFFFFFFF, 1.0f, 0xF6), 0x11223344u);
}

TEST(Fill, BottomUpBitmapFillsLogicalRows) {
  BottomUpBitmap bm;
  bm.SetSize(2, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x) Px(&bm, x, y) = 0;
  FillRect(&bm, 0, 0, 2, 1, 0xFFFFFFFF, 1.0f, ModeCopy);
  EXPECT_EQ(Px(&bm, 1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Px(&bm, 1, 1), 0u);
  EXPECT_EQ(bm.PixelBits()[3 * bm.RowSpan()], 0xFFFFFFFFu);
}
