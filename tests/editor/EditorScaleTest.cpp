// The editor at a content scale in a Windows host on a high-density screen:
// at 2 the window shows exactly what `vellox snapshot --scale 2` paints, the
// same pointer gestures (in device pixels) make the same host edits as at 1,
// and a new factor while attached resizes the window and repaints it.
#include "CliRunner.h"
#include "EditorHostFixture.h"
#include "view_scale.h"

namespace vellox::test {
namespace {

using namespace Steinberg;
using Events = std::vector<HostEvent>;

class EditorScaleTest : public EditorHostTest {
protected:
  host::RgbaImage Snapshot(int scale) {
    const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/scale_snapshot_" + std::to_string(scale) + ".png";
    const CliResult r =
        RunVellox({"snapshot", "--scale", std::to_string(scale), "--out", out, "--plugin", VELLOX_BUNDLE_PATH});
    EXPECT_EQ(r.code, 0) << r.err;
    host::RgbaImage image;
    std::string error;
    EXPECT_TRUE(host::ReadPngFile(out, image, error)) << error;
    return image;
  }

  void SetScale(IPlugView& view, int scale) {
    ASSERT_EQ(host::SetContentScale(view, float(scale)), kResultOk);
    ViewRect size{};
    ASSERT_EQ(view.getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), kEditorWidth * scale);
    EXPECT_EQ(size.getHeight(), kEditorHeight * scale);
    RECT client{};
    ASSERT_TRUE(GetClientRect(Editor(), &client));
    EXPECT_EQ(client.right, kEditorWidth * scale);
    EXPECT_EQ(client.bottom, kEditorHeight * scale);
  }

  // FADE dragged up 40 editor pixels and a wheel notch on CHOP, in device pixels.
  Events Gestures(int scale) {
    Automate(kFade, 0.0);
    Automate(kChop, 0.0);
    CaptureAfterTicks();
    handler_.events.clear();
    SendPointer(WM_LBUTTONDOWN, MK_LBUTTON, 240 * scale, 100 * scale);
    SendPointer(WM_MOUSEMOVE, MK_LBUTTON, 240 * scale, 60 * scale);
    SendPointer(WM_LBUTTONUP, 0, 240 * scale, 60 * scale);
    Wheel(390 * scale, 75 * scale, WHEEL_DELTA);
    SendMessageA(Editor(), WM_MOUSELEAVE, 0, 0);
    return handler_.events;
  }
};

TEST_F(EditorScaleTest, AtTwiceTheScaleTheWindowIsTheSnapshotAndGesturesMakeTheSameEdits) {
  std::string error;
  frame_ = host::EditorFrame::Create(2 * kEditorWidth, 2 * kEditorHeight, error);
  ASSERT_TRUE(frame_) << error;
  IPtr<IPlugView> view = OpenView();
  for (float refused : {0.5f, 0.99f, 3.01f, 8.0f}) EXPECT_EQ(host::SetContentScale(*view, refused), kResultFalse);

  SetScale(*view, 2);
  const host::RgbaImage twice = Snapshot(2);
  host::RgbaImage shown = CaptureAfterTicks();
  SaveArtifact(shown, "win_scale_2.png");
  std::string first;
  EXPECT_EQ(DifferingPixels(shown, twice, 0, 0, 2 * kEditorWidth, 2 * kEditorHeight, &first), 0) << first;

  const Events atTwo = Gestures(2);
  SetScale(*view, 1);
  const Events atOne = Gestures(1);
  EXPECT_EQ(atTwo, atOne);
  ASSERT_GE(atOne.size(), 5u);
  EXPECT_EQ(atOne[1], Perform(kFade, 40.0 / 97.0 / 4.0));

  // Back at the defaults, each change of factor repaints the whole editor.
  Automate(kFade, 0.0);
  Automate(kChop, 0.0);
  shown = CaptureAfterTicks();
  EXPECT_EQ(DifferingPixels(shown, Snapshot(1), 0, 0, kEditorWidth, kEditorHeight, &first), 0) << first;
  SetScale(*view, 2);
  shown = CaptureAfterTicks();
  EXPECT_EQ(DifferingPixels(shown, twice, 0, 0, 2 * kEditorWidth, 2 * kEditorHeight, &first), 0) << first;
  CloseView(view);
}

}  // namespace
}  // namespace vellox::test
