// The Linux module's editor view in a real X window: platform types, the run
// loop it needs, painting the artwork at the parameter values, following host
// automation, a host destroying the parent first, and leaving nothing behind
// in the X server or in the process over many open/close cycles.
#include <malloc.h>

#include <cstdio>

#include "X11EditorFixture.h"
#include "snapshot.h"

namespace vellox::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

using X11ViewTest = X11EditorTest;

TEST_F(X11ViewTest, OpensInTheHostWindowOnTheRunLoopAndPaintsTheDefaults) {
  IPtr<IPlugView> view = owned(Controller().createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  ASSERT_EQ(view->setFrame(&loop_), kResultTrue);
  ASSERT_EQ(view->attached(Frame().ParentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  Frame().Sync();
  // One descriptor and the 25-per-second tick; no thread of the module's own.
  EXPECT_EQ(Loop().EventHandlers(), 1u);
  ASSERT_EQ(Loop().Timers(), 1u);
  EXPECT_EQ(Loop().FirstTimerPeriod(), 40u);
  const std::vector<xcb_window_t> children = Frame().Children();
  ASSERT_EQ(children.size(), 1u);
  xcb_get_geometry_reply_t* placed =
      xcb_get_geometry_reply(Frame().Connection(), xcb_get_geometry(Frame().Connection(), children[0]), nullptr);
  ASSERT_NE(placed, nullptr);
  EXPECT_EQ(placed->x, 0);
  EXPECT_EQ(placed->y, 0);
  EXPECT_EQ(placed->width, kEditorWidth);
  EXPECT_EQ(placed->height, kEditorHeight);
  free(placed);

  const host::RgbaImage shown = CaptureAfterTicks();
  SaveArtifact(shown, "x11_editor_default.png");
  ExpectShows(shown, kDefaultValues);

  // The same picture as the editor painted off-screen by `vellox snapshot`.
  cli::SnapshotRequest request;
  request.plugin = VELLOX_BUNDLE_PATH;
  request.output = std::string(VELLOX_ARTIFACT_DIR) + "/x11_offscreen_default.png";
  cli::SnapshotResult result;
  std::string error;
  ASSERT_TRUE(cli::WriteOffscreenEditorSnapshot(request, result, error)) << error;
  host::RgbaImage offscreen;
  ASSERT_TRUE(host::ReadPngFile(request.output, offscreen, error)) << error;
  EXPECT_EQ(DifferingPixels(shown, offscreen, 0, 0, kEditorWidth, kEditorHeight), 0);

  CloseView(view);
  EXPECT_TRUE(Frame().Children().empty());
  EXPECT_EQ(Loop().Timers(), 0u);
}

TEST_F(X11ViewTest, RefusesToAttachWithoutARunLoop) {
  IPtr<IPlugView> view = owned(Controller().createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  EXPECT_EQ(view->attached(Frame().ParentHandle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
  Frame().Sync();
  EXPECT_TRUE(Frame().Children().empty());
  EXPECT_EQ(view->removed(), kResultOk);

  // Other platform types are refused and open nothing, as on Windows.
  EXPECT_EQ(view->setFrame(&loop_), kResultTrue);
  EXPECT_EQ(view->attached(Frame().ParentHandle(), kPlatformTypeHWND), kResultFalse);
  Frame().Sync();
  EXPECT_TRUE(Frame().Children().empty());
  EXPECT_EQ(Loop().Timers(), 0u);
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
}

TEST_F(X11ViewTest, HostAutomationShowsTheNewOutputFrameWithinTwoTicks) {
  ExpectHostAutomationShown("x11_editor_output_automated.png");
}

TEST_F(X11ViewTest, AHostDestroyingTheParentFirstEndsTheGestureAndCrashesNothing) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  MovePointer(240, 100);
  Button(1, true);
  MovePointer(240, 80);
  ASSERT_EQ(handler_.events.size(), 2u);  // begin and one value change

  xcb_destroy_window(Frame().Connection(), Frame().Window());
  Frame().Sync();
  Loop().RunTicks(2, 2000);
  Settle();
  ASSERT_EQ(handler_.events.size(), 3u);
  EXPECT_EQ(handler_.events.back(), End(kFade));
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
  view = nullptr;
  Button(1, false);
  EXPECT_EQ(handler_.events.size(), 3u);
  // The frame is gone; a new one takes its place for the checks at the end.
  std::string error;
  frame_ = host::X11EditorFrame::Create(kEditorWidth, kEditorHeight, 0, 0, error);
  ASSERT_TRUE(frame_) << error;
}

// One open/close cycle as a host runs it, with one repaint.
void OpenPaintClose(IEditController& controller, host::X11EditorFrame& frame, host::X11RunLoop& loop) {
  IPtr<IPlugView> view = owned(controller.createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  view->setFrame(&loop);
  ASSERT_EQ(view->attached(frame.ParentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  ASSERT_EQ(loop.RunTicks(1, 2000), 1);
  ASSERT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
}

long HeapInUse() { return long(mallinfo2().uordblks); }

TEST_F(X11ViewTest, OpenCloseCyclesLeaveNothingInTheServerOrTheProcess) {
  constexpr int kCycles = 200;
  OpenPaintClose(Controller(), Frame(), Loop());  // warm-up: first-use caches
  Frame().Sync();
  const long resourcesBefore = ClientResourceCount(Frame().Connection(), Frame().Window());
  const long clientsBefore = ClientCount(Frame().Connection());
  const long heapBefore = HeapInUse();
  for (int i = 0; i < kCycles && !HasFatalFailure(); ++i) OpenPaintClose(Controller(), Frame(), Loop());
  Frame().Sync();
  const long resourcesAfter = ClientResourceCount(Frame().Connection(), Frame().Window());
  const long clientsAfter = ClientCount(Frame().Connection());
  const long heapAfter = HeapInUse();
  std::printf("over %d cycles: host client's X resources %ld -> %ld, X clients %ld -> %ld, heap %ld -> %ld bytes\n",
              kCycles, resourcesBefore, resourcesAfter, clientsBefore, clientsAfter, heapBefore, heapAfter);
  EXPECT_GT(resourcesBefore, 0);
  EXPECT_EQ(resourcesAfter, resourcesBefore);
  // The module's own connection, with every window, context and segment it
  // held, is gone after each close.
  EXPECT_EQ(clientsAfter, clientsBefore);
  // Allocator bookkeeping may move a little; a leak per cycle would not.
  EXPECT_LT(heapAfter - heapBefore, 4096) << "the process grew over the cycles";
  EXPECT_TRUE(Frame().Children().empty());
}

}  // namespace
}  // namespace vellox::test
