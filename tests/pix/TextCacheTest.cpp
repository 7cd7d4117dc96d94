// The glyph cache: masks, compositing, measuring and the UTF-8 walk.
#include <gtest/gtest.h>

#include "PIX_Blit.h"
#include "TextTestUtil.h"

namespace {
constexpr PixelWord kPaper = 0x00123456;

std::unique_ptr<PIX_CachedFont> CacheFont(int height, int flags = FontOwnsHandle) {
  ForceWineDetection(1);
  return MakeFont(height, flags);
}
}  // namespace

TEST(TextCache, FullCoverageSetsTextColourWithOpaqueAlpha) {
  auto font = CacheFont(24);
  font->ChangeTextColour(0x40FF8000);  // its alpha byte plays no part without TextAlphaFromColour
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(60, 40, kPaper));
  PIX_Rect r = {0, 0, 60, 40};
  EXPECT_GT(font->RenderText(bm.get(), "I", -1, &r, 0), 0);
  int inked = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const PixelWord p = Px(bm.get(), x, y);
      if (p == kPaper) continue;
      ++inked;
      EXPECT_EQ(p, 0xFFFF8000u) << x << "," << y;
    }
  EXPECT_GT(inked, 10);
}

TEST(TextCache, LineHeightAbove1023CachesNothing) {
  auto font = CacheFont(1024, FontOwnsHandle);
  ASSERT_GT(font->LineHeight(), 1023);
  EXPECT_FALSE(font->CacheGlyph('A'));
  EXPECT_EQ(font->FindGlyph('A')->offset, 0);
  EXPECT_FALSE(font->CacheGlyph(0x20AC));
}

TEST(TextCache, RenderGlyphNeedsACachedRecord) {
  auto font = CacheFont(16);
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(40, 40, kPaper));
  const PIX_Rect clip = {0, 0, 40, 40};
  EXPECT_FALSE(font->RenderGlyph(bm.get(), 'A', 5, 5, &clip));
  EXPECT_FALSE(font->RenderGlyph(bm.get(), 0x416, 5, 5, &clip));
  EXPECT_EQ(FindInk(bm.get(), kPaper).count, 0);
  ASSERT_TRUE(font->CacheGlyph('A'));
  EXPECT_TRUE(font->RenderGlyph(bm.get(), 'A', 5, 5, &clip));
  EXPECT_GT(FindInk(bm.get(), kPaper).count, 0);
  const PIX_Rect outside = {100, 100, 120, 120};
  EXPECT_FALSE(font->RenderGlyph(bm.get(), 'A', 5, 5, &outside));
}

TEST(TextCache, ExtendedRecordsAreSortedAndFound) {
  auto font = CacheFont(16);
  for (int code : {0x416, 0xE9, 0x20AC, 0x100}) EXPECT_TRUE(font->CacheGlyph(code)) << code;
  for (int code : {0xE9, 0x100, 0x416, 0x20AC}) {
    const GlyphRecord* rec = font->FindGlyph(code);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->code, (uint32_t)code);
    EXPECT_GT(rec->offset, 0);
    EXPECT_GT(rec->advance, 0);
  }
  EXPECT_EQ(font->FindGlyph(0x417), nullptr);

  auto ascii = CacheFont(16, FontOwnsHandle | FontPrecacheAscii);
  EXPECT_GT(ascii->FindGlyph('Q')->offset, 0);
  EXPECT_FALSE(ascii->CacheGlyph(0xE9));
  EXPECT_EQ(ascii->FindGlyph(0xE9), nullptr);
}

TEST(TextCache, Utf8SequencesAsDrawn) {
  auto font = CacheFont(16);
  // A four-byte sequence is drawn as a space.
  EXPECT_EQ(Measure(font.get(), nullptr,
                    "a\xF0\x9F\x98\x80"
                    "b")
                .right,
            Measure(font.get(), nullptr, "a b").right);
  // A lone 0xE9 byte is code 0xE9, the same character as the pair C3 A9.
  const PIX_Rect lone = Measure(font.get(), nullptr, "\xE9");
  EXPECT_GT(lone.right, 0);
  EXPECT_NE(font->FindGlyph(0xE9), nullptr);
  EXPECT_EQ(Measure(font.get(), nullptr, "\xC3\xA9").right, lone.right);
}

TEST(TextCache, LineFeeds) {
  auto font = CacheFont(16);
  const int line = font->LineHeight();
  const PIX_Rect single = Measure(font.get(), nullptr, "a\nb", DT_SINGLELINE);
  const PIX_Rect spaced = Measure(font.get(), nullptr, "a b");
  EXPECT_EQ(single.right, spaced.right);
  EXPECT_EQ(single.bottom, spaced.bottom);

  const PIX_Rect two = Measure(font.get(), nullptr, "a\nb");
  EXPECT_EQ(two.bottom, line + spaced.bottom);
  EXPECT_LT(two.right, spaced.right);
  font->SetExtraLineSpacing(7);
  EXPECT_EQ(Measure(font.get(), nullptr, "a\nb").bottom, line + 7 + spaced.bottom);
  EXPECT_EQ(Measure(font.get(), nullptr, "a\r\nb").bottom, line + 7 + spaced.bottom);
}

TEST(TextCache, AlignmentPlacesMeasuredBlock) {
  auto font = CacheFont(16);
  const PIX_Rect size = Measure(font.get(), nullptr, "WW");
  const PIX_Rect box = {10, 0, 110, 40};
  auto drawn = [&](uint32_t format) {
    std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(120, 40, kPaper));
    PIX_Rect r = box;
    font->RenderText(bm.get(), "WW", -1, &r, format);
    return FindInk(bm.get(), kPaper);
  };
  const Ink left = drawn(0), right = drawn(DT_RIGHT), centre = drawn(DT_CENTER);
  const Ink bottom = drawn(DT_BOTTOM), middle = drawn(DT_VCENTER);
  ASSERT_GT(left.count, 0);
  EXPECT_EQ(right.left - left.left, 100 - size.right);
  EXPECT_EQ(centre.left - left.left, (100 - size.right) / 2);
  EXPECT_EQ(bottom.top - left.top, 40 - size.bottom);
  EXPECT_EQ(middle.top - left.top, (40 - size.bottom) / 2);
  EXPECT_EQ(right.count, left.count);
}

TEST(TextCache, ClipsToRectangleUnlessNoClip) {
  auto font = CacheFont(16);
  auto draw = [&](uint32_t format) {
    std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(100, 30, kPaper));
    PIX_Rect r = {0, 0, 12, 30};
    font->RenderText(bm.get(), "WWWW", -1, &r, format);
    return FindInk(bm.get(), kPaper);
  };
  EXPECT_LT(draw(0).right, 12);
  EXPECT_GE(draw(DT_NOCLIP).right, 12);
}

TEST(TextCache, OpaqueBackgroundAndBlendModes) {
  auto font = CacheFont(16);
  font->ChangeBackMode(2);
  font->ChangeBackColour(0xFF00FF00);
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(60, 30, kPaper));
  PIX_Rect r = {0, 0, 60, 30};
  font->RenderText(bm.get(), "o", -1, &r, 0);
  bool sawBackground = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) sawBackground |= Px(bm.get(), x, y) == 0xFF00FF00u;
  EXPECT_TRUE(sawBackground);

  // Add mode with a mid-grey colour over black only ever brightens by the colour.
  auto adder = CacheFont(16);
  adder->ChangeTextColour(0xFF404040);
  adder->ChangeBlend(ModeAdd, 1.0f);
  std::unique_ptr<PIX_MemBitmap> dark(FilledBitmap(60, 30, 0xFF000000));
  adder->RenderText(dark.get(), "I", -1, &r, 0);
  const Ink ink = FindInk(dark.get(), 0xFF000000);
  EXPECT_GT(ink.count, 0);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) EXPECT_LE(Px(dark.get(), x, y) & 0xFF, 0x40u);
}

TEST(TextCache, ZeroWeightSkipsAntialiasedTextButNotSolidMasks) {
  PIX_Rect r = {0, 0, 60, 30};
  // alpha 0.002 gives weight 0: antialiased text draws nothing.
  auto soft = CacheFont(16);
  soft->ChangeBlend(ModeHsvAdjust, 0.002f);
  std::unique_ptr<PIX_MemBitmap> untouched(FilledBitmap(60, 30, kPaper));
  soft->RenderText(untouched.get(), "I", -1, &r, 0);
  EXPECT_EQ(FindInk(untouched.get(), kPaper).count, 0);
  // A solid mask is still blended; the hue adjustment sets the alpha byte.
  auto mono = CacheFont(16, FontOwnsHandle | FontMono);
  mono->ChangeBlend(ModeHsvAdjust, 0.002f);
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(60, 30, kPaper));
  mono->RenderText(bm.get(), "I", -1, &r, 0);
  const Ink ink = FindInk(bm.get(), kPaper);
  EXPECT_GT(ink.count, 0);
  for (int y = ink.top; y <= ink.bottom; ++y)
    for (int x = ink.left; x <= ink.right; ++x)
      if (Px(bm.get(), x, y) != kPaper) {
        PixelWord expected = kPaper;
        CombineHsvAdjust(&expected, 0, 0, 0, 255, 0);
        EXPECT_EQ(Px(bm.get(), x, y), expected) << x << "," << y;
      }
}

TEST(TextCache, VerticalFontSwapsAxes) {
  auto across = CacheFont(16);
  HFONT handle = (HFONT)across->FontHandle();
  PIX_CachedFont down;
  down.AttachFontHandle(handle, FontVertical);  // shares the handle, does not own it
  const PIX_Rect h = Measure(across.get(), nullptr, "abc");
  const PIX_Rect v = Measure(&down, nullptr, "abc");
  EXPECT_EQ(v.right, h.bottom);
  EXPECT_EQ(v.bottom, h.right);
  EXPECT_EQ(down.FindGlyph('a')->width, across->FindGlyph('a')->height);
}

TEST(TextCache, MonoAndOutlineMasks) {
  auto outline = CacheFont(20, FontOwnsHandle | FontOutline);
  outline->ChangeTextColour(0xFF000000);
  outline->ChangeEffectColour(0xFFFFFFFF);
  std::unique_ptr<PIX_MemBitmap> bm(FilledBitmap(60, 40, 0xFF808080));
  PIX_Rect r = {0, 0, 60, 40};
  outline->RenderText(bm.get(), "I", -1, &r, 0);
  int black = 0, white = 0, other = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const PixelWord p = Px(bm.get(), x, y);
      black += p == 0xFF000000u, white += p == 0xFFFFFFFFu;
      other += p != 0xFF000000u && p != 0xFFFFFFFFu && p != 0xFF808080u;
    }
  EXPECT_GT(black, 0);
  EXPECT_GT(white, black / 2);  // the outline surrounds the ink
  EXPECT_EQ(other, 0);
}

TEST(TextCache, SharedSurfacesLiveWithFonts) {
  const int before = PIX_CachedFont::LiveFontCount;
  {
    auto font = CacheFont(16);
    EXPECT_EQ(PIX_CachedFont::LiveFontCount, before + 1);
    ASSERT_NE(PIX_CachedFont::GlyphSurface, nullptr);
    EXPECT_GE(PIX_CachedFont::GlyphSurface->Width(), 256);
  }
  EXPECT_EQ(PIX_CachedFont::LiveFontCount, before);
  if (before == 0) {
    EXPECT_EQ(PIX_CachedFont::GlyphSurface, nullptr);
  }
}

TEST(TextCache, SystemFontFactory) {
  std::unique_ptr<PIX_IFont> font(CreateSystemFont("Tahoma", 20, 0, 1, 2));
  ASSERT_TRUE(font);
  EXPECT_NE(font->FontHandle(), nullptr);
  EXPECT_EQ(font->LineHeight(), 20);
  EXPECT_EQ(font->ChangeTextColour(0xFF112233), 0u);
  EXPECT_EQ(font->CurrentTextColour(), 0xFF112233u);
  EXPECT_EQ(font->ChangeBackMode(2), 1);
}
