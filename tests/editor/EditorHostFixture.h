#pragma once
// The Windows module driven as a DAW drives it: loaded from the bundle,
// instantiated and started through the host library, with a recording
// component handler, and its editor views opened in a real top-level window.
// The module's calls that would start a browser are redirected into a log.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor_frame.h"
#include "ExpectedEditor.h"
#include "ImportPatch.h"
#include "plugin_instance.h"
#include "pluginterfaces/gui/iplugview.h"
#include "RecordingHandler.h"

namespace vellox::test {

// What the module asked of the system: "open <address>" per browser start.
struct BrowserLog {
  std::vector<std::string> opened;
  int onlineQueries = 0;
};
BrowserLog& Browser();

class EditorHostTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A new view from the controller, attached to the frame window.
  Steinberg::IPtr<Steinberg::IPlugView> OpenView();
  // removed(), then the host's reference is dropped.
  void CloseView(Steinberg::IPtr<Steinberg::IPlugView>& view);

  // The window the views open in, as a DAW's editor frame, and the editor window in it.
  host::EditorFrame& Frame() const { return *frame_; }
  HWND Editor() const;
  int EditorWindowCount() const;

  // Lets the editor's timer run `ticks` times, then copies the frame's pixels.
  host::RgbaImage CaptureAfterTicks(int ticks = 2);
  void SaveArtifact(const host::RgbaImage& image, const std::string& name) const;
  // Expects every pixel of the picture to be the editor for `values`.
  void ExpectShows(const host::RgbaImage& shown, const EditorValues& values) const;

  // One processed block that carries the value as host automation.
  void Automate(Steinberg::Vst::ParamID id, double normalized);

  // Pointer messages as the system sends them to the editor window.
  void SendPointer(UINT message, WPARAM keys, int x, int y) const;
  void Click(int x, int y) const;
  // A wheel turn over editor point (x, y); the message carries screen coordinates.
  void Wheel(int x, int y, int delta) const;

  Steinberg::Vst::IEditController& Controller() const { return *instance_->Controller(); }

  std::unique_ptr<host::ModuleLibrary> module_;
  std::unique_ptr<host::PluginInstance> instance_;
  std::unique_ptr<host::EditorFrame> frame_;
  RecordingHandler handler_;
  HMODULE moduleHandle_ = nullptr;
  std::unique_ptr<ImportPatch> shellPatch_;
  std::unique_ptr<ImportPatch> onlinePatch_;
};

}  // namespace vellox::test
