#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "PIX_Blit.h"
#include "PIX_CopyRow.h"
#include "PixTestUtil.h"

namespace {
PixelWord BlitOne(PixelWord dest, PixelWord src, float alpha, int mode) {
  std::unique_ptr<PIX_MemBitmap> d(FilledBitmap(1, 1, dest)), s(FilledBitmap(1, 1, src));
  BlitBitmap(d.get(), s.get(), 0, 0, nullptr, alpha, mode);
  return Px(d.get(), 0, 0);
}

int Byte(PixelWord v, int i) { return (int)((v >> (8 * i)) & 0xFF); }
}  // namespace

TEST(BlitCopy, FullAlphaCopiesWords) {
  EXPECT_EQ(BlitOne(0x01020304, 0x80FF4020, 1.0f, ModeCopy), 0x80FF4020u);
  EXPECT_EQ(BlitOne(0x01020304, 0x00000000, 1.0f, ModeCopy), 0u);
}

TEST(BlitCopy, HalfAlphaHalvesWholeWords) {
  EXPECT_EQ(BlitOne(0x00000000, 0xFFFFFFFF, 0.5f, ModeCopy), 0x7F7F7F7Fu);
  EXPECT_EQ(BlitOne(0xFFFFFFFF, 0xFFFFFFFF, 0.5f, ModeCopy), 0xFEFEFEFEu);
  EXPECT_EQ(BlitOne(0x03050709, 0x01010101, 0.5f, ModeCopy), 0x01020304u);
}

TEST(BlitCopy, WeightsTruncateTowardZero) {
  // w = 64: 255 over 0 -> 255 - 191.25 -> 64; 0 over 255 -> 191.
  EXPECT_EQ(BlitOne(0x00FF00FF, 0xFF00FF00, 0.25f, ModeCopy), 0x40BF40BFu);
  // w = 255: |d - s| * 1 / 256 truncates to zero, so the source wins.
  EXPECT_EQ(BlitOne(0x00FF10F0, 0xFF00EF0F, 0.999f, ModeCopy), 0xFF00EF0Fu);
  // w = 128 but not exactly 0.5: per-channel path, 100 + (200 - 100) * 128 / 256 = 150.
  EXPECT_EQ(BlitOne(Argb(200, 200, 0, 7), Argb(100, 100, 255, 6), 0.5001f, ModeCopy), Argb(150, 150, 128, 6));
  // w = 0 (alpha below 1/256) draws nothing.
  EXPECT_EQ(BlitOne(0x11223344, 0xFFFFFFFF, 0.003f, ModeCopy), 0x11223344u);
}

TEST(BlitSourceAlpha, FullWeight) {
  const PixelWord dest = Argb(255, 10, 200, 77);
  EXPECT_EQ(BlitOne(dest, Argb(0, 250, 1, 2), 1.0f, ModeUseSourceAlpha), dest);
  EXPECT_EQ(BlitOne(dest, Argb(255, 1, 2, 3), 1.0f, ModeUseSourceAlpha), Argb(255, 1, 2, 3));
  // a = 128: d' = s + (d - s) * 127 / 256; 200 + (-190 * 127) / 256 = 106, 10 + 190 * 127 / 256 = 104.
  EXPECT_EQ(BlitOne(dest, Argb(128, 200, 10, 77), 1.0f, ModeUseSourceAlpha), Argb(255, 106, 104, 77));
  // The destination alpha accumulates: 100 + 128.
  EXPECT_EQ(BlitOne(Argb(100, 0, 0, 0), Argb(128, 0, 0, 0), 1.0f, ModeUseSourceAlpha), Argb(228, 0, 0, 0));
}

TEST(BlitSourceAlpha, PartialWeight) {
  const PixelWord dest = Argb(100, 0, 255, 40);
  // w = 128, sa = 255: w' = 128; 255 - 127.5 -> 128, 0 + 127.5 -> 127, alpha 100 + 128.
  EXPECT_EQ(BlitOne(dest, Argb(255, 255, 0, 40), 0.5f, ModeUseSourceAlpha), Argb(228, 128, 127, 40));
  // w = 64, sa = 127: w' = 32; 255 + (-255 * 224) / 256 = 32, 0 + 255 * 224 / 256 = 223.
  EXPECT_EQ(BlitOne(dest, Argb(127, 255, 0, 40), 0.25f, ModeUseSourceAlpha), Argb(132, 32, 223, 40));
  // sa = 0 leaves the pixel alone at any weight.
  EXPECT_EQ(BlitOne(dest, Argb(0, 255, 0, 0), 0.5f, ModeUseSourceAlpha), dest);
  // Alpha saturates at 255.
  EXPECT_EQ(Byte(BlitOne(Argb(250, 0, 0, 0), Argb(255, 0, 0, 0), 0.5f, ModeUseSourceAlpha), 3), 255);
}

// Every (source, destination, alpha) byte triple through each row loop
// variant, checked against the per-channel formula.
TEST(BlitSourceAlpha, RowLoopsMatchFormulaForAllBytes) {
  std::vector<std::pair<const char*, PIX_CopyRowFn>> variants = {{"dispatched", CopySourceAlphaRow},
                                                                 {"scalar", CopySourceAlphaRowScalar}};
  if (CopySourceAlphaRowSse2) variants.push_back({"sse2", CopySourceAlphaRowSse2});
  if (CopySourceAlphaRowAvx2) variants.push_back({"avx2", CopySourceAlphaRowAvx2});
  std::vector<PixelWord> src(65536 + 3), dest(65536 + 3);
  for (const auto& variant : variants) std::printf("row variant: %s\n", variant.first);
  for (const auto& variant : variants)
    for (int a = 0; a < 256; ++a) {
      for (int s = 0; s < 256; ++s)
        for (int d = 0; d < 256; ++d) {
          src[s * 256 + d] = Argb(a, s, 255 - s, d);
          dest[s * 256 + d] = Argb(d, d, 255 - d, s);
        }
      variant.second(dest.data(), src.data(), 65536 + 3 * (a & 1));  // odd lengths exercise the tails
      for (int s = 0; s < 256; ++s)
        for (int d = 0; d < 256; ++d) {
          const PixelWord before = Argb(d, d, 255 - d, s), source = Argb(a, s, 255 - s, d);
          PixelWord want = before;
          if (a == 255) {
            want = source;
          } else if (a != 0) {
            int out[4];
            for (int i = 0; i < 3; ++i)
              out[i] = Byte(source, i) + (Byte(before, i) - Byte(source, i)) * (255 - a) / 256;
            out[3] = std::min(d + a, 255);
            want = Argb(out[3], out[2], out[1], out[0]);
          }
          ASSERT_EQ(dest[s * 256 + d], want) << variant.first << " a=" << a << " s=" << s << " d=" << d;
        }
    }
}

TEST(BlitAdd, SaturatesAndScales) {
  // w = 256: 200 + 100 clamps to 255; alpha 10 + 20.
  EXPECT_EQ(BlitOne(Argb(10, 200, 0, 5), Argb(20, 100, 7, 0), 1.0f, ModeAdd), Argb(30, 255, 7, 5));
  // w = 128: 10 + 100 * 128 / 256.
  EXPECT_EQ(BlitOne(Argb(0, 10, 10, 10), Argb(255, 100, 101, 0), 0.5f, ModeAdd), Argb(127, 60, 60, 10));
  // With source alpha: a = 0 leaves the pixel, a = 127 at w = 256 gives w' = 128.
  EXPECT_EQ(BlitOne(Argb(1, 2, 3, 4), Argb(0, 255, 255, 255), 1.0f, ModeAdd | ModeUseSourceAlpha), Argb(1, 2, 3, 4));
  EXPECT_EQ(BlitOne(Argb(1, 2, 3, 4), Argb(127, 100, 50, 2), 1.0f, ModeAdd | ModeUseSourceAlpha),
            Argb(1 + 63, 52, 28, 5));
}

TEST(BlitDodge, BrightensByQuotient) {
  // s = 255, w = 256: q = 1, so any non-zero byte becomes 255 and zero stays zero.
  EXPECT_EQ(BlitOne(Argb(0, 1, 0, 200), Argb(255, 255, 255, 255), 1.0f, ModeDodge), Argb(0, 255, 0, 255));
  // s = 128, w = 256: q = 128, 64 -> 128; w = 128: q = 192, 96 -> 128.
  EXPECT_EQ(Byte(BlitOne(Argb(0, 0, 0, 64), Argb(0, 0, 0, 128), 1.0f, ModeDodge), 0), 128);
  EXPECT_EQ(Byte(BlitOne(Argb(0, 0, 0, 96), Argb(0, 0, 0, 128), 0.5f, ModeDodge), 0), 128);
  // Source alpha 0 at w = 256 gives weight 1: 255 * 1 / 256 = 0, so q = 256 and nothing changes.
  EXPECT_EQ(BlitOne(Argb(9, 90, 80, 70), Argb(0, 255, 255, 255), 1.0f, ModeDodge | ModeUseSourceAlpha),
            Argb(9, 90, 80, 70));
  // Source alpha 255 at w = 256 is plain dodge.
  EXPECT_EQ(BlitOne(Argb(0, 1, 0, 200), Argb(255, 255, 255, 255), 1.0f, ModeDodge | ModeUseSourceAlpha),
            Argb(0, 255, 0, 255));
}

TEST(BlitMultiply, ScalesDestination) {
  // w = 256, s = 128: 200 -> 100; s = 255: 200 -> 199 (the factor is 255/256); s = 0 -> 0.
  EXPECT_EQ(BlitOne(Argb(200, 200, 200, 200), Argb(255, 128, 0, 255), 1.0f, ModeMultiply), Argb(199, 100, 0, 199));
  // w = 128, s = 128: factor 49152 / 65536, 200 -> 150.
  EXPECT_EQ(Byte(BlitOne(Argb(0, 200, 0, 0), Argb(0, 128, 0, 0), 0.5f, ModeMultiply), 2), 150);
  // With source alpha: a = 0 unchanged; a = 255, w = 256: d * s / 256.
  EXPECT_EQ(BlitOne(Argb(9, 90, 80, 70), Argb(0, 0, 0, 0), 1.0f, ModeMultiply | ModeUseSourceAlpha),
            Argb(9, 90, 80, 70));
  EXPECT_EQ(BlitOne(Argb(200, 200, 100, 50), Argb(255, 128, 64, 0), 1.0f, ModeMultiply | ModeUseSourceAlpha),
            Argb(199, 100, 25, 0));
  // a = 127, w = 256: w' = 128, k = 32768; (128 * 128 + 32768) * 200 >> 16 = 150.
  EXPECT_EQ(Byte(BlitOne(Argb(0, 200, 0, 0), Argb(127, 128, 0, 0), 1.0f, ModeMultiply | ModeUseSourceAlpha), 2), 150);
}

TEST(BlitOverlay, DarkensAndLightens) {
  // w = 256: s = 0 gives d * d / 256; s = 128 leaves d; s = 255 lightens 128 -> 191.
  const PixelWord out = BlitOne(Argb(128, 128, 128, 128), Argb(0, 0, 128, 255), 1.0f, ModeOverlay);
  EXPECT_EQ(out, Argb(64, 64, 128, 191));
  // w = 0 effectively (sa = 0 with source alpha at w = 256 gives w' = 1):
  // S = s + 255 * 128, close to neutral.
  EXPECT_EQ(Byte(BlitOne(Argb(0, 128, 0, 0), Argb(0, 0, 0, 0), 1.0f, ModeOverlay | ModeUseSourceAlpha), 2), 127);
  EXPECT_EQ(BlitOne(Argb(128, 128, 128, 128), Argb(255, 0, 128, 255), 1.0f, ModeOverlay | ModeUseSourceAlpha),
            Argb(191, 64, 128, 191));
}

TEST(BlitMode, ChannelCopyMovesOneByte) {
  // 0xF6: source byte 2 (red) into destination byte 1 (green).
  EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 1.0f, 0xF6), 0x1122BB44u);
  // Weight plays no part besides 0.
  EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 0.3f, 0xF6), 0x1122BB44u);
  EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 0.0f, 0xF6), 0x11223344u);
  // 0xFC | 0x3 = alpha into alpha; 0xF3: byte 3 into byte 0.
  EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 1.0f, 0xF3), 0x112233AAu);
}

TEST(BlitMode, UndefinedOperationsDrawNothing) {
  EXPECT_EQ(BlitOne(0x11223344, 0xFFFFFFFF, 1.0f, 7), 0x11223344u);
  EXPECT_EQ(BlitOne(0x11223344, 0xFFFFFFFF, 1.0f, 0xEF), 0x11223344u);
  EXPECT_EQ(BlitOne(0x11223344, 0xFFFFFFFF, 1.0f, 6 | ModeUseSourceAlpha), 0x11223344u);
  // Bits other than the low byte and bit 16 are ignored.
  EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 1.0f, 0x20000), 0xAABBCCDDu);
}

TEST(BlitMode, WideRowsMatchSinglePixels) {
  // Rows long enough for any vectorised path, with an odd tail.
  const int n = 37;
  std::vector<PixelWord> src(n), dst(n);
  for (int i = 0; i < n; ++i) {
    src[i] = Argb((i * 37) & 0xFF, (i * 91) & 0xFF, (i * 13) & 0xFF, (i * 201) & 0xFF);
    dst[i] = Argb((i * 59) & 0xFF, (i * 7) & 0xFF, (i * 111) & 0xFF, (i * 17) & 0xFF);
  }
  src[0] |= 0xFF000000;
  src[1] &= 0x00FFFFFF;
  const int modes[] = {0, 0x10000, 1, 0x10001, 2, 0x10002, 3, 0x10003, 4, 0x10004, 5, 0x10005};
  for (int mode : modes)
    for (float alpha : {1.0f, 0.5f, 0.75f}) {
      std::unique_ptr<PIX_MemBitmap> s(FilledBitmap(n, 1, 0)), d(FilledBitmap(n, 1, 0));
      for (int i = 0; i < n; ++i) Px(s.get(), i, 0) = src[i], Px(d.get(), i, 0) = dst[i];
      BlitBitmap(d.get(), s.get(), 0, 0, nullptr, alpha, mode);
      for (int i = 0; i < n; ++i)
        ASSERT_EQ(Px(d.get(), i, 0), BlitOne(dst[i], src[i], alpha, mode)) << mode << " " << alpha << " " << i;
    }
}

TEST(BlitMode, WeightJustBelowFull) {
  // alpha 0.999 gives w = 255, which takes the general paths.
  // Add: 10 + 100 * 255 / 256 = 109.
  EXPECT_EQ(Byte(BlitOne(Argb(0, 10, 0, 0), Argb(0, 100, 0, 0), 0.999f, ModeAdd), 2), 109);
  // Multiply: (255 * (128 - 256) + 65536) * 200 >> 16 = 100.
  EXPECT_EQ(Byte(BlitOne(Argb(0, 200, 0, 0), Argb(0, 128, 0, 0), 0.999f, ModeMultiply), 2), 100);
  // Source alpha 128: w' = 129 * 255 / 256 = 128; 200 - 95, 10 + 95; alpha saturates.
  EXPECT_EQ(BlitOne(Argb(255, 10, 200, 77), Argb(128, 200, 10, 77), 0.999f, ModeUseSourceAlpha),
            Argb(255, 105, 105, 77));
  // Source alpha 255: w' = 255, so the colour becomes the source.
  EXPECT_EQ(BlitOne(Argb(0, 10, 200, 77), Argb(255, 200, 10, 78), 0.999f, ModeUseSourceAlpha), Argb(255, 200, 10, 78));
}
