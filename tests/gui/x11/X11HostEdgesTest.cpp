// What hosts other than a plain one do to the Linux editor, through the built
// module on a real display: several views of one effect, keyboard focus, the
// embedding property and the input edges of the X window layer. (Values set
// while no audio runs: the JUCE host test; refused platform types and
// parents: the Windows suite, through the same view code.)
#include "X11EditorFixture.h"

namespace vellox::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

using X11HostEdgesTest = X11EditorTest;

// A second view of the same effect, attached to a frame of its own, before
// the first is removed: the view left shows the editor and takes input. (The
// other order, where the effect's list of views matters and not the window
// layer: the Windows suite.)
TEST_F(X11HostEdgesTest, AViewAttachedBeforeTheOtherIsRemovedKeepsWorking) {
  std::string error;
  auto newerFrame = host::X11EditorFrame::Create(kEditorWidth, kEditorHeight, 0, 0, error);
  ASSERT_TRUE(newerFrame) << error;
  IPtr<IPlugView> older = OpenView();
  IPtr<IPlugView> newer = owned(Controller().createView(ViewType::kEditor));
  ASSERT_TRUE(newer);
  newer->setFrame(&loop_);
  ASSERT_EQ(newer->attached(newerFrame->ParentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  newerFrame->Sync();
  EXPECT_EQ(newerFrame->Children().size(), 1u);

  CloseView(older);
  newerFrame->Sync();
  ASSERT_EQ(newerFrame->Children().size(), 1u);
  const double expected = DragFadeUpForty();  // in the view that is left
  EditorValues values = kDefaultValues;
  values[kFade] = expected;
  EXPECT_EQ(Loop().RunTicks(2, 2000), 2);
  Settle();
  host::RgbaImage shown;
  ASSERT_TRUE(newerFrame->Capture(shown, error)) << error;
  ExpectShows(shown, values);
  CloseView(newer);
}

TEST_F(X11HostEdgesTest, TheEditorLeavesTheKeyboardFocusWithTheHost) {
  xcb_connection_t* c = Frame().Connection();
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, Frame().Window(), XCB_CURRENT_TIME);
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  Click(390, 75);
  Click(20, 20);
  xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(focus->focus, Frame().Window());
  free(focus);
  CloseView(view);
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_CURRENT_TIME);
  Frame().Sync();
}

TEST_F(X11HostEdgesTest, TheWindowCarriesTheEmbeddingInfoBeforeItIsShown) {
  IPtr<IPlugView> view = OpenView();
  ASSERT_EQ(Frame().Children().size(), 1u);
  xcb_connection_t* c = Frame().Connection();
  static const char kName[] = "_XEMBED_INFO";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr);
  ASSERT_NE(atom, nullptr);
  ASSERT_NE(atom->atom, XCB_ATOM_NONE) << "no client ever named the property";
  xcb_get_property_reply_t* info = xcb_get_property_reply(
      c, xcb_get_property(c, 0, Frame().Children()[0], atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 2), nullptr);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->type, atom->atom);
  EXPECT_EQ(info->format, 32);
  ASSERT_EQ(xcb_get_property_value_length(info), 8);
  const auto* words = static_cast<const uint32_t*>(xcb_get_property_value(info));
  EXPECT_EQ(words[0], 0u);  // protocol version
  EXPECT_EQ(words[1], 0u);  // flags
  free(info);
  free(atom);
  CloseView(view);
}

// Only the left button's double click resets a knob; the others' second
// press is dropped (BY still toggles once on the middle button's first press).
TEST_F(X11HostEdgesTest, OnlyTheLeftButtonDoubleClicks) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  const struct {
    int button, x, y;
    EditorParam param;
    int performs;
  } cases[] = {{2, 390, 75, kChop, 0}, {3, 390, 75, kChop, 0}, {2, 120, 80, kBy, 1}, {3, 120, 80, kBy, 0}};
  for (const auto& c : cases) {
    Automate(kChop, 0.5);
    Loop().RunFor(450);  // no double click with anything before
    handler_.events.clear();
    Click(c.x, c.y, c.button);
    Click(c.x, c.y, c.button);
    int performs = 0;
    for (const HostEvent& e : handler_.events) performs += e.kind == HostEvent::kPerform && e.id == c.param;
    EXPECT_EQ(performs, c.performs) << "button " << c.button << " on parameter " << c.param;
  }
  CloseView(view);
}

// X lets no other client grab a pointer that a pressed button holds, so the
// crossing a grab causes is sent as the server would send it.
TEST_F(X11HostEdgesTest, APointerGrabTakenMidDragEndsTheGesture) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  MovePointer(240, 100);
  Button(1, true);
  MovePointer(240, 90);
  ASSERT_EQ(handler_.events.size(), 2u);
  xcb_leave_notify_event_t leave{};
  leave.response_type = XCB_LEAVE_NOTIFY;
  leave.event = Frame().Children()[0];
  leave.root = Frame().Root();
  leave.event_x = 240;
  leave.event_y = 90;
  leave.mode = XCB_NOTIFY_MODE_GRAB;
  leave.detail = XCB_NOTIFY_DETAIL_ANCESTOR;
  xcb_send_event(Frame().Connection(), 0, leave.event, XCB_EVENT_MASK_LEAVE_WINDOW, reinterpret_cast<char*>(&leave));
  Settle();
  ASSERT_EQ(handler_.events.size(), 3u);
  EXPECT_EQ(handler_.events.back(), End(kFade));
  Button(1, false);
  EXPECT_EQ(handler_.events.size(), 3u) << "a release after the grab reached the effect";
  CloseView(view);
}

// An exposure of several rectangles repaints every one of them.
TEST_F(X11HostEdgesTest, EveryRectangleOfAnExposureIsRepainted) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks();
  xcb_connection_t* c = Frame().Connection();
  const xcb_window_t editor = Frame().Children()[0];
  const xcb_gcontext_t gc = xcb_generate_id(c);
  const uint32_t black[] = {0};
  xcb_create_gc(c, gc, editor, XCB_GC_FOREGROUND, black);
  const xcb_rectangle_t spoilt[] = {{200, 40, 80, 60}, {380, 120, 300, 50}, {0, 0, 30, 30}};
  xcb_poly_fill_rectangle(c, editor, gc, 3, spoilt);
  for (int i = 0; i < 3; ++i) {
    xcb_expose_event_t expose{};
    expose.response_type = XCB_EXPOSE;
    expose.window = editor;
    expose.x = uint16_t(spoilt[i].x);
    expose.y = uint16_t(spoilt[i].y);
    expose.width = spoilt[i].width;
    expose.height = spoilt[i].height;
    expose.count = uint16_t(2 - i);
    xcb_send_event(c, 0, editor, XCB_EVENT_MASK_EXPOSURE, reinterpret_cast<char*>(&expose));
  }
  xcb_free_gc(c, gc);
  Settle();
  host::RgbaImage shown;
  std::string error;
  ASSERT_TRUE(Frame().Capture(shown, error)) << error;
  ExpectShows(shown, kDefaultValues);
  CloseView(view);
}

}  // namespace
}  // namespace vellox::test
