#include <gtest/gtest.h>

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

#include "PIX_Bitmap.h"
#include "PIX_SysBitmap.h"

TEST(MemBitmap, StartsEmpty) {
  PIX_MemBitmap bm;
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_EQ(bm.Height(), 0);
  EXPECT_EQ(bm.Capacity(), 0);
  EXPECT_EQ(bm.RowAlignMask, 3);
  EXPECT_FALSE(bm.IsBottomUp());
  EXPECT_EQ(bm.DeviceContext(), nullptr);
  EXPECT_EQ(bm.QueryExtension(0x59555678, nullptr), 0);
}

TEST(MemBitmap, SpanIsRoundedAndRowsAligned) {
  PIX_MemBitmap bm;
  EXPECT_TRUE(bm.SetSize(5, 3));
  EXPECT_EQ(bm.RowSpan(), 8);
  EXPECT_EQ((uintptr_t)bm.PixelBits() % 64, 0u);
  EXPECT_EQ(bm.Capacity(), 8 * 3 * 4);
  bm.PixelBits()[8 * 3 - 1] = 0x12345678;  // last word of the last row is addressable
}

TEST(MemBitmap, GrowsByAQuarterAndNeverShrinks) {
  PIX_MemBitmap bm;
  EXPECT_TRUE(bm.SetSize(10, 10));
  EXPECT_EQ(bm.RowSpan(), 12);
  EXPECT_EQ(bm.Capacity(), 480);

  EXPECT_TRUE(bm.SetSize(13, 10));
  EXPECT_EQ(bm.RowSpan(), 16);
  EXPECT_EQ(bm.Capacity(), 800);  // 640 needed, a quarter more reserved

  PixelWord* block = bm.PixelBits();
  EXPECT_TRUE(bm.SetSize(10, 10));
  EXPECT_EQ(bm.Capacity(), 800);
  EXPECT_EQ(bm.PixelBits(), block);

  EXPECT_TRUE(bm.SetSize(14, 10));  // 640 bytes still fit in 800
  EXPECT_EQ(bm.Capacity(), 800);
}

TEST(MemBitmap, SameSizeIsNoChange) {
  PIX_MemBitmap bm;
  bm.SetSize(7, 7);
  PixelWord* block = bm.PixelBits();
  EXPECT_FALSE(bm.SetSize(7, 7));
  EXPECT_EQ(bm.PixelBits(), block);
}

TEST(MemBitmap, EmptySizeFreesBuffer) {
  PIX_MemBitmap bm;
  bm.SetSize(10, 10);
  EXPECT_TRUE(bm.SetSize(0, 10));
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_EQ(bm.Height(), 0);
  EXPECT_EQ(bm.Capacity(), 0);

  bm.SetSize(4, 4);
  EXPECT_TRUE(bm.SetSize(-3, 4));
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
}

TEST(MemBitmap, SizesBeyond32BitBytesAreRefused) {
  PIX_MemBitmap bm;
  bm.SetSize(4, 4);
  // 40000 x 40000 x 4 bytes wraps a 32-bit size; it must not be allocated short.
  EXPECT_TRUE(bm.SetSize(40000, 40000));
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_EQ(bm.Height(), 0);
  EXPECT_EQ(bm.Capacity(), 0);

  EXPECT_TRUE(bm.SetSize(0x7FFFFFFF, 1));  // the span itself would overflow
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_TRUE(bm.SetSize(23171, 23171));  // 2147572964 bytes, just above the limit
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
}

TEST(SysBitmap, KeepsLargerSurfaceWhenShrinking) {
  PIX_SysBitmap bm(256, 256);
  ASSERT_NE(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.RowSpan(), 256);
  PixelWord* surface = bm.PixelBits();

  EXPECT_TRUE(bm.SetSize(100, 100));
  EXPECT_EQ(bm.Width(), 100);
  EXPECT_EQ(bm.Height(), 100);
  EXPECT_EQ(bm.RowSpan(), 256);
  EXPECT_EQ(bm.PixelBits(), surface);

  EXPECT_TRUE(bm.SetSize(300, 100));
  EXPECT_EQ(bm.Width(), 300);
  EXPECT_EQ(bm.RowSpan(), 300);
  ASSERT_NE(bm.PixelBits(), nullptr);
  bm.PixelBits()[300 * 100 - 1] = 1;  // the new surface is 300 x 100

  EXPECT_FALSE(bm.SetSize(300, 100));
}

TEST(SysBitmap, WidthRoundsUpToFour) {
  PIX_SysBitmap bm(5, 2);
  EXPECT_EQ(bm.Width(), 5);
  EXPECT_EQ(bm.RowSpan(), 8);
}

TEST(SysBitmap, EmptySurface) {
  PIX_SysBitmap bm(0, 0);
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_TRUE(bm.SetSize(16, 16));
  EXPECT_NE(bm.PixelBits(), nullptr);
  EXPECT_FALSE(bm.IsBottomUp());
#ifdef _WIN32
  EXPECT_NE(bm.DeviceContext(), nullptr);
#else
  EXPECT_EQ(bm.DeviceContext(), nullptr);
#endif
}

TEST(SysBitmap, EmptySizeDropsSurfaceButKeepsLogicalSize) {
  PIX_SysBitmap bm(16, 16);
  // Any non-zero size within the allocation reuses it.
  EXPECT_TRUE(bm.SetSize(-4, 8));
  EXPECT_NE(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.RowSpan(), 16);
  // A zero dimension releases the surface and reports no change.
  EXPECT_FALSE(bm.SetSize(0, 10));
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_EQ(bm.Height(), 10);
  EXPECT_EQ(bm.RowSpan(), 0);
  EXPECT_TRUE(bm.SetSize(3, 3));
  EXPECT_NE(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.RowSpan(), 4);
}

TEST(SysBitmap, OversizedSurfaceIsRefused) {
  PIX_SysBitmap bm(40000, 40000);
  EXPECT_EQ(bm.PixelBits(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_EQ(bm.Height(), 0);
}

#ifdef _WIN32
TEST(SysBitmap, GdiDrawsIntoTopDownPixels) {
  PIX_SysBitmap bm(6, 4);
  HDC dc = (HDC)bm.DeviceContext();
  ASSERT_NE(dc, nullptr);
  for (int i = 0; i < bm.RowSpan() * 4; ++i) bm.PixelBits()[i] = 0;
  SetPixel(dc, 2, 1, RGB(255, 0, 0));
  SetPixel(dc, 5, 3, RGB(0, 0, 255));
  GdiFlush();
  EXPECT_EQ(bm.PixelBits()[1 * bm.RowSpan() + 2] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(bm.PixelBits()[3 * bm.RowSpan() + 5] & 0xFFFFFF, 0x0000FFu);
}
#endif
