#include <gtest/gtest.h>

#include <memory>

#include "GuiTestSupport.h"
#include "IKnobControl.h"
#include "PIX_Bitmap.h"
#include "PIX_Blit.h"

namespace {

// Every source pixel names its own position: 0xFF000000 | x << 12 | y.
PIX_MemBitmap* PositionStrip(int w, int h) {
  auto* bitmap = new PIX_MemBitmap();
  bitmap->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bitmap->PixelBits()[y * bitmap->RowSpan() + x] = 0xFF000000u | unsigned(x << 12) | unsigned(y);
  return bitmap;
}

unsigned SourceAt(int x, int y) { return 0xFF000000u | unsigned(x << 12) | unsigned(y); }

}  // namespace

TEST(BlendModeTest, MethodsSelectTheirCompositingModes) {
  EXPECT_EQ(BlendModeOf(kBlendAlpha), ModeUseSourceAlpha | ModeCopy);
  EXPECT_EQ(BlendModeOf(kBlendReplace), ModeCopy);
  EXPECT_EQ(BlendModeOf(kBlendAdditive), ModeUseSourceAlpha | ModeAdd);
  EXPECT_EQ(BlendModeOf(kBlendColourDodge), ModeUseSourceAlpha | ModeDodge);
  EXPECT_EQ(BlendModeOf(4), ModeUseSourceAlpha | ModeCopy);
  EXPECT_EQ(BlendModeOf(-1), ModeUseSourceAlpha | ModeCopy);
}

class DrawFrameTest : public ::testing::Test {
protected:
  DrawFrameTest() : g(&fx, 60, 60) { g.CreateDrawSurfaces(); }
  RecordingEffect fx;
  IGraphicsHeadless g;
};

// A repaint region cutting through a knob: only the covered part is drawn,
// from the matching place of the chosen frame.
TEST_F(DrawFrameTest, ClippedFrameKeepsItsSourceOffsets) {
  std::unique_ptr<PIX_MemBitmap> strip(PositionStrip(4, 30));  // 3 frames of 4 x 10
  auto* knob = new IKnobMultiControl(&fx, 20, 20, 0, BitmapRefOf(strip.get(), 3));
  g.AddControl(knob);
  ASSERT_EQ(knob->Box(), IBox(20, 20, 24, 30));
  knob->SetValue(0.5);  // frame 2, ten rows down the strip
  const unsigned before = PixelAt(g, 20, 20);

  g.PaintRegion(IBox(22, 25, 40, 40));
  EXPECT_EQ(PixelAt(g, 22, 25), SourceAt(2, 15));
  EXPECT_EQ(PixelAt(g, 23, 29), SourceAt(3, 19));
  EXPECT_EQ(PixelAt(g, 21, 25), before);  // left of the region
  EXPECT_EQ(PixelAt(g, 22, 24), before);  // above it
  EXPECT_EQ(PixelAt(g, 20, 20), before);
}

TEST_F(DrawFrameTest, DestinationTouchingTheClipDrawsNothingButSucceeds) {
  std::unique_ptr<PIX_MemBitmap> strip(PositionStrip(4, 10));
  const unsigned before = PixelAt(g, 10, 10);
  g.AddControl(new ProbeControl(&fx, IBox(14, 10, 30, 30), -1, &fx.log, "clip"));
  g.PaintRegion(IBox(14, 10, 30, 30));
  ASSERT_EQ(g.ClipBox(), IBox(14, 10, 30, 30));
  // Its right edge lies on the clip's left edge: they overlap, with no area.
  EXPECT_TRUE(g.DrawBitmapFrame(BitmapRefOf(strip.get(), 1), IBox(10, 10, 14, 20), 0, 0));
  for (int x = 10; x < 16; ++x) EXPECT_EQ(PixelAt(g, x, 10), before) << x;
  // The other way round they do not overlap at all.
  EXPECT_TRUE(g.DrawBitmapFrame(BitmapRefOf(strip.get(), 1), IBox(30, 10, 34, 20), 0, 0));
  EXPECT_EQ(PixelAt(g, 30, 10), before);
}

TEST_F(DrawFrameTest, SideBySideFramesOffsetAlongX) {
  std::unique_ptr<PIX_MemBitmap> strip(PositionStrip(12, 10));  // 3 frames of 4 x 10
  IBitmapRef art = BitmapRefOf(strip.get(), 3);
  art.framesHorizontal = true;
  auto* knob = new IKnobMultiControl(&fx, 5, 5, 0, art);
  g.AddControl(knob);
  ASSERT_EQ(knob->Box(), IBox(5, 5, 9, 15));

  knob->SetValue(1.0);
  g.PaintRegion(IBox(0, 0, 60, 60));
  EXPECT_EQ(PixelAt(g, 5, 5), SourceAt(8, 0));
  EXPECT_EQ(PixelAt(g, 8, 14), SourceAt(11, 9));
  knob->SetValue(0.0);
  g.PaintRegion(IBox(0, 0, 60, 60));
  EXPECT_EQ(PixelAt(g, 5, 5), SourceAt(0, 0));
}
