#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>

#include "GuiTestSupport.h"
#include "IKnobControl.h"
#include "IResourceCaches.h"
#include "ISwitchControl.h"
#include "PIX_Font.h"
#include "PIX_Png.h"
#include "PIX_SysBitmap.h"

namespace {

std::map<int, std::vector<unsigned char>>& Table() {
  static std::map<int, std::vector<unsigned char>> table;
  return table;
}
int gTableLookups = 0;

const unsigned char* LookUp(int id, int* size) {
  ++gTableLookups;
  auto it = Table().find(id);
  if (it == Table().end()) return nullptr;
  *size = int(it->second.size());
  return it->second.data();
}

unsigned Background(int) { return 0xFF0A141Eu; }  // (10, 20, 30)
unsigned KnobFrames(int f) {
  static const unsigned colours[] = {0xFFC80000u, 0x80C86432u, 0x00FFFFFFu};  // opaque, half, clear
  return colours[f];
}
unsigned SwitchFrames(int f) { return f == 0 ? 0xFF00FF00u : 0xFF0000FFu; }

int Channel(unsigned p, int shift) { return int((p >> shift) & 0xFF); }

}  // namespace

TEST(ArtworkTest, OffscreenEditorCompositesRealArtwork) {
  Table()[9101] = EncodePng(40, 20, 1, Background);
  Table()[9102] = EncodePng(8, 6, 3, KnobFrames);
  Table()[9103] = EncodePng(6, 5, 2, SwitchFrames);
  RecordingEffect fx;
  auto* g = new IGraphicsHeadless(&fx, 40, 20, 25, LookUp);
  g->AddBackground(new IBitmapControl(&fx, 0, 0, -1, g->LoadArtwork(9101, "bg.png", 1), kBlendReplace));
  auto* knob = new IKnobMultiControl(&fx, 4, 4, 2, g->LoadArtwork(9102, "knob.png", 3));
  auto* sw = new ISwitchControl(&fx, 20, 4, 4, g->LoadArtwork(9103, "switch.png", 2));
  g->AddControl(knob);
  g->AddControl(sw);
  EXPECT_EQ(g->MissingArtworkCount(), 0);
  EXPECT_EQ(knob->Box(), IBox(4, 4, 12, 10));
  fx.BindGraphics(g);  // DRY 0 and BY 0: first frames
  g->PaintRegion(IBox(0, 0, 40, 20));

  EXPECT_EQ(PixelAt(*g, 0, 0), 0xFF0A141Eu);
  EXPECT_EQ(PixelAt(*g, 4, 4), 0xFFC80000u);
  EXPECT_EQ(PixelAt(*g, 25, 8), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(*g, 12, 4), 0xFF0A141Eu);  // just right of the knob

  knob->ReceivePluginValue(0.5);  // the half-transparent frame over the background
  sw->ReceivePluginValue(1.0);
  while (Tick(*g)) {}
  unsigned p = PixelAt(*g, 7, 7);
  EXPECT_NEAR(Channel(p, 16), 10 + (200 - 10) * 128 / 255, 2);
  EXPECT_NEAR(Channel(p, 8), 20 + (100 - 20) * 128 / 255, 2);
  EXPECT_NEAR(Channel(p, 0), 30 + (50 - 30) * 128 / 255, 2);
  EXPECT_EQ(PixelAt(*g, 25, 8), 0xFF0000FFu);

  knob->ReceivePluginValue(1.0);  // a clear frame leaves only the background
  while (Tick(*g)) {}
  EXPECT_EQ(PixelAt(*g, 7, 7) & 0xFFFFFF, 0x0A141Eu);

  // The written file holds exactly what the surface holds.
  std::string path = ::testing::TempDir() + "vellox_gui_surface.png";
  ASSERT_TRUE(g->WriteSurfacePng(path.c_str()));
  std::unique_ptr<PIX_IBitmap> back(LoadPngFromFile(path.c_str()));
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Width(), 40);
  ASSERT_EQ(back->Height(), 20);
  int differing = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) differing += back->PixelBits()[y * back->RowSpan() + x] != PixelAt(*g, x, y);
  EXPECT_EQ(differing, 0);
  std::remove(path.c_str());
}

TEST(ArtworkTest, DecodedArtworkIsSharedBetweenEditors) {
  Table()[9201] = EncodePng(5, 4, 3, KnobFrames);
  RecordingEffect fx;
  IGraphicsHeadless first(&fx, 10, 10, 25, LookUp);
  IGraphicsHeadless second(&fx, 10, 10, 25, LookUp);
  int before = gTableLookups;
  IBitmapRef a = first.LoadArtwork(9201, "a.png", 3);
  IBitmapRef b = second.LoadArtwork(9201, "a.png", 3);
  EXPECT_EQ(gTableLookups - before, 1);
  ASSERT_NE(a.bitmap, nullptr);
  EXPECT_EQ(a.bitmap, b.bitmap);
  EXPECT_EQ(a.width, 5);
  EXPECT_EQ(a.height, 12);
  EXPECT_EQ(a.frameCount, 3);
  EXPECT_FALSE(a.framesHorizontal);
}

TEST(ArtworkTest, FileIsTheFallbackWithoutATableEntry) {
  std::string path = ::testing::TempDir() + "vellox_gui_art.png";
  std::vector<unsigned char> png = EncodePng(3, 2, 1, Background);
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(png.data(), 1, png.size(), f);
  std::fclose(f);

  RecordingEffect fx;
  IGraphicsHeadless g(&fx, 10, 10, 25, LookUp);
  IBitmapRef ref = g.LoadArtwork(9401, path.c_str(), 1);
  ASSERT_NE(ref.bitmap, nullptr);
  EXPECT_EQ(ref.width, 3);
  EXPECT_EQ(ref.bitmap->PixelBits()[0], 0xFF0A141Eu);
  std::remove(path.c_str());
}

TEST(ArtworkTest, MissingArtworkPaintsNothingAndIsReported) {
  RecordingEffect fx;
  auto* g = new IGraphicsHeadless(&fx, 30, 30, 25, LookUp);
  int cached = ArtworkCache::Count();
  Table()[9302] = {1, 2, 3};  // not a PNG
  IBitmapRef missing = g->LoadArtwork(9301, "nowhere/missing.png", 61);
  IBitmapRef broken = g->LoadArtwork(9302, "broken.png", 2);
  EXPECT_EQ(g->MissingArtworkCount(), 2);
  EXPECT_EQ(missing.bitmap, nullptr);
  EXPECT_EQ(missing.width, 0);
  EXPECT_EQ(missing.height, 0);
  EXPECT_EQ(broken.bitmap, nullptr);
  EXPECT_EQ(ArtworkCache::Count(), cached);

  std::unique_ptr<PIX_MemBitmap> grey(MakeStrip(30, 30, 1, [](int) { return 0xFF808080u; }));
  g->AddBackground(new IBitmapControl(&fx, 0, 0, -1, BitmapRefOf(grey.get(), 1), kBlendReplace));
  auto* knob = new IKnobMultiControl(&fx, 5, 5, 0, missing);
  g->AddControl(knob);
  g->AddControl(new ISwitchControl(&fx, 10, 10, 4, broken));
  EXPECT_EQ(knob->Box(), IBox(5, 5, 5, 5));
  fx.BindGraphics(g);
  knob->ReceivePluginValue(0.9);
  while (Tick(*g)) {}
  g->PaintRegion(IBox(0, 0, 30, 30));
  int changed = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) changed += PixelAt(*g, x, y) != 0xFF808080u;
  EXPECT_EQ(changed, 0);
  g->DispatchPointerDown(5, 5, Left());  // no area to hit
  EXPECT_EQ(g->CapturedControl(), 0);

  // A failure is not remembered: once the artwork exists it loads.
  Table()[9301] = EncodePng(4, 4, 1, Background);
  IBitmapRef later = g->LoadArtwork(9301, "nowhere/missing.png", 1);
  EXPECT_NE(later.bitmap, nullptr);
  EXPECT_EQ(g->MissingArtworkCount(), 2);
}

TEST(TextTest, TextNeedsASystemFont) {
  RecordingEffect fx;
  IGraphicsHeadless g(&fx, 100, 40);
  g.CreateDrawSurfaces();
  ITextStyle style;
  IBox box(10, 10, 30, 20);
  EXPECT_TRUE(g.DrawTextInBox(style, "", box, true));
  EXPECT_TRUE(g.DrawTextInBox(style, nullptr, box, false));
  EXPECT_EQ(box, IBox(10, 10, 30, 20));

  std::unique_ptr<PIX_IFont> probe(CreateSystemFont("Verdana", 12, 0, 0, 0));
  int fonts = FontCache::Count();
  bool measured = g.MeasureTextExtent(style, "Hi", box);
  if (!probe) {
    // No text renderer on this platform: nothing drawn, nothing cached.
    EXPECT_FALSE(measured);
    EXPECT_EQ(box, IBox(10, 10, 30, 20));
    EXPECT_EQ(style.cachedFont, nullptr);
    EXPECT_EQ(FontCache::Count(), fonts);
    return;
  }
  ASSERT_TRUE(measured);
  ASSERT_NE(style.cachedFont, nullptr);
  const int cachedFonts = FontCache::Count();
  EXPECT_LE(cachedFonts, fonts + 1);
  // The text's own extent, measured by the font directly (no clipping, centred).
  PIX_Rect extent{0, 0, 0, 0};
  style.cachedFont->RenderText(g.DrawSurface(), "Hi", -1, &extent, 0x100 | 0x1 | 0x400);
  const int w = extent.right, h = extent.bottom;
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  EXPECT_EQ(box, IBox(20 - w / 2, 10, 20 - w / 2 + w, 10 + h));  // centred on x = 20

  IBox odd(10, 10, 31, 20);  // centre 20.5 is cut to 20
  g.MeasureTextExtent(style, "Hi", odd);
  EXPECT_EQ(odd.left, 20 - w / 2);
  IBox negative(-31, 0, 0, 10);  // centre -15.5 is cut toward zero, to -15
  g.MeasureTextExtent(style, "Hi", negative);
  EXPECT_EQ(negative.left, -(w / 2) - 15);
  EXPECT_EQ(negative.right, negative.left + w);

  style.alignment = TextAlignLeft;
  IBox left(10, 10, 30, 20);
  g.MeasureTextExtent(style, "Hi", left);
  EXPECT_EQ(left, IBox(10, 10, 10 + w, 10 + h));
  style.alignment = TextAlignRight;
  IBox right(10, 10, 30, 20);
  g.MeasureTextExtent(style, "Hi", right);
  EXPECT_EQ(right, IBox(30 - w, 10, 30, 10 + h));
  EXPECT_EQ(FontCache::Count(), cachedFonts);  // alignment does not choose the font
  ITextStyle same;
  IBox other(0, 0, 10, 10);
  g.MeasureTextExtent(same, "Hi", other);
  EXPECT_EQ(same.cachedFont, style.cachedFont);  // one font per distinct style
}
