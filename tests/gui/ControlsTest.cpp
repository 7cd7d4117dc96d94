#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "GuiTestSupport.h"
#include "IKnobControl.h"
#include "ISwitchControl.h"
#include "IURLControl.h"
#include "PIX_Bitmap.h"

static unsigned FrameColour(int frame) { return 0xFF000000u | unsigned(frame + 1); }

TEST(FrameChoiceTest, RoundsHalfUpAndStaysInRange) {
  EXPECT_EQ(FrameForValue(61, 0.0), 1);
  EXPECT_EQ(FrameForValue(61, 0.5), 31);
  EXPECT_EQ(FrameForValue(61, 1.0), 61);
  EXPECT_EQ(FrameForValue(2, 0.49), 1);
  EXPECT_EQ(FrameForValue(2, 0.5), 2);
  EXPECT_EQ(FrameForValue(61, -3.0), 1);
  EXPECT_EQ(FrameForValue(61, 7.0), 61);
  EXPECT_EQ(FrameForValue(61, std::nan("")), 1);
  EXPECT_EQ(FrameForValue(1, 0.7), 1);
}

class ControlsTest : public ::testing::Test {
protected:
  ControlsTest() : g(&fx, 200, 120) { g.CreateDrawSurfaces(); }
  // Paints the whole editor (strict repaint paints clean controls too) and reads the frame number a strip control shows.
  int ShownFrame(const IControl* c) {
    g.PaintRegion(IBox(0, 0, 200, 120));
    return int(PixelAt(g, c->Box().left, c->Box().top) & 0xFFFF);
  }
  RecordingEffect fx;
  IGraphicsHeadless g;
};

TEST_F(ControlsTest, FilmstripsShowTheFrameForTheirValue) {
  std::unique_ptr<PIX_MemBitmap> knobArt(MakeStrip(8, 97, 61, FrameColour));
  std::unique_ptr<PIX_MemBitmap> switchArt(MakeStrip(6, 53, 2, FrameColour));
  auto* knob = new IKnobMultiControl(&fx, 10, 5, 0, BitmapRefOf(knobArt.get(), 61));
  auto* sw = new ISwitchControl(&fx, 30, 5, 4, BitmapRefOf(switchArt.get(), 2), kBlendReplace);
  g.AddControl(knob);
  g.AddControl(sw);
  EXPECT_EQ(knob->Box(), IBox(10, 5, 18, 102));
  EXPECT_EQ(sw->Box(), IBox(30, 5, 36, 58));

  EXPECT_EQ(ShownFrame(knob), 1);
  knob->SetValue(0.5);
  EXPECT_EQ(ShownFrame(knob), 31);
  knob->SetValue(1.0);
  EXPECT_EQ(ShownFrame(knob), 61);
  knob->SetValue(1.7);  // stored unclamped, shown as the last frame
  EXPECT_EQ(ShownFrame(knob), 61);

  sw->SetValue(0.49);
  EXPECT_EQ(ShownFrame(sw), 1);
  sw->SetValue(0.5);
  EXPECT_EQ(ShownFrame(sw), 2);
}

TEST_F(ControlsTest, FrameCountBelowOneIsOneFrame) {
  std::unique_ptr<PIX_MemBitmap> art(MakeStrip(8, 12, 1, FrameColour));
  auto* still = new IBitmapControl(&fx, 10, 5, -1, BitmapRefOf(art.get(), 0));
  auto* knob = new IKnobMultiControl(&fx, 30, 5, 0, BitmapRefOf(art.get(), -2));
  g.AddControl(still);
  g.AddControl(knob);
  EXPECT_EQ(still->Artwork().frameCount, 1);
  EXPECT_EQ(knob->Artwork().frameCount, 1);
  EXPECT_EQ(still->Box(), IBox(10, 5, 18, 17));  // the whole strip
  EXPECT_EQ(knob->Box(), IBox(30, 5, 38, 17));
  knob->SetValue(1.0);
  EXPECT_EQ(ShownFrame(knob), 1);
  EXPECT_EQ(ShownFrame(still), 1);
}

class KnobTest : public ControlsTest {
protected:
  KnobTest() {
    IBitmapRef art;  // 61 frames of 10 x 100
    art.width = 10;
    art.height = 6100;
    art.frameCount = 61;
    knob = new IKnobMultiControl(&fx, 50, 10, 1, art);
    g.AddControl(knob);
  }
  void Drag(int dy, IPointerMods mods) {
    g.DispatchPointerDown(55, 60, mods);
    g.DispatchPointerDrag(55, 60 + dy, mods);
    g.DispatchPointerUp(55, 60 + dy, mods);
  }
  IKnobMultiControl* knob;
};

TEST_F(KnobTest, DragUpFortyPixelsOfAHundredAddsATenth) {
  ASSERT_EQ(knob->Box().Height(), 100);
  knob->SetValue(0.5);
  Drag(-40, Left());
  EXPECT_NEAR(knob->GetValue(), 0.6, 1e-12);
  EXPECT_EQ(fx.log, (std::vector<std::string>{"begin 1", "send 1 0.6", "end 1"}));
  EXPECT_NEAR(fx.GetParam(1)->Value(), 0.6, 1e-12);

  IPointerMods fine = Left();
  fine.shift = true;
  Drag(-40, fine);
  EXPECT_NEAR(knob->GetValue(), 0.61, 1e-12);
  fine.shift = false;
  fine.control = true;
  Drag(40, fine);
  EXPECT_NEAR(knob->GetValue(), 0.6, 1e-12);
}

TEST_F(KnobTest, DragPastTheEndClampsAndLosesTheExcess) {
  knob->SetValue(0.95);
  g.DispatchPointerDown(55, 60, Left());
  g.DispatchPointerDrag(55, 20, Left());  // +0.1 would be 1.05
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  g.DispatchPointerDrag(55, 60, Left());  // back down lowers at once
  EXPECT_NEAR(knob->GetValue(), 0.9, 1e-12);
  g.DispatchPointerUp(55, 60, Left());
}

TEST_F(KnobTest, HorizontalKnobFollowsX) {
  knob->SetDirection(kKnobHorizontal);  // 10 pixels wide
  knob->SetValue(0.0);
  g.DispatchPointerDown(55, 60, Left());
  g.DispatchPointerDrag(57, 30, Left());
  EXPECT_NEAR(knob->GetValue(), 0.05, 1e-12);
}

TEST_F(KnobTest, WheelNotchesStepByAHundredthOrAThousandth) {
  knob->SetValue(0.5);
  g.DispatchWheel(55, 60, IPointerMods(), 3);
  EXPECT_NEAR(knob->GetValue(), 0.53, 1e-12);
  IPointerMods fine;
  fine.control = true;
  g.DispatchWheel(55, 60, fine, 3);
  EXPECT_NEAR(knob->GetValue(), 0.533, 1e-12);
  g.DispatchWheel(55, 60, IPointerMods(), -100);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  // The notches are one edit gesture, still open.
  EXPECT_EQ(fx.log, (std::vector<std::string>{"begin 1", "send 1 0.53", "send 1 0.533", "send 1 0"}));
}

TEST_F(KnobTest, DoubleClickRestoresTheFirstPluginValue) {
  g.DispatchDoubleClick(55, 60, Left());  // no plug-in value yet: a gesture that changes nothing
  EXPECT_EQ(fx.log, (std::vector<std::string>{"begin 1", "end 1"}));
  fx.log.clear();

  knob->ReceivePluginValue(0.5);
  knob->ReceivePluginValue(0.8);
  EXPECT_DOUBLE_EQ(knob->DefaultValue(), 0.5);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.8);
  EXPECT_TRUE(fx.log.empty());  // values from the plug-in are not sent back
  g.DispatchDoubleClick(55, 60, Left());
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
  EXPECT_EQ(fx.log, (std::vector<std::string>{"begin 1", "send 1 0.5", "end 1"}));
}

TEST_F(KnobTest, GrayedKnobPaintsAtAQuarterAndIsTransparentToThePointer) {
  std::unique_ptr<PIX_MemBitmap> black(MakeStrip(200, 120, 1, [](int) { return 0xFF000000u; }));
  std::unique_ptr<PIX_MemBitmap> white(MakeStrip(10, 10, 1, [](int) { return 0xFFFFFFFFu; }));
  auto* bg = new IBitmapControl(&fx, 0, 0, -1, BitmapRefOf(black.get(), 1), kBlendReplace);
  g.AddBackground(bg);
  auto* patch = new IBitmapControl(&fx, 100, 50, 2, BitmapRefOf(white.get(), 1));
  g.AddControl(patch);

  patch->SetGrayed(true);
  EXPECT_FLOAT_EQ(patch->Blend().weight, 0.25f);
  g.PaintRegion(IBox(0, 0, 200, 120));
  unsigned red = (PixelAt(g, 105, 55) >> 16) & 0xFF;
  EXPECT_NEAR(int(red), 64, 2);
  EXPECT_EQ(g.ControlAt(105, 55), 0);  // the background beneath it

  knob->SetGrayed(true);
  g.DispatchPointerDown(55, 60, Left());
  EXPECT_EQ(g.CapturedControl(), 0);
  EXPECT_TRUE(fx.log.empty());

  patch->SetGrayed(false);
  EXPECT_FLOAT_EQ(patch->Blend().weight, 1.0f);
  g.PaintRegion(IBox(0, 0, 200, 120));
  EXPECT_EQ(PixelAt(g, 105, 55), 0xFFFFFFFFu);
  EXPECT_EQ(g.ControlAt(105, 55), 2);
}

TEST_F(ControlsTest, SwitchesCycleThroughTheirStates) {
  IBitmapRef two;
  two.width = 10;
  two.height = 20;
  two.frameCount = 2;
  IBitmapRef three = two;
  three.height = 30;
  three.frameCount = 3;
  auto* sw2 = new ISwitchControl(&fx, 0, 0, 4, two);
  auto* sw3 = new ISwitchControl(&fx, 20, 0, 2, three);
  g.AddControl(sw2);
  g.AddControl(sw3);

  std::vector<double> seen2, seen3;
  for (int i = 0; i < 3; ++i) {
    g.DispatchPointerDown(5, 5, Left());
    g.DispatchPointerUp(5, 5, Left());
    seen2.push_back(sw2->GetValue());
  }
  for (int i = 0; i < 4; ++i) {
    g.DispatchPointerDown(25, 5, Left());
    g.DispatchPointerUp(25, 5, Left());
    seen3.push_back(sw3->GetValue());
  }
  EXPECT_EQ(seen2, (std::vector<double>{1.0, 0.0, 1.0}));
  EXPECT_EQ(seen3, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
  EXPECT_DOUBLE_EQ(fx.GetParam(4)->Value(), 1.0);

  // The second press of a double click advances once more, in a gesture of its own.
  fx.log.clear();
  g.DispatchPointerDown(5, 5, Left());
  g.DispatchPointerUp(5, 5, Left());
  g.DispatchDoubleClick(5, 5, Left());
  EXPECT_DOUBLE_EQ(sw2->GetValue(), 1.0);
  EXPECT_EQ(fx.log, (std::vector<std::string>{"begin 4", "send 4 0", "end 4", "begin 4", "send 4 1", "end 4"}));
}

TEST_F(ControlsTest, LinkAreaIsInvisibleAndOpensItsAddress) {
  struct WebRecorder : IGraphicsHeadless {
    using IGraphicsHeadless::IGraphicsHeadless;
    bool OpenWebAddress(const char* address, const char* title, const char* confirmation,
                        const char* errorText) override {
      opened.push_back(address);
      return succeed;
    }
    std::vector<std::string> opened;
    bool succeed = false;
  } web(&fx, 200, 120);
  web.CreateDrawSurfaces();
  std::unique_ptr<PIX_MemBitmap> grey(MakeStrip(200, 120, 1, [](int) { return 0xFF808080u; }));
  web.AddBackground(new IBitmapControl(&fx, 0, 0, -1, BitmapRefOf(grey.get(), 1), kBlendReplace));
  auto* link = new IURLControl(&fx, IBox(150, 100, 250, 200), "https://example.com/vellox");
  web.AddControl(link);

  web.PaintRegion(IBox(0, 0, 200, 120));
  EXPECT_EQ(PixelAt(web, 160, 110), 0xFF808080u);

  web.DispatchPointerDown(160, 110, Left());
  web.DispatchPointerDown(140, 110, Left());  // outside: the background
  EXPECT_EQ(web.opened, (std::vector<std::string>{"https://example.com/vellox"}));

  link->SetFallbackAddress("https://example.com/");
  web.DispatchPointerDown(199, 119, Left());
  EXPECT_EQ(web.opened.size(), 3u);
  EXPECT_EQ(web.opened.back(), "https://example.com/");
  web.succeed = true;
  web.DispatchPointerDown(199, 119, Left());
  EXPECT_EQ(web.opened.size(), 4u);
  EXPECT_TRUE(fx.log.empty());  // unbound: no edit gestures
}
