// What hosts other than a plain one do to the Windows editor, through the
// built module: several views of one effect, keyboard focus, and platform
// types and parents that cannot be used.
#include "EditorHostFixture.h"

namespace vellox::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

using EditorHostEdgesTest = EditorHostTest;
using Events = std::vector<HostEvent>;

// A second view of the same effect, attached to a frame of its own, before
// the first is removed: whichever view is left shows the editor and takes input.
TEST_F(EditorHostEdgesTest, AViewAttachedBeforeTheOtherIsRemovedKeepsWorking) {
  for (bool removeOlderFirst : {true, false}) {
    SCOPED_TRACE(removeOlderFirst ? "older view removed first" : "newer view removed first");
    handler_.events.clear();
    std::string error;
    auto newerFrame = host::EditorFrame::Create(kEditorWidth, kEditorHeight, error);
    ASSERT_TRUE(newerFrame) << error;
    IPtr<IPlugView> older = OpenView();
    IPtr<IPlugView> newer = owned(Controller().createView(ViewType::kEditor));
    ASSERT_TRUE(newer);
    ASSERT_EQ(newer->attached(newerFrame->Handle(), kPlatformTypeHWND), kResultOk);
    EXPECT_NE(newerFrame->EditorWindow(), nullptr);
    if (removeOlderFirst) {
      CloseView(older);
    } else {
      CloseView(newer);
    }
    const host::EditorFrame& left = removeOlderFirst ? *newerFrame : Frame();
    HWND editor = left.EditorWindow();
    ASSERT_NE(editor, nullptr);
    // FADE dragged up 40 pixels in the view that is left.
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(240, 100));
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(240, 60));
    SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(240, 60));
    const double expected = 40.0 / 97.0 / 4.0;
    EXPECT_EQ(handler_.events, (Events{Begin(kFade), Perform(kFade, expected), End(kFade)}));
    EditorValues values = kDefaultValues;
    values[kFade] = expected;
    EXPECT_EQ(host::PumpTimerTicks(editor, 2, 2000), 2) << "the repaint timer did not run";
    host::RgbaImage shown;
    EXPECT_TRUE(host::CaptureWindow(left.Handle(), shown, error)) << error;
    ExpectShows(shown, values);
    CloseView(removeOlderFirst ? newer : older);
    EXPECT_EQ(newerFrame->EditorWindow(), nullptr);
    EXPECT_EQ(EditorWindowCount(), 0);
    ASSERT_EQ(Controller().setParamNormalized(kFade, 0.0), kResultOk);
  }
}

TEST_F(EditorHostEdgesTest, OpeningTheEditorLeavesTheKeyboardFocusWithTheHost) {
  SetFocus(Frame().Handle());
  IPtr<IPlugView> view = OpenView();
  ASSERT_NE(Editor(), nullptr);
  CaptureAfterTicks(1);
  EXPECT_EQ(GetFocus(), Frame().Handle());
  CloseView(view);
}

// A type the view does not support and a parent it cannot use are refused;
// the view is still good for a correct attach afterwards.
TEST_F(EditorHostEdgesTest, UnusableTypesAndParentsAreRefusedAndTheViewStaysUsable) {
  IPtr<IPlugView> view = owned(Controller().createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  const struct {
    void* parent;
    FIDString type;
  } refused[] = {{Frame().Handle(), kPlatformTypeX11EmbedWindowID},
                 {nullptr, kPlatformTypeHWND},
                 {reinterpret_cast<void*>(uintptr_t(0x7ff0)), kPlatformTypeHWND}};  // no such window
  for (const auto& r : refused) {
    EXPECT_EQ(view->attached(r.parent, r.type), kResultFalse) << (r.type ? r.type : "(null)");
    EXPECT_EQ(EditorWindowCount(), 0);
  }
  ASSERT_EQ(view->attached(Frame().Handle(), kPlatformTypeHWND), kResultOk);
  ExpectShows(CaptureAfterTicks(), kDefaultValues);
  CloseView(view);
}

}  // namespace
}  // namespace vellox::test
