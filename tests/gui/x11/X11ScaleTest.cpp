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
  void RunSnapshotTool(int scale, const std::string& out) override {
    const std::string command = "env -u DISPLAY '" VELLOX_TOOL_PATH "' snapshot --scale " + std::to_string(scale) +
                                " --out '" + out + "' >/dev/null";
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
};

TEST_F(X11ScaleTest, AtTwiceTheScaleTheWindowIsTheSnapshotAndGesturesMakeTheSameEdits) {
  ExpectScaleTwoIsTheSnapshot("x11_scale_2.png");
}

}  // namespace
}  // namespace vellox::test
