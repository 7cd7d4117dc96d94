// Which way text is drawn: GDI straight into the bitmap, or the glyph cache.
#include <gtest/gtest.h>

#include "TextTestUtil.h"

TEST(TextPath, WineDetectionReadsTheRegistryOnce) {
  ForceWineDetection(-1);
  auto font = MakeFont(16);
  PIX_SysBitmap surface(64, 32);
  Measure(font.get(), &surface, "x");
  HKEY key;
  const bool wine = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) == ERROR_SUCCESS;
  if (wine) RegCloseKey(key);
  EXPECT_EQ(PIX_CachedFont::WineDetectedFlag, wine ? 1 : 0);
  // Under Wine the native-capable font still goes through the cache.
  EXPECT_EQ(AnyCached(font.get(), "x"), wine);
}

TEST(TextPath, NativeFontDrawsWithGdiWhenNotUnderWine) {
  ForceWineDetection(0);
  auto font = MakeFont(16);
  PIX_SysBitmap surface(200, 40);
  Fill(&surface, 0xFFFFFFFF);
  font->ChangeTextColour(0xFF000000);
  PIX_Rect r = {5, 5, 195, 35};
  EXPECT_GT(font->RenderText(&surface, "Hello", -1, &r, 0), 0);
  const Ink ink = FindInk(&surface, 0xFFFFFFFF);
  EXPECT_GT(ink.count, 20);
  EXPECT_GE(ink.left, 5);
  EXPECT_GE(ink.top, 5);
  EXPECT_FALSE(AnyCached(font.get(), "Hello"));
}

TEST(TextPath, SameFontUsesCacheUnderWine) {
  ForceWineDetection(1);
  auto font = MakeFont(16);
  PIX_SysBitmap surface(200, 40);
  Fill(&surface, 0xFFFFFFFF);
  PIX_Rect r = {5, 5, 195, 35};
  EXPECT_GT(font->RenderText(&surface, "Hello", -1, &r, 0), 0);
  EXPECT_GT(FindInk(&surface, 0xFFFFFFFF).count, 20);
  EXPECT_TRUE(AnyCached(font.get(), "Hello"));
  ForceWineDetection(0);
}

TEST(TextPath, TranslucentColourAndForcingUseCache) {
  ForceWineDetection(0);
  auto translucent = MakeFont(16);
  PIX_SysBitmap surface(200, 40);
  Fill(&surface, 0xFFFFFFFF);
  translucent->ChangeTextColour(0x80000000);
  PIX_Rect r = {0, 0, 200, 40};
  translucent->RenderText(&surface, "I", -1, &r, TextAlphaFromColour);
  EXPECT_TRUE(AnyCached(translucent.get(), "I"));
  // Alpha 128/255 gives w = 128: a fully covered pixel moves half way to black.
  bool sawHalf = false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) {
      const PixelWord p = Px(&surface, x, y);
      EXPECT_TRUE(p == 0xFFFFFFFF || (p & 0xFF) >= 0x7F) << std::hex << p;
      sawHalf |= (p & 0xFFFFFF) == 0x7F7F7F || (p & 0xFFFFFF) == 0x808080;
    }
  EXPECT_TRUE(sawHalf);

  auto forced = MakeFont(16);
  forced->RenderText(&surface, "I", -1, &r, TextForceGlyphCache);
  EXPECT_TRUE(AnyCached(forced.get(), "I"));

  auto effect = MakeFont(16, FontOwnsHandle | FontNativeText | FontMono);
  effect->RenderText(&surface, "I", -1, &r, 0);
  EXPECT_TRUE(AnyCached(effect.get(), "I"));
}

TEST(TextPath, TallFontsAlwaysDrawNatively) {
  ForceWineDetection(1);
  auto font = MakeFont(300, FontOwnsHandle);  // not even FontNativeText
  EXPECT_GT(font->LineHeight(), 255);
  PIX_SysBitmap surface(400, 400);
  Fill(&surface, 0xFFFFFFFF);
  PIX_Rect r = {0, 0, 400, 400};
  font->RenderText(&surface, "I", -1, &r, 0);
  EXPECT_GT(FindInk(&surface, 0xFFFFFFFF).count, 100);
  EXPECT_FALSE(AnyCached(font.get(), "I"));
  ForceWineDetection(0);
}

TEST(TextPath, WineDetectionWaitsForANativeCapableFont) {
  // A tall font that may not use GDI by its own flags leaves the registry unread.
  ForceWineDetection(-1);
  auto plain = MakeFont(300, FontOwnsHandle);
  PIX_SysBitmap surface(64, 32);
  Measure(plain.get(), &surface, "x");
  EXPECT_EQ(PIX_CachedFont::WineDetectedFlag, -1);
  // A native-capable one settles it, even though its height alone picks GDI.
  auto tall = MakeFont(300);
  Measure(tall.get(), &surface, "x");
  EXPECT_NE(PIX_CachedFont::WineDetectedFlag, -1);
  ForceWineDetection(0);
}

TEST(TextPath, NativeUtf8GoesThroughWideCall) {
  ForceWineDetection(0);
  auto font = MakeFont(20);
  PIX_SysBitmap surface(8, 8);
  // As UTF-16 the pair is one character, the same as the single Latin-1 byte
  // drawn by the narrow call; drawn narrow it would be two characters.
  const PIX_Rect pair = Measure(font.get(), &surface, "\xC3\xA9");
  const PIX_Rect single = Measure(font.get(), &surface, "\xE9");
  const PIX_Rect lead = Measure(font.get(), &surface, "\xC3");
  EXPECT_EQ(pair.right, single.right);
  EXPECT_LT(pair.right, lead.right + single.right);
  EXPECT_GT(lead.right, 0);
  // Measuring works without a bitmap too (on the scratch surface).
  const PIX_Rect noBitmap = Measure(font.get(), nullptr, "\xC3\xA9");
  EXPECT_EQ(noBitmap.right, pair.right);
  EXPECT_EQ(noBitmap.bottom, pair.bottom);
}

TEST(TextPath, NativeIntoBitmapWithoutDeviceContext) {
  ForceWineDetection(0);
  auto font = MakeFont(16);
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(100, 30, 0xFFFFFFFF));
  font->ChangeTextColour(0xFF000000);
  PIX_Rect r = {50, 0, 100, 30};
  EXPECT_GT(font->RenderText(bm.get(), "Hi", -1, &r, DT_RIGHT), 0);
  const Ink ink = FindInk(bm.get(), 0xFFFFFFFF);
  EXPECT_GT(ink.count, 10);
  EXPECT_GE(ink.left, 50 - 2);
  EXPECT_GE(ink.right, 90);  // flush right
  EXPECT_FALSE(AnyCached(font.get(), "Hi"));
  EXPECT_EQ(font->RenderText(nullptr, "Hi", -1, &r, 0), 0);  // drawing needs a bitmap
}
