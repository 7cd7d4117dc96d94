#include <gtest/gtest.h>

#include <functional>

#include "GuiTestSupport.h"

using Log = std::vector<std::string>;

// Background (unbound), a bound control "a" (parameter 2) and an unbound
// control "u", with "top" (parameter 3) partly covering "a".
class RoutingTest : public ::testing::Test {
protected:
  explicit RoutingTest(int adapterKind = 1) : fx(adapterKind), g(&fx, 100, 100) {
    bg = Probe(IBox(0, 0, 100, 100), -1, "bg");
    a = Probe(IBox(10, 10, 40, 40), 2, "a");
    u = Probe(IBox(50, 10, 80, 40), -1, "u");
    top = Probe(IBox(30, 30, 60, 60), 3, "top");
  }
  ProbeControl* Probe(const IBox& box, int param, const char* name) {
    auto* c = new ProbeControl(&fx, box, param, &fx.log, name);
    g.AddControl(c);
    return c;
  }
  RecordingEffect fx;
  IGraphicsHeadless g;
  ProbeControl *bg, *a, *u, *top;
};

TEST_F(RoutingTest, HitTestPicksTheTopmostVisibleEnabledControl) {
  EXPECT_EQ(g.ControlAt(35, 35), 3);
  EXPECT_EQ(g.ControlAt(20, 20), 1);
  EXPECT_EQ(g.ControlAt(40, 20), 0);  // right edge is outside
  EXPECT_EQ(g.ControlAt(100, 50), -1);
  top->SetGrayed(true);
  EXPECT_EQ(g.ControlAt(35, 35), 1);
  top->SetGrayed(false);
  top->SetHidden(true);
  EXPECT_EQ(g.ControlAt(35, 35), 1);
}

TEST_F(RoutingTest, PressDragReleaseOpensAndClosesTheEditGesture) {
  g.DispatchPointerDown(20, 20, Left());
  EXPECT_EQ(g.CapturedControl(), 1);
  EXPECT_EQ(g.LastPointerX(), 20);
  g.DispatchPointerDrag(20, 20, Left());  // no movement: nothing
  g.DispatchPointerDrag(25, 12, Left());
  g.DispatchPointerDrag(90, 90, Left());  // outside the control: still captured
  g.DispatchPointerUp(90, 90, Left());
  EXPECT_EQ(fx.log, (Log{"begin 2", "a down 20 20", "a drag 5 -8", "a drag 65 78", "a up", "end 2"}));
  EXPECT_EQ(g.CapturedControl(), -1);
  EXPECT_EQ(g.LastPointerX(), -1);
  EXPECT_EQ(g.LastPointerY(), -1);
}

TEST_F(RoutingTest, PressesOnCoveredAndEmptyPoints) {
  top->SetGrayed(true);
  g.DispatchPointerDown(35, 35, Left());  // through the grayed control
  EXPECT_EQ(g.CapturedControl(), 1);
  g.DispatchPointerUp(35, 35, Left());
  fx.log.clear();

  g.DispatchPointerDown(150, 150, Left());
  EXPECT_EQ(g.CapturedControl(), -1);
  g.DispatchPointerDrag(160, 160, Left());
  EXPECT_TRUE(fx.log.empty());
  g.DispatchPointerUp(150, 150, Left());
  EXPECT_TRUE(fx.log.empty());
}

TEST_F(RoutingTest, RightPressOnABoundControlOpensTheHostMenu) {
  g.DispatchPointerDown(20, 20, Right());
  EXPECT_EQ(fx.log, (Log{"menu 2 20 20"}));
  EXPECT_EQ(g.CapturedControl(), -1);
  EXPECT_EQ(g.LastPointerX(), -1);
  fx.log.clear();

  g.DispatchPointerDown(60, 20, Right());  // unbound: the control gets it
  EXPECT_EQ(fx.log, (Log{"u down 60 20 right"}));
  EXPECT_EQ(g.CapturedControl(), 2);
}

TEST_F(RoutingTest, EveryEditGestureIsClosedExactlyOnce) {
  g.DispatchPointerUp(20, 20, Left());  // no press before: the control hears it, the host does not
  g.DispatchPointerDown(150, 150, Left());
  g.DispatchPointerUp(20, 20, Left());
  g.DispatchPointerDown(20, 20, Right());  // host menu, then its release
  g.DispatchPointerUp(20, 20, Right());
  EXPECT_EQ(fx.log, (Log{"a up", "a up", "menu 2 20 20", "a up"}));

  fx.log.clear();
  g.DispatchPointerDown(20, 20, Left());
  g.DispatchPointerUp(20, 20, Left());
  g.DispatchDoubleClick(20, 20, Left());  // the reset is a gesture of its own
  g.DispatchPointerUp(20, 20, Left());
  EXPECT_EQ(fx.log, (Log{"begin 2", "a down 20 20", "a up", "end 2", "begin 2", "a dblclick", "end 2", "a up"}));

  fx.log.clear();
  g.DispatchPointerDown(20, 20, Left());
  g.ReleasePointerCapture();            // as a modal menu does
  g.DispatchPointerUp(35, 35, Left());  // released over another bound control
  EXPECT_EQ(fx.log, (Log{"begin 2", "a down 20 20", "top up", "end 2"}));
}

TEST_F(RoutingTest, APressWithoutAReleaseClosesTheEarlierGestureFirst) {
  g.DispatchPointerDown(20, 20, Left());  // its release never arrives
  g.DispatchPointerDown(35, 35, Left());
  g.DispatchPointerUp(35, 35, Left());
  g.DispatchPointerDown(20, 20, Left());
  g.DispatchPointerDown(20, 20, Right());  // the host menu replaces the open gesture
  g.DispatchPointerUp(20, 20, Right());
  EXPECT_EQ(fx.log, (Log{"begin 2", "a down 20 20", "end 2", "begin 3", "top down 35 35", "top up", "end 3", "begin 2",
                         "a down 20 20", "end 2", "menu 2 20 20", "a up"}));
}

TEST_F(RoutingTest, WheelGoesToTheCapturedControlWherever) {
  g.DispatchWheel(60, 20, IPointerMods(), 2);
  g.DispatchPointerDown(20, 20, Left());
  g.DispatchWheel(60, 20, IPointerMods(), -1);
  g.DispatchPointerUp(20, 20, Left());
  g.DispatchWheel(150, 150, IPointerMods(), 1);
  EXPECT_EQ(fx.log, (Log{"u wheel 2", "begin 2", "a down 20 20", "a wheel -1", "a up", "end 2"}));
}

TEST_F(RoutingTest, DoubleClickIsAGestureOfItsOwn) {
  g.DispatchPointerDown(20, 20, Left());
  g.DispatchDoubleClick(20, 20, Left());
  EXPECT_EQ(g.CapturedControl(), -1);
  a->SetDoubleClickIsPress(true);
  g.DispatchDoubleClick(20, 20, Left());  // as a press: its release ends the gesture
  EXPECT_EQ(g.CapturedControl(), 1);
  g.DispatchDoubleClick(150, 150, Left());
  EXPECT_EQ(g.CapturedControl(), -1);
  EXPECT_EQ(fx.log, (Log{"begin 2", "a down 20 20", "end 2", "begin 2", "a dblclick", "end 2", "begin 2",
                         "a down 20 20", "end 2"}));
}

// Wheel notches on a bound control are one gesture, from the first notch to
// whatever ends it; each way of ending it, after two notches on "a".
TEST_F(RoutingTest, WheelNotchesMakeOneGestureUntilSomethingEndsIt) {
  const struct {
    const char* what;
    std::function<void()> end;
    Log after;
  } endings[] = {
      {"quiet ticks",
       [&] {
         for (int i = 0; i < 9; ++i) Tick(g);
         fx.log.push_back("9 ticks");
         Tick(g);
       },
       {"9 ticks", "end 2"}},
      {"a notch elsewhere", [&] { g.DispatchWheel(40, 40, IPointerMods(), 1); }, {"end 2", "begin 3", "top wheel 1"}},
      {"an unbound control", [&] { g.DispatchWheel(60, 20, IPointerMods(), 1); }, {"end 2", "u wheel 1"}},
      {"a press", [&] { g.DispatchPointerDown(60, 20, Left()); }, {"end 2", "u down 60 20"}},
      {"a double click", [&] { g.DispatchDoubleClick(60, 20, Left()); }, {"end 2", "u dblclick"}},
      {"leaving or closing", [&] { g.EndAllGestures(); }, {"end 2"}},
  };
  for (const auto& ending : endings) {
    g.EndAllGestures();
    g.ReleasePointerCapture();
    fx.log.clear();
    g.DispatchWheel(20, 20, IPointerMods(), 1);
    for (int i = 0; i < 5; ++i) Tick(g);  // notches keep the gesture open
    g.DispatchWheel(20, 20, IPointerMods(), -1);
    EXPECT_EQ(fx.log, (Log{"begin 2", "a wheel 1", "a wheel -1"})) << ending.what;
    fx.log.clear();
    ending.end();
    EXPECT_EQ(fx.log, ending.after) << ending.what;
  }
}

TEST_F(RoutingTest, KeysGoToTheControlOrTheKeyCatcher) {
  EXPECT_FALSE(g.DispatchKey(5, 5, kKeySpace));  // background, no catcher
  EXPECT_TRUE(fx.log.empty());
  EXPECT_FALSE(g.DispatchKey(20, 20, kKeyUp));  // declined: not passed on
  a->takesKeys = true;
  EXPECT_TRUE(g.DispatchKey(20, 20, kKeyLetterA));

  auto* catcher = new ProbeControl(&fx, IBox(), -1, &fx.log, "catcher");
  catcher->takesKeys = true;
  g.SetKeyCatcher(catcher);
  EXPECT_TRUE(g.DispatchKey(5, 5, kKeyDigit0));
  EXPECT_TRUE(g.DispatchKey(150, 150, kKeyDown));
  EXPECT_FALSE(g.DispatchKey(60, 20, kKeyLeft));  // u declines, catcher not asked
  g.DispatchPointerDown(20, 20, Left());
  EXPECT_TRUE(g.DispatchKey(5, 5, kKeyRight));  // captured control wins
  EXPECT_EQ(fx.log, (Log{"a key 1", "a key 15", "catcher key 5", "catcher key 2", "u key 3", "begin 2", "a down 20 20",
                         "a key 4"}));
}

TEST_F(RoutingTest, HoverIsIgnoredUntilTracked) {
  EXPECT_FALSE(g.DispatchPointerOver(20, 20, IPointerMods()));
  EXPECT_TRUE(fx.log.empty());

  g.SetHoverTracking(true);
  EXPECT_TRUE(g.DispatchPointerOver(20, 20, IPointerMods()));
  EXPECT_EQ(g.HoveredControl(), 1);
  EXPECT_TRUE(g.DispatchPointerOver(22, 20, IPointerMods()));
  EXPECT_TRUE(g.DispatchPointerOver(60, 20, IPointerMods()));
  EXPECT_EQ(g.HoveredControl(), 2);
  EXPECT_TRUE(g.DispatchPointerOver(150, 150, IPointerMods()));  // nothing there: no change
  EXPECT_EQ(g.HoveredControl(), 2);
  EXPECT_EQ(fx.log, (Log{"a over", "a over", "u over", "a leave"}));

  fx.log.clear();
  top->SetGrayed(true);
  g.DispatchPointerOver(35, 35, IPointerMods());
  top->SetHoverWhenGrayed(true);
  g.DispatchPointerOver(35, 35, IPointerMods());
  EXPECT_EQ(fx.log, (Log{"a over", "u leave", "top over", "a leave"}));

  fx.log.clear();
  g.DispatchPointerLeave();
  EXPECT_EQ(g.HoveredControl(), -1);
  EXPECT_EQ(fx.log, (Log{"bg leave", "a leave", "u leave", "top leave"}));
}

class OtherAdapterRoutingTest : public RoutingTest {
protected:
  OtherAdapterRoutingTest() : RoutingTest(0) {}
};

TEST_F(OtherAdapterRoutingTest, RightPressIsAnOrdinaryPress) {
  g.DispatchPointerDown(20, 20, Right());
  g.DispatchPointerUp(20, 20, Right());
  EXPECT_EQ(fx.log, (Log{"begin 2", "a down 20 20 right", "a up", "end 2"}));
}
