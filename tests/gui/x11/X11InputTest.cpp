// Real pointer and key input in the module's X11 editor window, through XTEST,
// and what reaches the host: the same edit gestures, bare value changes and
// browser call as on Windows, and keys handed on to the host's window.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "FakeSpawn.h"
#include "VelloxEditor.h"
#include "X11EditorFixture.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

using X11InputTest = X11EditorTest;

TEST_F(X11InputTest, BypassSwitchClickIsOneGestureAndShowsTheOtherFrame) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  Click(120, 80);
  EXPECT_EQ(handler_.events, (Events{Begin(kBy), Perform(kBy, 1.0), End(kBy)}));
  EditorValues values = kDefaultValues;
  values[kBy] = 1.0;
  ExpectShows(CaptureAfterTicks(), values);

  // Later than the double-click interval: a second plain click.
  Loop().RunFor(450);
  handler_.events.clear();
  Click(120, 80);
  EXPECT_EQ(handler_.events, (Events{Begin(kBy), Perform(kBy, 0.0), End(kBy)}));
  CloseView(view);
}

TEST_F(X11InputTest, DraggingFadeUpFortyPixelsMovesItByFortyBoxHeightsOverGearing) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  const double expected = DragFadeUpForty();
  EditorValues values = kDefaultValues;
  values[kFade] = expected;
  ExpectShows(CaptureAfterTicks(), values);

  // Without the button held the pointer only hovers: nothing changes.
  handler_.events.clear();
  MovePointer(240, 20);
  EXPECT_TRUE(handler_.events.empty()) << handler_.events.front();
  CloseView(view);
}

TEST_F(X11InputTest, TheGrabKeepsDraggingOutsideTheWindow) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  MovePointer(240, 100);
  Button(1, true);
  // Far below the editor: the button's grab still brings the motion.
  MovePointer(240, kEditorHeight + 116);
  Button(1, false);
  ASSERT_EQ(handler_.events.size(), 3u);
  EXPECT_EQ(handler_.events[0], Begin(kFade));
  EXPECT_EQ(handler_.events[1].kind, HostEvent::kPerform);
  EXPECT_EQ(handler_.events[2], End(kFade));
  CloseView(view);
}

TEST_F(X11InputTest, WheelNotchesAndDoubleClickResetsAreEditGestures) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  MovePointer(390, 75);
  Button(4, true);
  Button(4, false);
  Button(4, true);
  Button(4, false);
  EXPECT_EQ(handler_.events, (Events{Begin(kChop), Perform(kChop, 0.01), Perform(kChop, 0.02)}));
  EditorValues values = kDefaultValues;
  values[kChop] = 0.02;
  ExpectShows(CaptureAfterTicks(), values);
  // The gesture ends about 0.4 s after the last notch.
  EXPECT_EQ(Loop().RunTicks(10, 2000), 10);
  EXPECT_EQ(handler_.events.back(), End(kChop));

  // Leaving the editor ends it too; the horizontal wheel reaches no control.
  handler_.events.clear();
  Button(5, true);
  Button(5, false);
  Button(6, true);
  Button(6, false);
  MovePointer(390, kEditorHeight + 20);
  EXPECT_EQ(handler_.events, (Events{Begin(kChop), Perform(kChop, 0.01), End(kChop)}));

  // A real double click: the first press and release are a plain click (a
  // gesture that changes nothing); the second press restores the value the
  // knob first had from the effect, in a gesture of its own.
  handler_.events.clear();
  Loop().RunFor(450);
  Click(390, 75);
  Click(390, 75);
  EXPECT_EQ(handler_.events, (Events{Begin(kChop), End(kChop), Begin(kChop), Perform(kChop, 0.0), End(kChop)}));
  ExpectShows(CaptureAfterTicks(), kDefaultValues);
  CloseView(view);
}

// NOTE moves by whole entries: a click steps to the next, a drag one entry
// per 12 pixels (the remainder waits) up to the ends, a wheel notch one; SYNC
// toggles like BY. Each press and each run of notches is one gesture.
TEST_F(X11InputTest, NoteStepsByWholeEntriesAndSyncToggles) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  const auto note = [](int entry) { return Perform(kNote, double(entry) / (kNoteEntries - 1)); };
  Click(854, 88);
  MovePointer(854, 90);
  Button(1, true);
  MovePointer(854, 60);   // 30 pixels up: two entries
  MovePointer(854, 56);   // 34: still two
  MovePointer(854, 300);  // far down: the first entry, the excess dropped
  MovePointer(854, 288);  // so 12 pixels back up are the next entry
  Button(1, false);
  MovePointer(854, 88);
  Button(5, true);
  Button(5, false);
  Click(768, 88);
  EXPECT_EQ(handler_.events,
            (Events{Begin(kNote), note(9), End(kNote), Begin(kNote), note(11), note(0), note(1), End(kNote),
                    Begin(kNote), note(0), End(kNote), Begin(kSync), Perform(kSync, 1.0), End(kSync)}));
  EditorValues values = kDefaultValues;
  values[kNote] = 0.0;
  values[kSync] = 1.0;
  ExpectShows(CaptureAfterTicks(), values);
  CloseView(view);
}

// A directory on PATH holding an executable called xdg-open, or none.
class OpenerPath {
public:
  explicit OpenerPath(bool withOpener) {
    const char* old = std::getenv("PATH");
    saved_ = old ? old : "";
    std::string pattern = testing::TempDir() + "vellox-x11-path-XXXXXX";
    dir_ = mkdtemp(pattern.data()) ? pattern : "";
    if (withOpener) {
      std::ofstream(dir_ + "/xdg-open") << "#!/bin/sh\nexit 1\n";
      chmod((dir_ + "/xdg-open").c_str(), 0755);
    }
    setenv("PATH", dir_.c_str(), 1);
  }
  ~OpenerPath() {
    setenv("PATH", saved_.c_str(), 1);
    unlink((dir_ + "/xdg-open").c_str());
    rmdir(dir_.c_str());
  }

private:
  std::string saved_, dir_;
};

TEST_F(X11InputTest, TheLinkCornerOpensTheProductPageAndNothingBesideIt) {
  OpenerPath path(true);
  SpawnedCommands().clear();
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  Click(808, 170);
  EXPECT_TRUE(SpawnedCommands().empty()) << SpawnedCommands().front();

  Click(828, 170);
  ASSERT_EQ(SpawnedCommands(), std::vector<std::string>{std::string("xdg-open ") + kVelloxProductPage});
  EXPECT_TRUE(handler_.events.empty()) << "the link area is bound to no parameter: " << handler_.events.front();
  // The link area draws nothing: the picture is unchanged.
  ExpectShows(CaptureAfterTicks(), kDefaultValues);
  CloseView(view);
}

TEST_F(X11InputTest, WithoutTheDesktopOpenerTheLinkCornerDoesNothing) {
  OpenerPath path(false);
  SpawnedCommands().clear();
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  Click(828, 170);
  EXPECT_TRUE(SpawnedCommands().empty()) << SpawnedCommands().front();
  EXPECT_TRUE(handler_.events.empty()) << handler_.events.front();
  CloseView(view);
}

TEST_F(X11InputTest, ClosingWithAGestureOpenEndsIt) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  MovePointer(390, 100);
  Button(1, true);
  MovePointer(390, 90);
  ASSERT_EQ(handler_.events.size(), 2u);
  CloseView(view);
  ASSERT_EQ(handler_.events.size(), 3u);
  EXPECT_EQ(handler_.events.front(), Begin(kChop));
  EXPECT_EQ(handler_.events.back(), End(kChop));
  Button(1, false);
  EXPECT_EQ(handler_.events.size(), 3u) << "the release after closing reached the effect";
}

// The key code whose unshifted symbol is `keysym`, 0 when there is none.
xcb_keycode_t KeyCodeFor(xcb_connection_t* c, uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* map =
      xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr);
  if (!map) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
  xcb_keycode_t found = 0;
  for (int i = 0; i < count && !found; ++i)
    if (syms[size_t(i) * map->keysyms_per_keycode] == keysym) found = xcb_keycode_t(setup->min_keycode + i);
  free(map);
  return found;
}

TEST_F(X11InputTest, KeysNoControlTakesReachTheHostWindow) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  // The keys go where the pointer is; the editor takes no focus of its own.
  xcb_set_input_focus(Frame().Connection(), XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT,
                      XCB_CURRENT_TIME);
  MovePointer(20, 20);
  const xcb_keycode_t a = KeyCodeFor(Frame().Connection(), 'a');
  ASSERT_NE(a, 0);
  // Drop what the frame received so far.
  while (xcb_generic_event_t* e = xcb_poll_for_event(Frame().Connection())) free(e);
  Key(a, true);
  Key(a, false);
  Frame().Sync();
  int presses = 0, releases = 0;
  while (xcb_generic_event_t* e = xcb_poll_for_event(Frame().Connection())) {
    const uint8_t type = e->response_type & 0x7F;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(e);
    if (type == XCB_KEY_PRESS && key->detail == a && key->event == Frame().Window()) ++presses;
    if (type == XCB_KEY_RELEASE && key->detail == a && key->event == Frame().Window()) ++releases;
    free(e);
  }
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(releases, 1);
  EXPECT_TRUE(handler_.events.empty()) << handler_.events.front();
  CloseView(view);
}

// The step bars with real input: a vertical drag on step 5, a click toggling
// step 2 and a Shift-drag drawing across steps 9 to 12 make one gesture per
// step touched, and the window then shows what the tool's snapshot of those
// values shows.
TEST_F(X11InputTest, StepBarsTakeDragsClicksAndShiftDrawingAsTheSnapshotShows) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  const auto step = [](int n) { return Vst::ParamID(kStepParam1 + n - 1); };
  const auto middle = [](int n) { return kStepBarsLeft + (n - 1) * kStepPitch + kStepBarWidth / 2; };

  MovePointer(middle(5), 230);
  Button(1, true);
  MovePointer(middle(5), 271);  // 41 of the 82 rows the level travels, down
  Button(1, false);
  EXPECT_EQ(handler_.events, (Events{Begin(step(5)), Perform(step(5), 0.5), End(step(5))}));

  handler_.events.clear();
  Loop().RunFor(450);
  Click(middle(2), 240);
  EXPECT_EQ(handler_.events, (Events{Begin(step(2)), Perform(step(2), 0.0), End(step(2))}));

  handler_.events.clear();
  constexpr xcb_keycode_t kShiftLeft = 50;
  MovePointer(middle(9), 240);
  Key(kShiftLeft, true);
  Button(1, true);
  MovePointer(middle(12), 261);  // the path passes the middles of 10 and 11 at rows 247 and 254
  Button(1, false);
  Key(kShiftLeft, false);
  const double drawn[] = {StepLevelAtRow(240), StepLevelAtRow(247), StepLevelAtRow(254), StepLevelAtRow(261)};
  EXPECT_EQ(handler_.events,
            (Events{Begin(step(9)), Perform(step(9), drawn[0]), Begin(step(10)), Perform(step(10), drawn[1]),
                    Begin(step(11)), Perform(step(11), drawn[2]), Begin(step(12)), Perform(step(12), drawn[3]),
                    End(step(10)), End(step(11)), End(step(12)), End(step(9))}));

  // The right button asks the host for its menu of the step under it.
  handler_.events.clear();
  Loop().RunFor(450);
  Click(middle(7), 250, 3);
  EXPECT_EQ(handler_.events, (Events{Menu(step(7), view.get())}));

  const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/step_edits_snapshot.png";
  std::string command =
      "env -u DISPLAY '" VELLOX_TOOL_PATH "' snapshot --out '" + out + "' --set 'STEP 5=0.5' --set 'STEP 2=0'";
  for (int n = 9; n <= 12; ++n)
    command += " --set 'STEP " + std::to_string(n) + "=" + std::to_string(drawn[n - 9]) + "'";
  ASSERT_EQ(std::system((command + " >/dev/null").c_str()), 0) << command;
  host::RgbaImage snapshot;
  std::string error;
  ASSERT_TRUE(host::ReadPngFile(out, snapshot, error)) << error;
  const host::RgbaImage shown = CaptureAfterTicks();
  SaveArtifact(shown, "x11_step_edits.png");
  std::string first;
  EXPECT_EQ(DifferingPixels(shown, snapshot, 0, 0, kEditorWidth, kEditorHeight, &first), 0) << first;

  // A wheel notch nudges the bar under the pointer.
  handler_.events.clear();
  MovePointer(middle(5), 250);
  Button(4, true);
  Button(4, false);
  EXPECT_EQ(handler_.events, (Events{Begin(step(5)), Perform(step(5), 0.5 + 0.01)}));
  CloseView(view);
}

}  // namespace
}  // namespace vellox::test
