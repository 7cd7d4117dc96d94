#pragma once
// What the editor fixtures of both window layers share: the built module
// loaded from the bundle and started through the host library, with a
// recording component handler, and the editor checks on that instance.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EditorChecks.h"
#include "module_library.h"
#include "plugin_instance.h"
#include "pluginterfaces/gui/iplugview.h"
#include "RecordingHandler.h"
#include "rgba_image.h"
#include "view_scale.h"

namespace vellox::test {

class EditorModuleTest : public testing::Test {
protected:
  static constexpr int kBlockFrames = 64;

  // The window layer's part: a view attached to its frame, and taken down
  // again; the frame's pixels after the editor's timer ran `ticks` times.
  virtual Steinberg::IPtr<Steinberg::IPlugView> OpenView() = 0;
  virtual void CloseView(Steinberg::IPtr<Steinberg::IPlugView>& view) = 0;
  virtual host::RgbaImage CaptureAfterTicks(int ticks = 2) = 0;

  void StartModule() {
    std::string error;
    module_ = host::ModuleLibrary::Load(VELLOX_BUNDLE_PATH, error);
    ASSERT_TRUE(module_) << error;
    instance_ = host::PluginInstance::Create(*module_, error);
    ASSERT_TRUE(instance_) << error;
    host::ProcessConfig config;
    config.maxBlock = kBlockFrames;
    ASSERT_TRUE(instance_->Start(config, error)) << error;
    ASSERT_EQ(Controller().setComponentHandler(&handler_), Steinberg::kResultOk);
  }

  Steinberg::Vst::IEditController& Controller() const { return *instance_->Controller(); }
  void SaveArtifact(const host::RgbaImage& image, const std::string& name) const {
    SaveEditorPicture(image, VELLOX_ARTIFACT_DIR, name);
  }
  // Expects every pixel of the picture to be the editor for `values`.
  void ExpectShows(const host::RgbaImage& shown, const EditorValues& values) const { ExpectEditorShows(shown, values); }
  // One processed block that carries the value as host automation.
  void Automate(Steinberg::Vst::ParamID id, double normalized) {
    AutomateOneBlock(*instance_, id, normalized, kBlockFrames);
  }

  // OUTPUT automated by the host shows its new frame within two ticks and
  // comes back as no edit.
  void ExpectHostAutomationShown(const std::string& artifact) {
    Steinberg::IPtr<Steinberg::IPlugView> view = OpenView();
    const host::RgbaImage before = CaptureAfterTicks();
    ExpectShows(before, kDefaultValues);

    Automate(kOutput, 0.9);
    const host::RgbaImage after = CaptureAfterTicks(2);
    SaveArtifact(after, artifact);
    EditorValues values = kDefaultValues;
    values[kOutput] = 0.9;
    ExpectShows(after, values);
    EXPECT_GT(DifferingPixels(before, after, RectOf(kOutput)), 100);
    EXPECT_TRUE(handler_.events.empty()) << "host automation came back as an edit: " << handler_.events.front();
    CloseView(view);
  }

  // For the content-scale proof, the window layer's part: a frame of this
  // size, the built tool writing its picture at this scale to `out`, the
  // editor window's size, and FADE dragged up 40 editor pixels and a wheel
  // notch on CHOP, in device pixels.
  virtual bool NewFrame(int, int, std::string&) { return false; }
  virtual void RunSnapshotTool(int, const std::string&) {}
  virtual void ExpectWindowSize(int, int) {}
  virtual void SendGestures(int) {}

  host::RgbaImage Snapshot(int scale) {
    const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/scale_snapshot_" + std::to_string(scale) + ".png";
    RunSnapshotTool(scale, out);
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
    ExpectWindowSize(kEditorWidth * scale, kEditorHeight * scale);
  }

  std::vector<HostEvent> Gestures(int scale) {
    Automate(kFade, 0.0);
    Automate(kChop, 0.0);
    CaptureAfterTicks();
    handler_.events.clear();
    SendGestures(scale);
    return handler_.events;
  }

  // At 2 the window shows exactly what `vellox snapshot --scale 2` paints, the
  // same pointer gestures (in device pixels) make the same host edits as at 1,
  // and a new factor while attached resizes the window and repaints it.
  void ExpectScaleTwoIsTheSnapshot(const std::string& artifact) {
    std::string error;
    ASSERT_TRUE(NewFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    Steinberg::IPtr<Steinberg::IPlugView> view = OpenView();
    for (float refused : {0.5f, 0.99f, 3.01f, 8.0f})
      EXPECT_EQ(host::SetContentScale(*view, refused), Steinberg::kResultFalse);

    SetScale(*view, 2);
    const host::RgbaImage twice = Snapshot(2);
    host::RgbaImage shown = CaptureAfterTicks();
    SaveArtifact(shown, artifact);
    std::string first;
    EXPECT_EQ(DifferingPixels(shown, twice, 0, 0, 2 * kEditorWidth, 2 * kEditorHeight, &first), 0) << first;

    const std::vector<HostEvent> atTwo = Gestures(2);
    SetScale(*view, 1);
    const std::vector<HostEvent> atOne = Gestures(1);
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

  std::unique_ptr<host::ModuleLibrary> module_;
  std::unique_ptr<host::PluginInstance> instance_;
  RecordingHandler handler_;
};

}  // namespace vellox::test
