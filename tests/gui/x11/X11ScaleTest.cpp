// The editor at a content scale on X11, through the shared scale proof.
#include <cstdlib>

#include "X11EditorFixture.h"

namespace vellox::test {
namespace {

class X11ScaleTest : public X11EditorTest {
protected:
  bool NewFrame(int width, int height, std::string& error) override {
    frame_ = host::X11EditorFrame::Create(width, height, 0, 0, error);
    return bool(frame_);
  }

  // Painted off-screen: the tool runs without a display.
  void RunSnapshotTool(double scale, const std::string& out) override {
    std::string command =
        "env -u DISPLAY '" VELLOX_TOOL_PATH "' snapshot --scale " + std::to_string(scale) + " --out '" + out + "'";
    for (const std::string& setting : snapshotSettings_) command += " --set '" + setting + "'";
    command += " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }

  void ExpectWindowSize(int width, int height) override {
    Settle();
    ASSERT_EQ(Frame().Children().size(), 1u);
    xcb_get_geometry_reply_t* window = xcb_get_geometry_reply(
        Frame().Connection(), xcb_get_geometry(Frame().Connection(), Frame().Children()[0]), nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->width, width);
    EXPECT_EQ(window->height, height);
    free(window);
  }

  void SendGestures(int scale) override {
    MovePointer(240 * scale, 100 * scale);
    Button(1, true);
    MovePointer(240 * scale, 60 * scale);
    Button(1, false);
    MovePointer(390 * scale, 75 * scale);
    Button(4, true);
    Button(4, false);
    MovePointer(10, 10);  // the wheel's gesture ends when the pointer leaves
    Loop().RunTicks(12, 2000);
  }

  std::unique_ptr<host::X11EditorFrame> second_;
  static constexpr int kSecondTop = 2 * kEditorHeight + 8;  // below the first frame at its largest

  host::X11EditorFrame& FrameAt(int index) { return index == 0 ? Frame() : *second_; }
  Steinberg::IPlugFrame* HostFrame() override { return &loop_; }
  void* Parent(int index) override { return index < 2 ? FrameAt(index).ParentHandle() : nullptr; }
  Steinberg::FIDString WindowType() override { return Steinberg::kPlatformTypeX11EmbedWindowID; }
  bool NewSecondFrame(int width, int height, std::string& error) override {
    second_ = host::X11EditorFrame::Create(width, height, 0, kSecondTop, error);
    return bool(second_);
  }
  void ExpectEditorIn(int index, int width, int height) override {
    Settle();
    EXPECT_TRUE(!second_ || FrameAt(1 - index).Children().empty()) << "an editor window in the other frame";
    ASSERT_EQ(FrameAt(index).Children().size(), 1u) << "no editor window in frame " << index;
    xcb_connection_t* c = Frame().Connection();
    xcb_get_geometry_reply_t* window =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, FrameAt(index).Children()[0]), nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->width, width);
    EXPECT_EQ(window->height, height);
    free(window);
  }
  host::RgbaImage CaptureFrame(int index) override {
    host::RgbaImage image;
    EXPECT_EQ(Loop().RunTicks(2, 10000), 2) << "the repaint timer did not run";
    Settle();
    std::string error;
    EXPECT_TRUE(FrameAt(index).Capture(image, error)) << error;
    return image;
  }
  void ClickDevice(int x, int y) override { Click(x, y); }
  void WheelDevice(int index, int x, int y) override {
    MovePointer(x, y + (index == 0 ? 0 : kSecondTop));
    Button(4, true);
    Button(4, false);
  }
  void SpoilAndExpose(int x, int y, int width, int height) override {
    xcb_connection_t* c = Frame().Connection();
    const xcb_window_t editor = Frame().Children()[0];
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t black[] = {0};
    xcb_create_gc(c, gc, editor, XCB_GC_FOREGROUND, black);
    const xcb_rectangle_t spoilt = {int16_t(x), int16_t(y), uint16_t(width), uint16_t(height)};
    xcb_poly_fill_rectangle(c, editor, gc, 1, &spoilt);
    xcb_free_gc(c, gc);
    xcb_expose_event_t expose{};
    expose.response_type = XCB_EXPOSE;
    expose.window = editor;
    expose.x = uint16_t(x);
    expose.y = uint16_t(y);
    expose.width = uint16_t(width);
    expose.height = uint16_t(height);
    xcb_send_event(c, 0, editor, XCB_EVENT_MASK_EXPOSURE, reinterpret_cast<const char*>(&expose));
    Settle();
  }
  void TearDown() override {
    EXPECT_TRUE(!second_ || second_->Children().empty()) << "an editor window outlived its view";
    second_.reset();
    X11EditorTest::TearDown();
  }
};

TEST_F(X11ScaleTest, AtTwiceTheScaleTheWindowIsTheSnapshotAndGesturesMakeTheSameEdits) {
  ExpectScaleTwoIsTheSnapshot("x11_scale_2.png");
}

TEST_F(X11ScaleTest, EveryFactorFromOneToThreeSizesTheFrameAndShowsAndHitsAsTheSnapshot) {
  ExpectEveryFactorFromOneToThree();
}

TEST_F(X11ScaleTest, TwoViewsKeepTheirOwnFactorsInEveryOrderAHostTakesThemDown) { ExpectEveryViewOrder(); }

TEST_F(X11ScaleTest, APatternShowsAsTheSnapshotAtOneOneAndAHalfAndTwo) { ExpectPatternShownAsTheSnapshotAtEachScale(); }

TEST_F(X11ScaleTest, ThePlayheadFollowsTheProcessedAudioAndStaysWhenItStops) { ExpectPlayheadFollowsTheAudio(); }

TEST_F(X11ScaleTest, ProgramButtonsStepThroughTheBankAndHostChangesShowAtOnce) {
  ExpectProgramButtonsStepThroughTheBank();
}

}  // namespace
}  // namespace vellox::test
