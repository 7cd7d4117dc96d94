// Pointer input in the module's editor window, as the system delivers it,
// and what reaches the host: edit gestures around presses, wheel turns and
// double-click resets, and the link corner's browser call.
#include "VelloxEditor.h"
#include "EditorHostFixture.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

using EditorInputTest = EditorHostTest;
using Events = std::vector<HostEvent>;

TEST_F(EditorInputTest, BypassSwitchClickIsOneGestureAndShowsTheOtherFrame) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  Click(120, 80);
  EXPECT_EQ(handler_.events, (Events{Begin(kBy), Perform(kBy, 1.0), End(kBy)}));
  EditorValues values = kDefaultValues;
  values[kBy] = 1.0;
  ExpectShows(CaptureAfterTicks(), values);

  handler_.events.clear();
  Click(120, 80);
  EXPECT_EQ(handler_.events, (Events{Begin(kBy), Perform(kBy, 0.0), End(kBy)}));
  CloseView(view);
}

TEST_F(EditorInputTest, DraggingFadeUpFortyPixelsMovesItByFortyBoxHeightsOverGearing) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  SendPointer(WM_LBUTTONDOWN, MK_LBUTTON, 240, 100);
  SendPointer(WM_MOUSEMOVE, MK_LBUTTON, 240, 60);
  SendPointer(WM_LBUTTONUP, 0, 240, 60);
  const double expected = 40.0 / 97.0 / 4.0;
  EXPECT_EQ(handler_.events, (Events{Begin(kFade), Perform(kFade, expected), End(kFade)}));
  EditorValues values = kDefaultValues;
  values[kFade] = expected;
  ExpectShows(CaptureAfterTicks(), values);

  // Without the button held the pointer only hovers: nothing changes.
  handler_.events.clear();
  SendPointer(WM_MOUSEMOVE, 0, 240, 20);
  EXPECT_TRUE(handler_.events.empty()) << handler_.events.front();
  CloseView(view);
}

TEST_F(EditorInputTest, WheelNotchesAndDoubleClickResetsAreEditGestures) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  Wheel(390, 75, WHEEL_DELTA);
  Wheel(390, 75, WHEEL_DELTA);
  EXPECT_EQ(handler_.events, (Events{Begin(kChop), Perform(kChop, 0.01), Perform(kChop, 0.02)}));
  EditorValues values = kDefaultValues;
  values[kChop] = 0.02;
  ExpectShows(CaptureAfterTicks(), values);
  // The gesture ends about 0.4 s after the last notch.
  EXPECT_EQ(host::PumpTimerTicks(Editor(), 10, 2000), 10);
  EXPECT_EQ(handler_.events.back(), End(kChop));

  // The double click restores the value the knob first had from the effect.
  handler_.events.clear();
  SendPointer(WM_LBUTTONDBLCLK, MK_LBUTTON, 390, 75);
  SendPointer(WM_LBUTTONUP, 0, 390, 75);
  EXPECT_EQ(handler_.events, (Events{Begin(kChop), Perform(kChop, 0.0), End(kChop)}));
  ExpectShows(CaptureAfterTicks(), kDefaultValues);
  CloseView(view);
}

TEST_F(EditorInputTest, TheLinkCornerOpensTheProductPageAndNothingBesideIt) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  Click(808, 170);
  EXPECT_TRUE(Browser().opened.empty()) << Browser().opened.front();
  EXPECT_EQ(Browser().onlineQueries, 0);

  Click(828, 170);
  ASSERT_EQ(Browser().opened, std::vector<std::string>{std::string("open ") + kVelloxProductPage});
  EXPECT_EQ(Browser().onlineQueries, 1);
  EXPECT_TRUE(handler_.events.empty()) << "the link area is bound to no parameter: " << handler_.events.front();
  // The link area draws nothing: the picture is unchanged.
  ExpectShows(CaptureAfterTicks(), kDefaultValues);
  CloseView(view);
}

}  // namespace
}  // namespace vellox::test
