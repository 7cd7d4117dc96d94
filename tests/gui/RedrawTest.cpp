#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "IKnobControl.h"
#include "PIX_SysBitmap.h"

TEST(BoxTest, OnlyTheAllZeroBoxIsEmpty) {
  EXPECT_TRUE(IBox().IsEmpty());
  EXPECT_FALSE(IBox(5, 5, 5, 5).IsEmpty());  // no area, yet a region
  EXPECT_FALSE(IBox(0, 0, 0, 1).IsEmpty());
  EXPECT_FALSE(IBox().Overlaps(IBox(-10, -10, 10, 10)));
  EXPECT_FALSE(IBox(-10, -10, 10, 10).Overlaps(IBox()));
}

TEST(BoxTest, OverlapCountsTheFirstBoxsRightAndBottomEdges) {
  IBox a(10, 10, 20, 20);
  EXPECT_TRUE(a.Overlaps(IBox(20, 10, 30, 20)));   // b starts on a's right edge
  EXPECT_FALSE(IBox(20, 10, 30, 20).Overlaps(a));  // but not the other way round
  EXPECT_TRUE(a.Overlaps(IBox(10, 20, 20, 30)));
  EXPECT_FALSE(IBox(10, 20, 20, 30).Overlaps(a));
  EXPECT_FALSE(a.Overlaps(IBox(21, 10, 30, 20)));
  EXPECT_TRUE(a.Overlaps(IBox(15, 15, 16, 16)));
}

class RedrawTest : public ::testing::Test {
protected:
  RedrawTest() : g(&fx, 100, 50) { g.CreateDrawSurfaces(); }
  ProbeControl* Add(const IBox& box, const char* name) {
    auto* c = new ProbeControl(&fx, box, -1, &fx.log, name);
    g.AddControl(c);
    return c;
  }
  RecordingEffect fx;
  IGraphicsHeadless g;
};

TEST_F(RedrawTest, PluginValueRepaintsOnTwoTicksAndADragOnOne) {
  IBitmapRef art;  // no artwork: a 61-frame knob 100 pixels tall that paints nothing
  art.width = 10;
  art.height = 6100;
  art.frameCount = 61;
  auto* knob = new IKnobMultiControl(&fx, 0, 0, 2, art);
  g.AddControl(knob);

  EXPECT_TRUE(knob->NeedsPaint());  // new controls paint on the first tick
  EXPECT_TRUE(Tick(g));
  EXPECT_FALSE(Tick(g));

  knob->ReceivePluginValue(0.1);  // the first value only becomes the default
  EXPECT_FALSE(Tick(g));
  knob->ReceivePluginValue(0.3);
  EXPECT_TRUE(Tick(g));
  EXPECT_TRUE(knob->NeedsPaint());
  EXPECT_TRUE(Tick(g));
  EXPECT_FALSE(knob->NeedsPaint());
  EXPECT_FALSE(Tick(g));

  knob->ReceivePluginValue(0.3);  // unchanged: nothing to repaint
  EXPECT_FALSE(Tick(g));

  g.DispatchPointerDown(5, 50, Left());
  g.DispatchPointerDrag(5, 40, Left());
  EXPECT_TRUE(Tick(g));
  EXPECT_FALSE(Tick(g));
  g.DispatchPointerUp(5, 40, Left());

  knob->SetGrayed(true);
  EXPECT_TRUE(Tick(g));
  EXPECT_FALSE(Tick(g));
  knob->SetHidden(true);
  EXPECT_TRUE(Tick(g));
  EXPECT_TRUE(Tick(g));
  EXPECT_FALSE(Tick(g));
}

TEST_F(RedrawTest, UserAndLinkedValuesRepaintOnTwoTicks) {
  auto* c = new ProbeControl(&fx, IBox(0, 0, 10, 10), 1, &fx.log, "c");
  c->AddLinkedParam(3);
  g.AddControl(c);
  while (Tick(g)) {}

  c->ReceiveUserValue(0.4);
  EXPECT_EQ(fx.log, (std::vector<std::string>{"send 1 0.4"}));
  EXPECT_TRUE(Tick(g));
  EXPECT_TRUE(Tick(g));
  EXPECT_FALSE(Tick(g));
  c->ReceiveUserValue(0.4);  // unchanged: not sent, not repainted
  EXPECT_FALSE(Tick(g));
  EXPECT_EQ(fx.log.size(), 1u);

  c->ReceiveLinkedValue(0, 0.7);
  EXPECT_DOUBLE_EQ(c->LinkedValue(0), 0.7);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.4);
  EXPECT_TRUE(Tick(g));
  EXPECT_TRUE(Tick(g));
  EXPECT_FALSE(Tick(g));
  c->ReceiveLinkedValue(0, 0.7);
  EXPECT_FALSE(Tick(g));
  EXPECT_EQ(fx.log.size(), 1u);  // linked values are never sent back
}

TEST_F(RedrawTest, StrictRepaintPaintsControlsTouchingFromTheRightOnly) {
  ProbeControl* inside = Add(IBox(45, 0, 55, 10), "inside");
  ProbeControl* fromRight = Add(IBox(50, 0, 60, 10), "right");
  ProbeControl* fromLeft = Add(IBox(30, 0, 40, 10), "left");
  ProbeControl* below = Add(IBox(40, 10, 50, 20), "below");
  ProbeControl* hidden = Add(IBox(40, 0, 50, 10), "hidden");
  hidden->SetHidden(true);

  EXPECT_TRUE(g.PaintRegion(IBox(40, 0, 50, 10)));
  EXPECT_EQ(inside->paintCount, 1);
  EXPECT_EQ(fromRight->paintCount, 1);
  EXPECT_EQ(fromLeft->paintCount, 0);
  EXPECT_EQ(below->paintCount, 1);  // touching the bottom edge counts too
  EXPECT_EQ(hidden->paintCount, 0);
  EXPECT_EQ(g.ClipBox(), IBox(40, 0, 50, 10));
  EXPECT_EQ(g.PresentCount(), 1);
  EXPECT_EQ(g.LastPresented(), IBox(40, 0, 50, 10));
  // Painted or not, every control was marked painted; the hidden one still
  // has its second tick pending.
  EXPECT_FALSE(fromLeft->NeedsPaint());
  EXPECT_TRUE(hidden->NeedsPaint());
}

TEST_F(RedrawTest, AllZeroBoxNeverPaintsAndOnlyCountsWhenAlone) {
  ProbeControl* zero = Add(IBox(), "zero");
  ProbeControl* other = Add(IBox(10, 10, 20, 20), "other");

  IBox box;
  EXPECT_TRUE(g.CollectDirtyBox(box));  // both dirty: the zero box adds nothing
  EXPECT_EQ(box, IBox(10, 10, 20, 20));
  g.PaintRegion(IBox(0, 0, 100, 50));
  EXPECT_EQ(zero->paintCount, 0);
  EXPECT_EQ(other->paintCount, 1);

  zero->MarkChanged(false);
  EXPECT_TRUE(g.CollectDirtyBox(box));
  EXPECT_TRUE(box.IsEmpty());
  g.PaintRegion(box);
  EXPECT_EQ(zero->paintCount, 0);
  EXPECT_FALSE(g.CollectDirtyBox(box));
}

TEST_F(RedrawTest, DirtyBoxIsTheUnionOfChangedControls) {
  ProbeControl* a = Add(IBox(10, 5, 20, 15), "a");
  ProbeControl* b = Add(IBox(30, 2, 40, 12), "b");
  Add(IBox(60, 0, 70, 40), "c");
  Tick(g);
  IBox box;
  EXPECT_FALSE(g.CollectDirtyBox(box));
  a->MarkChanged(false);
  b->MarkChanged(false);
  EXPECT_TRUE(g.CollectDirtyBox(box));
  EXPECT_EQ(box, IBox(10, 2, 40, 15));
}

TEST_F(RedrawTest, EmptyEditorPaintsNothingAndSucceeds) {
  EXPECT_TRUE(g.PaintRegion(IBox(0, 0, 100, 50)));
  EXPECT_EQ(g.PresentCount(), 0);
}

TEST_F(RedrawTest, NonStrictRepaintPaintsChangedControlsWithTheirOverlaps) {
  g.SetStrictRepaint(false);
  ProbeControl* bg = Add(IBox(0, 0, 100, 50), "bg");
  ProbeControl* a = Add(IBox(10, 10, 20, 20), "a");
  ProbeControl* b = Add(IBox(60, 10, 70, 20), "b");
  g.PaintRegion(IBox(0, 0, 100, 50));  // background dirty: everything painted
  EXPECT_EQ(bg->paintCount, 1);
  EXPECT_EQ(a->paintCount, 1);
  EXPECT_EQ(b->paintCount, 1);

  a->MarkChanged(false);
  g.PaintRegion(IBox(10, 10, 20, 20));
  EXPECT_EQ(bg->paintCount, 2);  // beneath a
  EXPECT_EQ(a->paintCount, 2);
  EXPECT_EQ(b->paintCount, 1);
  EXPECT_EQ(g.ClipBox(), a->Box());
  EXPECT_FALSE(a->NeedsPaint());
}

TEST_F(RedrawTest, NonStrictRepaintTestsNeighboursAgainstTheChangedBox) {
  g.SetStrictRepaint(false);
  ProbeControl* bg = Add(IBox(0, 0, 100, 50), "bg");
  ProbeControl* a = Add(IBox(40, 10, 50, 20), "a");
  ProbeControl* leftOfA = Add(IBox(30, 10, 40, 20), "leftOfA");    // its right edge on a's left
  ProbeControl* rightOfA = Add(IBox(50, 10, 60, 20), "rightOfA");  // its left edge on a's right
  ProbeControl* hidden = Add(IBox(40, 10, 50, 20), "hidden");
  hidden->SetHidden(true);
  g.PaintRegion(IBox(0, 0, 100, 50));  // background changed: every visible control
  EXPECT_EQ(hidden->paintCount, 0);
  EXPECT_TRUE(hidden->NeedsPaint());  // not painted, so not marked painted either
  EXPECT_FALSE(bg->NeedsPaint());

  g.PaintRegion(IBox(40, 10, 50, 20));  // only the hidden control is still dirty
  EXPECT_EQ(hidden->paintCount, 0);
  EXPECT_EQ(a->paintCount, 2);  // what it uncovers is repainted
  EXPECT_EQ(bg->paintCount, 2);
  EXPECT_TRUE(hidden->NeedsPaint());  // its pending second tick
  g.PaintRegion(IBox(40, 10, 50, 20));
  EXPECT_FALSE(hidden->NeedsPaint());

  a->MarkChanged(false);
  g.PaintRegion(IBox(40, 10, 50, 20));
  EXPECT_EQ(a->paintCount, 4);
  EXPECT_EQ(bg->paintCount, 4);
  EXPECT_EQ(leftOfA->paintCount, 4);   // touching from the left counts
  EXPECT_EQ(rightOfA->paintCount, 1);  // touching from the right does not
  EXPECT_EQ(hidden->paintCount, 0);
}

TEST_F(RedrawTest, ResizeRebuildsSurfacesAndDropsControls) {
  Add(IBox(0, 0, 10, 10), "a");
  g.DispatchPointerDown(5, 5, Left());
  EXPECT_EQ(g.CapturedControl(), 0);
  g.SetEditorSize(40, 30);
  EXPECT_EQ(g.NControls(), 0);
  EXPECT_EQ(g.CapturedControl(), -1);
  EXPECT_EQ(g.LastPointerX(), -1);
  ASSERT_NE(g.DrawSurface(), nullptr);
  EXPECT_EQ(g.DrawSurface()->Width(), 40);
  EXPECT_EQ(fx.log.back(), "resize 40 30");
}

TEST_F(RedrawTest, ResizeDuringADragEndsTheGestureOnceAndForgetsTheHover) {
  auto* bound = new ProbeControl(&fx, IBox(0, 0, 10, 10), 2, &fx.log, "bound");
  g.AddControl(bound);
  g.SetHoverTracking(true);
  g.DispatchPointerOver(5, 5, IPointerMods());
  ASSERT_EQ(g.HoveredControl(), 0);
  g.DispatchPointerDown(5, 5, Left());
  fx.log.clear();

  g.SetEditorSize(40, 30);
  EXPECT_EQ(g.HoveredControl(), -1);
  g.DispatchPointerUp(5, 5, Left());  // the control is gone; the gesture was already closed
  g.DispatchPointerLeave();
  EXPECT_EQ(fx.log, (std::vector<std::string>{"end 2", "resize 40 30"}));
}
