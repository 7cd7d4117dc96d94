// The module's editor view in a real window: opening, painting the artwork at
// the parameter values, following host automation, reopening, releasing, and
// leaving no window-system objects behind.
#include <cstdio>

#include "EditorHostFixture.h"
#include "GuiResources.h"

namespace vellox::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

using EditorViewTest = EditorHostTest;

TEST_F(EditorViewTest, OpensInTheHostWindowAndPaintsTheDefaults) {
  IPtr<IPlugView> view = owned(Controller().createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
  ViewRect size{};
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.left, 0);
  EXPECT_EQ(size.top, 0);
  EXPECT_EQ(size.right, kEditorWidth);
  EXPECT_EQ(size.bottom, kEditorHeight);

  ASSERT_EQ(view->attached(Frame().Handle(), kPlatformTypeHWND), kResultOk);
  ASSERT_EQ(EditorWindowCount(), 1);
  RECT placed{};
  GetWindowRect(Editor(), &placed);
  MapWindowPoints(HWND_DESKTOP, Frame().Handle(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 0);
  EXPECT_EQ(placed.top, 0);
  EXPECT_EQ(placed.right, kEditorWidth);
  EXPECT_EQ(placed.bottom, kEditorHeight);
  size = ViewRect();
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.right, kEditorWidth);
  EXPECT_EQ(size.bottom, kEditorHeight);

  const host::RgbaImage shown = CaptureAfterTicks();
  SaveArtifact(shown, "editor_default.png");
  ExpectShows(shown, kDefaultValues);
  CloseView(view);
  EXPECT_EQ(EditorWindowCount(), 0);
}

TEST_F(EditorViewTest, HostAutomationShowsTheNewOutputFrameWithinTwoTicks) {
  ExpectHostAutomationShown("editor_output_automated.png");
}

TEST_F(EditorViewTest, AViewOpenedAgainShowsTheCurrentValues) {
  IPtr<IPlugView> first = OpenView();
  CaptureAfterTicks();
  Automate(kDry, 0.3);
  Automate(kBy, 1.0);
  // A drag in the first view: FADE up by 97 pixels, a quarter of its range.
  SendPointer(WM_LBUTTONDOWN, MK_LBUTTON, 240, 110);
  SendPointer(WM_MOUSEMOVE, MK_LBUTTON, 240, 13);
  SendPointer(WM_LBUTTONUP, 0, 240, 13);
  CloseView(first);
  ASSERT_EQ(EditorWindowCount(), 0);

  IPtr<IPlugView> second = OpenView();
  ASSERT_EQ(EditorWindowCount(), 1);
  const host::RgbaImage shown = CaptureAfterTicks();
  SaveArtifact(shown, "editor_reopened.png");
  EditorValues values = kDefaultValues;
  values[kFade] = 0.25;
  values[kDry] = 0.3;
  values[kBy] = 1.0;
  ExpectShows(shown, values);
  CloseView(second);
}

TEST_F(EditorViewTest, ContextMenusAddressTheViewShowingTheEditor) {
  IPtr<IPlugView> older = owned(Controller().createView(ViewType::kEditor));
  IPtr<IPlugView> shown = OpenView();
  ASSERT_TRUE(older && shown);
  CaptureAfterTicks(1);
  SendPointer(WM_RBUTTONDOWN, MK_RBUTTON, 240, 70);
  SendPointer(WM_RBUTTONUP, 0, 240, 70);
  ASSERT_EQ(handler_.events, std::vector<HostEvent>{Menu(kFade, shown.get())});

  // Releasing another view leaves this one working.
  handler_.events.clear();
  older = nullptr;
  SendPointer(WM_RBUTTONDOWN, MK_RBUTTON, 390, 70);
  SendPointer(WM_RBUTTONUP, 0, 390, 70);
  EXPECT_EQ(handler_.events, std::vector<HostEvent>{Menu(kChop, shown.get())});
  CloseView(shown);

  IPtr<IPlugView> next = OpenView();
  ASSERT_EQ(EditorWindowCount(), 1);
  ExpectShows(CaptureAfterTicks(), kDefaultValues);
  CloseView(next);
}

// One open/close cycle as a host runs it, with one synchronous repaint.
void OpenPaintClose(IEditController& controller, HWND parent) {
  IPtr<IPlugView> view = owned(controller.createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  ASSERT_EQ(view->attached(parent, kPlatformTypeHWND), kResultOk);
  HWND editor = FindWindowExA(parent, nullptr, host::kEditorWindowClass, nullptr);
  ASSERT_NE(editor, nullptr);
  SendMessageA(editor, WM_TIMER, host::kEditorTimerId, 0);
  ASSERT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorViewTest, OpenCloseCyclesLeaveNoWindowSystemObjects) {
  constexpr int kCycles = 200;
  OpenPaintClose(Controller(), Frame().Handle());  // warm-up: first-use caches of the system
  host::PumpMessages(0);
  const GuiObjectCounts before = CountGuiObjects();
  for (int i = 0; i < kCycles && !HasFatalFailure(); ++i) OpenPaintClose(Controller(), Frame().Handle());
  host::PumpMessages(0);
  const GuiObjectCounts after = CountGuiObjects();
  std::printf("GUI objects over %d cycles (%s): GDI %ld -> %ld, USER %ld -> %ld\n", kCycles, after.source.c_str(),
              before.gdi, after.gdi, before.user, after.user);
  EXPECT_GT(before.gdi, 0);
  EXPECT_GT(before.user, 0);
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
  WNDCLASSA unused{};
  EXPECT_FALSE(GetClassInfoA(moduleHandle_, host::kEditorWindowClass, &unused))
      << "the editor's window class stayed registered with no window open";
  EXPECT_EQ(EditorWindowCount(), 0);
}

}  // namespace
}  // namespace vellox::test
