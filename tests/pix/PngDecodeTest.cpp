#include <gtest/gtest.h>

#include <memory>

#include "PIX_Png.h"
#include "PixTestUtil.h"
#include "PngWriter.h"

namespace {
std::unique_ptr<PIX_MemBitmap> Decode(const std::vector<unsigned char>& bytes) {
  return std::unique_ptr<PIX_MemBitmap>(LoadPngFromMemory(bytes.data(), (int)bytes.size()));
}

PngImage Rgba(int w, int h) {
  PngImage img;
  img.width = w, img.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.rows.insert(img.rows.end(),
                      {(unsigned char)(x * 9), (unsigned char)(y * 5), (unsigned char)(x ^ y), (unsigned char)(x + y)});
  return img;
}
}  // namespace

TEST(PngDecode, RgbaPixelBecomesStraightArgbWord) {
  PngImage img;
  img.width = 1, img.height = 1;
  img.rows = {0x10, 0x20, 0x30, 0x80};
  auto bm = Decode(EncodePng(img));
  ASSERT_TRUE(bm);
  EXPECT_EQ(bm->Width(), 1);
  EXPECT_EQ(Px(bm.get(), 0, 0), 0x80102030u);
  const unsigned char* bytes = (const unsigned char*)bm->PixelBits();
  EXPECT_EQ(bytes[0], 0x30);
  EXPECT_EQ(bytes[1], 0x20);
  EXPECT_EQ(bytes[2], 0x10);
  EXPECT_EQ(bytes[3], 0x80);
}

TEST(PngDecode, RgbaRowsAndSpan) {
  auto bm = Decode(EncodePng(Rgba(13, 7)));
  ASSERT_TRUE(bm);
  EXPECT_EQ(bm->Width(), 13);
  EXPECT_EQ(bm->Height(), 7);
  EXPECT_EQ(bm->RowSpan(), 16);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) ASSERT_EQ(Px(bm.get(), x, y), Argb(x + y, x * 9, y * 5, x ^ y)) << x << "," << y;
}

TEST(PngDecode, OneBitGreyIsOpaqueBlackAndWhite) {
  PngImage img;
  img.width = 10, img.height = 2, img.depth = 1, img.colourType = PNG_COLOR_TYPE_GRAY;
  img.rows = {0xB4, 0xC0, 0x01, 0x40};  // 1011010011, 0000000101
  auto bm = Decode(EncodePng(img));
  ASSERT_TRUE(bm);
  const char* bits[2] = {"1011010011", "0000000101"};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(Px(bm.get(), x, y), bits[y][x] == '1' ? 0xFFFFFFFFu : 0xFF000000u);
}

TEST(PngDecode, PaletteWithAndWithoutTransparency) {
  PngImage img;
  img.width = 3, img.height = 1, img.colourType = PNG_COLOR_TYPE_PALETTE;
  img.palette = {{255, 0, 0}, {0, 255, 0}, {1, 2, 3}};
  img.rows = {2, 0, 1};
  auto opaque = Decode(EncodePng(img));
  ASSERT_TRUE(opaque);
  EXPECT_EQ(Px(opaque.get(), 0, 0), Argb(255, 1, 2, 3));
  EXPECT_EQ(Px(opaque.get(), 1, 0), Argb(255, 255, 0, 0));
  EXPECT_EQ(Px(opaque.get(), 2, 0), Argb(255, 0, 255, 0));

  img.transparency = {0, 128};  // the third entry stays opaque
  auto keyed = Decode(EncodePng(img));
  ASSERT_TRUE(keyed);
  EXPECT_EQ(Px(keyed.get(), 0, 0), Argb(255, 1, 2, 3));
  EXPECT_EQ(Px(keyed.get(), 1, 0), Argb(0, 255, 0, 0));  // colour kept under zero alpha
  EXPECT_EQ(Px(keyed.get(), 2, 0), Argb(128, 0, 255, 0));
}

TEST(PngDecode, FourBitPaletteIsUnpacked) {
  PngImage img;
  img.width = 3, img.height = 1, img.depth = 4, img.colourType = PNG_COLOR_TYPE_PALETTE;
  img.palette = {{10, 20, 30}, {40, 50, 60}};
  img.rows = {0x10, 0x10};
  auto bm = Decode(EncodePng(img));
  ASSERT_TRUE(bm);
  EXPECT_EQ(Px(bm.get(), 0, 0), Argb(255, 40, 50, 60));
  EXPECT_EQ(Px(bm.get(), 1, 0), Argb(255, 10, 20, 30));
  EXPECT_EQ(Px(bm.get(), 2, 0), Argb(255, 40, 50, 60));
}

TEST(PngDecode, GreyKeyColourBecomesTransparent) {
  PngImage img;
  img.width = 3, img.height = 1, img.colourType = PNG_COLOR_TYPE_GRAY;
  img.hasKey = true;
  img.key.gray = 77;
  img.rows = {76, 77, 78};
  auto bm = Decode(EncodePng(img));
  ASSERT_TRUE(bm);
  EXPECT_EQ(Px(bm.get(), 0, 0), Argb(255, 76, 76, 76));
  EXPECT_EQ(Px(bm.get(), 1, 0), Argb(0, 77, 77, 77));
  EXPECT_EQ(Px(bm.get(), 2, 0), Argb(255, 78, 78, 78));
}

TEST(PngDecode, GreyAlphaAndRgbWithoutAlpha) {
  PngImage ga;
  ga.width = 2, ga.height = 1, ga.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
  ga.rows = {200, 10, 5, 255};
  auto grey = Decode(EncodePng(ga));
  ASSERT_TRUE(grey);
  EXPECT_EQ(Px(grey.get(), 0, 0), Argb(10, 200, 200, 200));
  EXPECT_EQ(Px(grey.get(), 1, 0), Argb(255, 5, 5, 5));

  PngImage rgb;
  rgb.width = 1, rgb.height = 1, rgb.colourType = PNG_COLOR_TYPE_RGB;
  rgb.rows = {1, 2, 3};
  auto colour = Decode(EncodePng(rgb));
  ASSERT_TRUE(colour);
  EXPECT_EQ(Px(colour.get(), 0, 0), Argb(255, 1, 2, 3));
}

TEST(PngDecode, SixteenBitKeepsHighBytes) {
  PngImage img;
  img.width = 1, img.height = 1, img.depth = 16;
  img.rows = {0x12, 0xFF, 0xAB, 0x80, 0x00, 0x7F, 0xFE, 0x01};  // big-endian R, G, B, A
  auto bm = Decode(EncodePng(img));
  ASSERT_TRUE(bm);
  EXPECT_EQ(Px(bm.get(), 0, 0), Argb(0xFE, 0x12, 0xAB, 0x00));
}

TEST(PngDecode, InterlacedMatchesProgressive) {
  PngImage img = Rgba(21, 17);
  auto plain = Decode(EncodePng(img));
  img.interlaced = true;
  const auto bytes = EncodePng(img);
  auto interlaced = Decode(bytes);
  ASSERT_TRUE(plain);
  ASSERT_TRUE(interlaced);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 21; ++x) ASSERT_EQ(Px(interlaced.get(), x, y), Px(plain.get(), x, y));
}
