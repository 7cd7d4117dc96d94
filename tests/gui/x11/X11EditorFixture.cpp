#include "X11EditorFixture.h"

#include <xcb/res.h>
#include <xcb/xtest.h>

#include <cstdlib>

namespace vellox::test {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kTickTimeoutMs = 10000;  // generous: a loaded machine delays timers, never skips them
// Generous enough for a loaded machine; the loop returns as soon as the
// module's connection has been quiet this long.
constexpr int kQuietMs = 30;
constexpr int kSettleTimeoutMs = 2000;

}  // namespace

void X11EditorTest::SetUp() {
  std::string error;
  if (host::ModuleBinaryPath(VELLOX_BUNDLE_PATH, error).empty())
    GTEST_SKIP() << "the Vellox module is not built at " << VELLOX_BUNDLE_PATH;
  frame_ = host::X11EditorFrame::Create(kEditorWidth, kEditorHeight, 0, 0, error);
  ASSERT_TRUE(frame_) << error << " (tools/test.sh runs these tests on a private Xvfb display)";
  ASSERT_NO_FATAL_FAILURE(StartModule());
}

void X11EditorTest::TearDown() {
  if (instance_) Controller().setComponentHandler(nullptr);
  instance_.reset();
  module_.reset();
  EXPECT_EQ(handler_.References(), 0) << "the effect kept the component handler";
  EXPECT_EQ(loop_.EventHandlers(), 0u) << "a descriptor stayed registered with the run loop";
  EXPECT_EQ(loop_.Timers(), 0u) << "a timer stayed registered with the run loop";
  EXPECT_EQ(loop_.References(), 0) << "the module kept the run loop";
  if (frame_) {
    EXPECT_TRUE(frame_->Children().empty()) << "an editor window outlived its view";
  }
  frame_.reset();
}

IPtr<IPlugView> X11EditorTest::OpenView() {
  IPtr<IPlugView> view = owned(Controller().createView(ViewType::kEditor));
  EXPECT_TRUE(view) << "createView(\"editor\") gave no view";
  if (!view) return view;
  EXPECT_EQ(view->setFrame(&loop_), kResultTrue);
  EXPECT_EQ(view->attached(Frame().ParentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  Frame().Sync();
  return view;
}

void X11EditorTest::CloseView(IPtr<IPlugView>& view) {
  if (!view) return;
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
  view = nullptr;
  Frame().Sync();
}

host::RgbaImage X11EditorTest::CaptureAfterTicks(int ticks) {
  host::RgbaImage image;
  EXPECT_FALSE(Frame().Children().empty()) << "no editor window is open";
  EXPECT_EQ(loop_.RunTicks(ticks, kTickTimeoutMs), ticks) << "the repaint timer did not run";
  Settle();
  std::string error;
  EXPECT_TRUE(Frame().Capture(image, error)) << error;
  return image;
}

void X11EditorTest::Settle() {
  Frame().Sync();
  loop_.RunUntilQuiet(kQuietMs, kSettleTimeoutMs);
}

void X11EditorTest::MovePointer(int x, int y) {
  // The frame sits at the screen's origin: editor pixels are screen pixels.
  xcb_test_fake_input(Frame().Connection(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, Frame().Root(), int16_t(x),
                      int16_t(y), 0);
  Settle();
}

void X11EditorTest::Button(int button, bool press) {
  xcb_test_fake_input(Frame().Connection(), press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, uint8_t(button),
                      XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  Settle();
}

void X11EditorTest::Click(int x, int y, int button) {
  MovePointer(x, y);
  Button(button, true);
  Button(button, false);
}

double X11EditorTest::DragFadeUpForty() {
  MovePointer(240, 100);
  Button(1, true);
  MovePointer(240, 60);
  Button(1, false);
  const double expected = 40.0 / 97.0 / 4.0;
  EXPECT_EQ(handler_.events, (Events{Begin(kFade), Perform(kFade, expected), End(kFade)}));
  return expected;
}

void X11EditorTest::Key(xcb_keycode_t code, bool press) {
  xcb_test_fake_input(Frame().Connection(), press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE,
                      0, 0, 0);
  Settle();
}

long ClientResourceCount(xcb_connection_t* connection, xcb_window_t window) {
  const uint32_t client = window & ~xcb_get_setup(connection)->resource_id_mask;
  xcb_res_query_client_resources_reply_t* reply =
      xcb_res_query_client_resources_reply(connection, xcb_res_query_client_resources(connection, client), nullptr);
  if (!reply) return -1;
  long total = 0;
  xcb_res_type_iterator_t it = xcb_res_query_client_resources_types_iterator(reply);
  for (; it.rem; xcb_res_type_next(&it)) total += it.data->count;
  free(reply);
  return total;
}

long ClientCount(xcb_connection_t* connection) {
  xcb_res_query_clients_reply_t* reply =
      xcb_res_query_clients_reply(connection, xcb_res_query_clients(connection), nullptr);
  if (!reply) return -1;
  const long count = reply->num_clients;
  free(reply);
  return count;
}

}  // namespace vellox::test
