#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "PIX_Blit.h"
#include "PixTestUtil.h"

namespace {
// Source whose pixel (x, y) is opaque with red = x and green = y, so every
// destination pixel tells where it came from.
std::unique_ptr<PIX_MemBitmap> Coordinates(int w, int h) {
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(w, h, 0));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Px(bm.get(), x, y) = Argb(255, x, y, 0);
  return bm;
}

constexpr PixelWord kUntouched = 0x11223344;

int Drawn(PIX_IBitmap* dest) {
  int n = 0;
  for (int y = 0; y < dest->Height(); ++y)
    for (int x = 0; x < dest->Width(); ++x) n += Px(dest, x, y) != kUntouched;
  return n;
}
}  // namespace

TEST(BlitClip, NegativeRectLeftShiftsDestination) {
  auto src = Coordinates(8, 4);
  std::unique_ptr<PIX_MemBitmap> dest(FilledBitmap(32, 8, kUntouched));
  const PIX_Rect rect = {-3, 0, 4, 2};
  BlitBitmap(dest.get(), src.get(), 10, 1, &rect, 1.0f, ModeCopy);
  EXPECT_EQ(Px(dest.get(), 12, 1), kUntouched);
  EXPECT_EQ(Px(dest.get(), 13, 1), Argb(255, 0, 0, 0));
  EXPECT_EQ(Px(dest.get(), 16, 2), Argb(255, 3, 1, 0));
  EXPECT_EQ(Px(dest.get(), 17, 1), kUntouched);
  EXPECT_EQ(Drawn(dest.get()), 4 * 2);
}

TEST(BlitClip, NegativeRectTopShiftsDestination) {
  auto src = Coordinates(4, 8);
  std::unique_ptr<PIX_MemBitmap> dest(FilledBitmap(8, 16, kUntouched));
  const PIX_Rect rect = {1, -2, 3, 3};
  BlitBitmap(dest.get(), src.get(), 0, 5, &rect, 1.0f, ModeCopy);
  EXPECT_EQ(Px(dest.get(), 0, 7), Argb(255, 1, 0, 0));
  EXPECT_EQ(Px(dest.get(), 1, 9), Argb(255, 2, 2, 0));
  EXPECT_EQ(Drawn(dest.get()), 2 * 3);
}

TEST(BlitClip, NegativePositionSkipsSourceColumnsAndRows) {
  auto src = Coordinates(10, 10);
  std::unique_ptr<PIX_MemBitmap> dest(FilledBitmap(20, 20, kUntouched));
  BlitBitmap(dest.get(), src.get(), -5, -2, nullptr, 1.0f, ModeCopy);
  EXPECT_EQ(Px(dest.get(), 0, 0), Argb(255, 5, 2, 0));
  EXPECT_EQ(Px(dest.get(), 4, 7), Argb(255, 9, 9, 0));
  EXPECT_EQ(Drawn(dest.get()), 5 * 8);
}

TEST(BlitClip, ClipsToDestinationAndSourceEdges) {
  auto src = Coordinates(10, 10);
  std::unique_ptr<PIX_MemBitmap> dest(FilledBitmap(12, 12, kUntouched));
  const PIX_Rect rect = {6, 7, 50, 50};  // right and bottom beyond the source
  BlitBitmap(dest.get(), src.get(), 9, 1, &rect, 1.0f, ModeCopy);
  EXPECT_EQ(Px(dest.get(), 9, 1), Argb(255, 6, 7, 0));
  EXPECT_EQ(Px(dest.get(), 11, 3), Argb(255, 8, 9, 0));
  EXPECT_EQ(Drawn(dest.get()), 3 * 3);
}

TEST(BlitClip, NothingOutsideOrDegenerate) {
  auto src = Coordinates(4, 4);
  std::unique_ptr<PIX_MemBitmap> dest(FilledBitmap(8, 8, kUntouched));
  BlitBitmap(dest.get(), src.get(), 8, 0, nullptr, 1.0f, ModeCopy);
  BlitBitmap(dest.get(), src.get(), 0, 8, nullptr, 1.0f, ModeCopy);
  BlitBitmap(dest.get(), src.get(), -4, 0, nullptr, 1.0f, ModeCopy);
  const PIX_Rect empty = {2, 2, 2, 4};
  BlitBitmap(dest.get(), src.get(), 0, 0, &empty, 1.0f, ModeCopy);
  const PIX_Rect beyond = {5, 0, 9, 4};
  BlitBitmap(dest.get(), src.get(), 0, 0, &beyond, 1.0f, ModeCopy);
  BlitBitmap(dest.get(), src.get(), 0, 0, nullptr, 0.0f, ModeCopy);
  BlitBitmap(dest.get(), nullptr, 0, 0, nullptr, 1.0f, ModeCopy);
  BlitBitmap(nullptr, src.get(), 0, 0, nullptr, 1.0f, ModeCopy);
  PIX_MemBitmap none;
  BlitBitmap(dest.get(), &none, 0, 0, nullptr, 1.0f, ModeCopy);
  BlitBitmap(&none, src.get(), 0, 0, nullptr, 1.0f, ModeCopy);
  EXPECT_EQ(Drawn(dest.get()), 0);
}

TEST(BlitClip, ExtremeCoordinatesDoNotOverflow) {
  auto src = Coordinates(4, 4);
  std::unique_ptr<PIX_MemBitmap> dest(FilledBitmap(8, 8, kUntouched));
  const PIX_Rect rect = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  BlitBitmap(dest.get(), src.get(), INT_MAX, INT_MAX, &rect, 1.0f, ModeCopy);
  BlitBitmap(dest.get(), src.get(), INT_MIN, INT_MIN, nullptr, 1.0f, ModeCopy);
  EXPECT_EQ(Drawn(dest.get()), 0);
}

TEST(BlitClip, BottomUpBitmapsAreAddressedByLogicalRow) {
  BottomUpBitmap src;
  src.SetSize(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) Px(&src, x, y) = Argb(255, x, y, 0);
  BottomUpBitmap dest;
  dest.SetSize(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) Px(&dest, x, y) = kUntouched;
  const PIX_Rect rect = {1, 1, 3, 3};
  BlitBitmap(&dest, &src, 0, 0, &rect, 1.0f, ModeUseSourceAlpha);
  EXPECT_EQ(Px(&dest, 0, 0), Argb(255, 1, 1, 0));
  EXPECT_EQ(Px(&dest, 1, 1), Argb(255, 2, 2, 0));
  EXPECT_EQ(Px(&dest, 2, 2), kUntouched);
  // Stored row 0 of the destination is its logical last row.
  EXPECT_EQ(dest.PixelBits()[3 * dest.RowSpan()], Argb(255, 1, 1, 0));
}
