#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "GuiTestSupport.h"
#include "IKnobControl.h"
#include "ISwitchControl.h"
#include "PIX_Bitmap.h"

// The audio thread sets parameters (under the plug-in lock, as the processing
// call does) while the user-interface thread ticks, paints and clicks. The
// audio thread never touches the editor; values must never tear, and the last
// value set must always end up on screen.
namespace {
const double kValues[] = {0.0, 0.25, 0.5, 0.75, 1.0};
unsigned FrameColour(int frame) { return 0xFF000000u | unsigned(frame + 1); }
bool IsDeliverable(double v) {
  for (double k : kValues)
    if (v == k) return true;
  return false;
}
}  // namespace

TEST(ThreadTest, AudioDeliveryRacesPaintingSafely) {
  std::unique_ptr<PIX_MemBitmap> knobArt(MakeStrip(6, 5, 61, FrameColour));
  std::unique_ptr<PIX_MemBitmap> switchArt(MakeStrip(6, 5, 2, FrameColour));
  std::unique_ptr<PIX_MemBitmap> bgArt(MakeStrip(60, 20, 1, [](int) { return 0xFF000000u; }));
  RecordingEffect fx;
  auto* g = new IGraphicsHeadless(&fx, 60, 20);
  g->AddBackground(new IBitmapControl(&fx, 0, 0, -1, BitmapRefOf(bgArt.get(), 1), kBlendReplace));
  std::vector<IControl*> knobs;
  for (int i = 0; i < 4; ++i) {
    knobs.push_back(new IKnobMultiControl(&fx, 2 + 8 * i, 2, i, BitmapRefOf(knobArt.get(), 61)));
    g->AddControl(knobs.back());
  }
  auto* sw = new ISwitchControl(&fx, 40, 2, 4, BitmapRefOf(switchArt.get(), 2));
  g->AddControl(sw);
  fx.BindGraphics(g);
  for (int i = 0; i < 4; ++i) fx.GetParam(i)->SetFromNormalized(kValues[0]);  // CHOP's default is not one of them
  Tick(*g);

  const int kDeliveries = 200000;
  std::atomic<bool> done{false};
  std::atomic<int> ticks{0};
  std::thread audio([&] {
    // Keeps going until the painter has had its share of turns, however the
    // two threads happen to be scheduled.
    for (int n = 0; n < kDeliveries || ticks < 500; ++n) {
      PlugLock hold(fx.Mutex());
      const double v = kValues[(n / 4 + n) % 5];
      fx.GetParam(n % 4)->SetFromNormalized(v);
    }
    PlugLock hold(fx.Mutex());
    for (int i = 0; i < 4; ++i) {
      fx.GetParam(i)->SetFromNormalized(kValues[i + 1]);
    }
    done = true;
  });

  int torn = 0;
  while (!done) {
    Tick(*g);
    ++ticks;
    if (ticks % 16 == 0) {
      g->DispatchPointerDown(42, 4, Left());  // the switch, edited from this thread
      g->DispatchPointerUp(42, 4, Left());
    }
    for (IControl* k : knobs) torn += !IsDeliverable(k->GetValue());
  }
  audio.join();
  EXPECT_EQ(torn, 0);

  int guard = 0;
  while (Tick(*g) && ++guard < 10) {}
  EXPECT_LT(guard, 10);
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(knobs[size_t(i)]->GetValue(), kValues[i + 1]);
    int frame = FrameForValue(61, kValues[i + 1]);
    EXPECT_EQ(PixelAt(*g, 2 + 8 * i, 2), FrameColour(frame - 1)) << "knob " << i;
  }
}

// A paint that finishes (MarkPainted) at the worst moment of a delivery, right
// after the control was marked dirty, must not lose the new value: the
// control stays dirty for the next tick.
TEST(ThreadTest, PaintFinishingMidDeliveryKeepsTheControlDirty) {
  struct PaintedMidway : ProbeControl {
    using ProbeControl::ProbeControl;
    void MarkChanged(bool notify) override {
      ProbeControl::MarkChanged(notify);
      MarkPainted();
    }
  };
  RecordingEffect fx;
  PaintedMidway c(&fx, IBox(0, 0, 5, 5), 0, &fx.log, "c");
  c.ReceivePluginValue(0.1);
  c.MarkPainted();
  ASSERT_FALSE(c.NeedsPaint());
  c.ReceivePluginValue(0.7);
  EXPECT_TRUE(c.NeedsPaint());
  c.ReceiveLinkedValue(0, 0.5);  // no such link: ignored
  c.AddLinkedParam(3);
  c.MarkPainted();
  c.ReceiveLinkedValue(0, 0.5);
  EXPECT_TRUE(c.NeedsPaint());
}

// A factor set on the host's thread reaches the editor on its next tick, so
// nothing at the old factor is freed under the painter; the last one wins.
TEST(ThreadTest, ContentScaleFromAnotherThreadWaitsForTheTick) {
  std::unique_ptr<PIX_MemBitmap> knobArt(MakeStrip(6, 5, 61, FrameColour));
  std::unique_ptr<PIX_MemBitmap> bgArt(MakeStrip(60, 20, 1, [](int) { return 0xFF102030u; }));
  RecordingEffect fx;
  auto build = [&] {
    auto g = std::make_unique<IGraphicsHeadless>(&fx, 60, 20);
    g->AddBackground(new IBitmapControl(&fx, 0, 0, -1, BitmapRefOf(bgArt.get(), 1), kBlendReplace));
    for (int i = 0; i < 4; ++i)
      g->AddControl(new IKnobMultiControl(&fx, 2 + 8 * i, 2, i, BitmapRefOf(knobArt.get(), 61)));
    g->CreateDrawSurfaces();
    return g;
  };
  std::unique_ptr<IGraphicsHeadless> g = build(), direct = build();
  Tick(*g);
  std::atomic<bool> done{false};
  std::atomic<int> ticks{0};
  std::thread host([&] {
    const double kFactors[] = {1.5, 2.0, 3.0, 1.0, 2.5, 1.25};
    for (int n = 0; n < 3000 || ticks < 300; ++n) EXPECT_TRUE(g->SetContentScale(kFactors[n % 6]));
    EXPECT_TRUE(g->SetContentScale(2.5));
    EXPECT_FALSE(g->SetContentScale(3.5));
    done = true;
  });
  for (; !done; ++ticks) {
    g->MarkAllChanged();
    Tick(*g);
  }
  host.join();
  ASSERT_TRUE(direct->SetContentScale(2.5));
  Tick(*direct);
  g->MarkAllChanged();
  Tick(*g);
  EXPECT_EQ(g->ContentScale(), 2.5);
  EXPECT_EQ(g->DeviceWidth(), 150);
  int differing = 0;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 150; ++x) differing += PixelAt(*g, x, y) != PixelAt(*direct, x, y);
  EXPECT_EQ(differing, 0);
}
