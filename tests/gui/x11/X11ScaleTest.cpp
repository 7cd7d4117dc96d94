// The editor at a content scale on X11: what a host on a high-density screen
// sees and does. At 2 the window shows exactly what `vellox snapshot --scale 2`
// paints, the same pointer gestures (in device pixels) make the same host
// edits as at 1, and a new factor while attached resizes and repaints.
#include <cstdlib>

#include "ExpectedEditor.h"
#include "X11EditorFixture.h"
#include "view_scale.h"
#include "rgba_image.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

class X11ScaleTest : public X11EditorTest {
protected:
  // The built tool's picture, painted off-screen at this scale.
  host::RgbaImage Snapshot(int scale) {
    const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/scale_snapshot_" + std::to_string(scale) + ".png";
    const std::string command = "env -u DISPLAY '" VELLOX_TOOL_PATH "' snapshot --scale " + std::to_string(scale) +
                                " --out '" + out + "' >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    host::RgbaImage image;
    std::string error;
    EXPECT_TRUE(host::ReadPngFile(out, image, error)) << error;
    return image;
  }

  // Sets the factor on the attached view and checks the size it reports and
  // the size of its window.
  void SetScale(IPlugView& view, int scale) {
    ASSERT_EQ(host::SetContentScale(view, float(scale)), kResultOk);
    ViewRect size{};
    ASSERT_EQ(view.getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), kEditorWidth * scale);
    EXPECT_EQ(size.getHeight(), kEditorHeight * scale);
    Settle();
    ASSERT_EQ(Frame().Children().size(), 1u);
    xcb_get_geometry_reply_t* window = xcb_get_geometry_reply(
        Frame().Connection(), xcb_get_geometry(Frame().Connection(), Frame().Children()[0]), nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->width, kEditorWidth * scale);
    EXPECT_EQ(window->height, kEditorHeight * scale);
    free(window);
  }

  // FADE dragged up 40 editor pixels and a wheel notch on CHOP, in device pixels.
  Events Gestures(int scale) {
    Automate(kFade, 0.0);
    Automate(kChop, 0.0);
    CaptureAfterTicks();
    handler_.events.clear();
    MovePointer(240 * scale, 100 * scale);
    Button(1, true);
    MovePointer(240 * scale, 60 * scale);
    Button(1, false);
    MovePointer(390 * scale, 75 * scale);
    Button(4, true);
    Button(4, false);
    MovePointer(10, 10);  // the wheel's gesture ends when the pointer leaves
    Loop().RunTicks(12, 2000);
    return handler_.events;
  }
};

TEST_F(X11ScaleTest, AtTwiceTheScaleTheWindowIsTheSnapshotAndGesturesMakeTheSameEdits) {
  std::string error;
  frame_ = host::X11EditorFrame::Create(2 * kEditorWidth, 2 * kEditorHeight, 0, 0, error);
  ASSERT_TRUE(frame_) << error;
  IPtr<IPlugView> view = OpenView();
  for (float refused : {0.5f, 0.99f, 3.01f, 8.0f}) EXPECT_EQ(host::SetContentScale(*view, refused), kResultFalse);

  SetScale(*view, 2);
  const host::RgbaImage twice = Snapshot(2);
  host::RgbaImage shown = CaptureAfterTicks();
  SaveArtifact(shown, "x11_scale_2.png");
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
