#pragma once
// What the editor fixtures of both window layers share: the built module
// loaded from the bundle and started through the host library, with a
// recording component handler, and the editor checks on that instance.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EditorChecks.h"
#include "module_library.h"
#include "plugin_instance.h"
#include "pluginterfaces/gui/iplugview.h"
#include "RecordingHandler.h"

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

  std::unique_ptr<host::ModuleLibrary> module_;
  std::unique_ptr<host::PluginInstance> instance_;
  RecordingHandler handler_;
};

}  // namespace vellox::test
