// The editor at a content scale in a Windows host, through the shared scale proof.
#include "CliRunner.h"
#include "EditorHostFixture.h"

namespace vellox::test {
namespace {

class EditorScaleTest : public EditorHostTest {
protected:
  bool NewFrame(int width, int height, std::string& error) override {
    frame_ = host::EditorFrame::Create(width, height, error);
    return bool(frame_);
  }

  void RunSnapshotTool(int scale, const std::string& out) override {
    const CliResult r =
        RunVellox({"snapshot", "--scale", std::to_string(scale), "--out", out, "--plugin", VELLOX_BUNDLE_PATH});
    EXPECT_EQ(r.code, 0) << r.err;
  }

  void ExpectWindowSize(int width, int height) override {
    RECT client{};
    ASSERT_TRUE(GetClientRect(Editor(), &client));
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
  }

  void SendGestures(int scale) override {
    SendPointer(WM_LBUTTONDOWN, MK_LBUTTON, 240 * scale, 100 * scale);
    SendPointer(WM_MOUSEMOVE, MK_LBUTTON, 240 * scale, 60 * scale);
    SendPointer(WM_LBUTTONUP, 0, 240 * scale, 60 * scale);
    Wheel(390 * scale, 75 * scale, WHEEL_DELTA);
    SendMessageA(Editor(), WM_MOUSELEAVE, 0, 0);
  }
};

TEST_F(EditorScaleTest, AtTwiceTheScaleTheWindowIsTheSnapshotAndGesturesMakeTheSameEdits) {
  ExpectScaleTwoIsTheSnapshot("win_scale_2.png");
}

}  // namespace
}  // namespace vellox::test
