#pragma once
// The editor at a content scale, as a host on a high-density screen sees and
// drives it, on either platform's editor fixture: at 2 the window shows
// exactly what `vellox snapshot --scale 2` paints, the same pointer gestures
// (in device pixels) make the same host edits as at 1, and a new factor while
// attached resizes the window and repaints it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExpectedEditor.h"
#include "pluginterfaces/gui/iplugview.h"
#include "RecordingHandler.h"
#include "rgba_image.h"
#include "view_scale.h"

namespace vellox::test {

// Self, derived from ScaleProof, supplies the platform's part: NewFrame(width,
// height, error), RunSnapshotTool(scale, out) writing the built tool's picture,
// ExpectWindowSize(width, height), and SendGestures(scale): FADE dragged up 40
// editor pixels and a wheel notch on CHOP, in device pixels.
template <class Self, class Fixture>
class ScaleProof : public Fixture {
protected:
  Self& Platform() { return static_cast<Self&>(*this); }

  host::RgbaImage Snapshot(int scale) {
    const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/scale_snapshot_" + std::to_string(scale) + ".png";
    Platform().RunSnapshotTool(scale, out);
    host::RgbaImage image;
    std::string error;
    EXPECT_TRUE(host::ReadPngFile(out, image, error)) << error;
    return image;
  }

  void SetScale(Steinberg::IPlugView& view, int scale) {
    ASSERT_EQ(host::SetContentScale(view, float(scale)), Steinberg::kResultOk);
    Steinberg::ViewRect size{};
    ASSERT_EQ(view.getSize(&size), Steinberg::kResultOk);
    EXPECT_EQ(size.getWidth(), kEditorWidth * scale);
    EXPECT_EQ(size.getHeight(), kEditorHeight * scale);
    Platform().ExpectWindowSize(kEditorWidth * scale, kEditorHeight * scale);
  }

  std::vector<HostEvent> Gestures(int scale) {
    this->Automate(kFade, 0.0);
    this->Automate(kChop, 0.0);
    this->CaptureAfterTicks();
    this->handler_.events.clear();
    Platform().SendGestures(scale);
    return this->handler_.events;
  }

  void ExpectScaleTwoIsTheSnapshot(const std::string& artifact) {
    std::string error;
    ASSERT_TRUE(Platform().NewFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    Steinberg::IPtr<Steinberg::IPlugView> view = this->OpenView();
    for (float refused : {0.5f, 0.99f, 3.01f, 8.0f})
      EXPECT_EQ(host::SetContentScale(*view, refused), Steinberg::kResultFalse);

    SetScale(*view, 2);
    const host::RgbaImage twice = Snapshot(2);
    host::RgbaImage shown = this->CaptureAfterTicks();
    this->SaveArtifact(shown, artifact);
    std::string first;
    EXPECT_EQ(DifferingPixels(shown, twice, 0, 0, 2 * kEditorWidth, 2 * kEditorHeight, &first), 0) << first;

    const std::vector<HostEvent> atTwo = Gestures(2);
    SetScale(*view, 1);
    const std::vector<HostEvent> atOne = Gestures(1);
    EXPECT_EQ(atTwo, atOne);
    ASSERT_GE(atOne.size(), 5u);
    EXPECT_EQ(atOne[1], Perform(kFade, 40.0 / 97.0 / 4.0));

    // Back at the defaults, each change of factor repaints the whole editor.
    this->Automate(kFade, 0.0);
    this->Automate(kChop, 0.0);
    shown = this->CaptureAfterTicks();
    EXPECT_EQ(DifferingPixels(shown, Snapshot(1), 0, 0, kEditorWidth, kEditorHeight, &first), 0) << first;
    SetScale(*view, 2);
    shown = this->CaptureAfterTicks();
    EXPECT_EQ(DifferingPixels(shown, twice, 0, 0, 2 * kEditorWidth, 2 * kEditorHeight, &first), 0) << first;
    this->CloseView(view);
  }
};

}  // namespace vellox::test
