#include <gtest/gtest.h>

#include "PIX_Combine.h"
#include "PixTestUtil.h"

namespace {
PixelWord Hsv(PixelWord dest, int r, int g, int b, int a, int w) {
  CombineHsvAdjust(&dest, r, g, b, a, w);
  return dest;
}
}  // namespace

TEST(Hsv, ReciprocalTable) {
  EXPECT_EQ(ReciprocalTable[0], 0);
  EXPECT_EQ(ReciprocalTable[1], 65535);
  EXPECT_EQ(ReciprocalTable[2], 32767);
  EXPECT_EQ(ReciprocalTable[3], 21844);
  EXPECT_EQ(ReciprocalTable[200], 326);
  EXPECT_EQ(ReciprocalTable[255], 256);
}

TEST(Hsv, NeutralAdjustRoundTrips) {
  // r = g = b = 128 shifts nothing; primaries, greys and black survive exactly.
  for (PixelWord c : {Argb(0, 255, 0, 0), Argb(0, 0, 255, 0), Argb(0, 0, 0, 255), Argb(0, 100, 100, 100),
                      Argb(0, 0, 0, 0), Argb(0, 255, 255, 255)})
    EXPECT_EQ(Hsv(c, 128, 128, 128, 0x5A, 256), (c & 0xFFFFFF) | 0x5A000000u) << std::hex << c;
}

TEST(Hsv, RoundTripOfMixedColoursIsLossy) {
  // (200, 100, 50): V 200, S = 326 * 150 / 256 = 191, H = 436 * 50 / 1024 = 21;
  // back: m = 65 * 200 / 256 = 50, x = (-43 * 191 + 16384) * 200 / 16384 = 99.
  EXPECT_EQ(Hsv(Argb(0, 200, 100, 50), 128, 128, 128, 255, 256), Argb(255, 200, 99, 50));
  // Yellow: H = 257 * 255 / 1024 = 63, so green comes back as (-1 * 255 + 16384) * 255 / 16384 = 251.
  EXPECT_EQ(Hsv(Argb(0, 255, 255, 0), 128, 128, 128, 255, 256), Argb(255, 255, 251, 0));
}

TEST(Hsv, HueSaturationAndValueShifts) {
  // r = 255 at w = 173 shifts the hue by (127 + 255 - 192) * 173 / 256 = 128: red becomes green.
  EXPECT_EQ(Hsv(Argb(0, 255, 0, 0), 255, 128, 128, 255, 173), Argb(255, 0, 255, 0));
  // A negative shift wraps below zero: r = 0 at w = 256 moves green (128) by -192 to 320.
  EXPECT_EQ(Hsv(Argb(0, 0, 255, 0), 0, 128, 128, 255, 256), Argb(255, 255, 0, 255));
  // g = 0 at full weight removes all saturation; b = 0 removes all value.
  EXPECT_EQ(Hsv(Argb(0, 255, 0, 0), 128, 0, 128, 255, 256), Argb(255, 255, 255, 255));
  EXPECT_EQ(Hsv(Argb(0, 255, 0, 0), 128, 128, 0, 255, 256), Argb(255, 0, 0, 0));
}

TEST(Hsv, OnlyLowAlphaBitsSurvive) { EXPECT_EQ(Hsv(Argb(0, 0, 0, 0), 128, 128, 128, 0x1FF, 256) >> 24, 0xFFu); }
