// Pointer input in the module's editor window, as the system delivers it,
// and what reaches the host: edit gestures around presses, wheel turns and
// double-click resets, and the link corner's browser call.
#include "VelloxEditor.h"
#include "CliRunner.h"
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

// The step bars: a vertical drag on step 5, a click toggling step 2 and a
// Shift-drag drawing across steps 9 to 12 make one gesture per step touched,
// and the window then shows what the tool's snapshot of those values shows.
TEST_F(EditorInputTest, StepBarsTakeDragsClicksAndShiftDrawingAsTheSnapshotShows) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  const auto step = [](int n) { return Vst::ParamID(kStepParam1 + n - 1); };
  const auto middle = [](int n) { return kStepBarsLeft + (n - 1) * kStepPitch + kStepBarWidth / 2; };

  SendPointer(WM_LBUTTONDOWN, MK_LBUTTON, middle(5), 230);
  SendPointer(WM_MOUSEMOVE, MK_LBUTTON, middle(5), 271);  // 41 of the 82 rows the level travels, down
  SendPointer(WM_LBUTTONUP, 0, middle(5), 271);
  EXPECT_EQ(handler_.events, (Events{Begin(step(5)), Perform(step(5), 0.5), End(step(5))}));

  handler_.events.clear();
  Click(middle(2), 240);
  EXPECT_EQ(handler_.events, (Events{Begin(step(2)), Perform(step(2), 0.0), End(step(2))}));

  handler_.events.clear();
  SendPointer(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, middle(9), 240);
  SendPointer(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, middle(12), 261);  // past the middles of 10 and 11 at 247, 254
  SendPointer(WM_LBUTTONUP, MK_SHIFT, middle(12), 261);
  const double drawn[] = {StepLevelAtRow(240), StepLevelAtRow(247), StepLevelAtRow(254), StepLevelAtRow(261)};
  EXPECT_EQ(handler_.events,
            (Events{Begin(step(9)), Perform(step(9), drawn[0]), Begin(step(10)), Perform(step(10), drawn[1]),
                    Begin(step(11)), Perform(step(11), drawn[2]), Begin(step(12)), Perform(step(12), drawn[3]),
                    End(step(10)), End(step(11)), End(step(12)), End(step(9))}));

  const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/step_edits_snapshot.png";
  std::vector<std::string> args = {"snapshot", "--out",      out,     "--plugin", VELLOX_BUNDLE_PATH,
                                   "--set",    "STEP 5=0.5", "--set", "STEP 2=0"};
  for (int n = 9; n <= 12; ++n)
    args.insert(args.end(), {"--set", "STEP " + std::to_string(n) + "=" + std::to_string(drawn[n - 9])});
  const CliResult r = RunVellox(args);
  ASSERT_EQ(r.code, 0) << r.err;
  host::RgbaImage snapshot;
  std::string error;
  ASSERT_TRUE(host::ReadPngFile(out, snapshot, error)) << error;
  const host::RgbaImage shown = CaptureAfterTicks();
  SaveArtifact(shown, "step_edits.png");
  std::string first;
  EXPECT_EQ(DifferingPixels(shown, snapshot, 0, 0, kEditorWidth, kEditorHeight, &first), 0) << first;
  CloseView(view);
}

}  // namespace
}  // namespace vellox::test
