#pragma once
// The Windows module driven as a DAW drives it: loaded from the bundle,
// instantiated and started through the host library, with a recording
// component handler, and its editor views opened in a real top-level window.
// The module's calls that would start a browser are redirected into a log.
#include <memory>
#include <string>
#include <vector>

#include "editor_frame.h"
#include "ExpectedEditorModule.h"
#include "ImportPatch.h"
#include "pluginterfaces/gui/iplugview.h"

namespace vellox::test {

// What the module asked of the system: "open <address>" per browser start.
struct BrowserLog {
  std::vector<std::string> opened;
  int onlineQueries = 0;
};
BrowserLog& Browser();

class EditorHostTest : public EditorModuleTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // A new view from the controller, attached to the frame window.
  Steinberg::IPtr<Steinberg::IPlugView> OpenView() override;
  // removed(), then the host's reference is dropped.
  void CloseView(Steinberg::IPtr<Steinberg::IPlugView>& view) override;

  // The window the views open in, as a DAW's editor frame, and the editor window in it.
  host::EditorFrame& Frame() const { return *frame_; }
  HWND Editor() const;
  int EditorWindowCount() const;

  // Lets the editor's timer run `ticks` times, then copies the frame's pixels.
  host::RgbaImage CaptureAfterTicks(int ticks = 2) override;

  // Pointer messages as the system sends them to the editor window.
  void SendPointer(UINT message, WPARAM keys, int x, int y) const;
  void Click(int x, int y) const;
  // A wheel turn over editor point (x, y); the message carries screen coordinates.
  void Wheel(int x, int y, int delta) const;

  std::unique_ptr<host::EditorFrame> frame_;
  HMODULE moduleHandle_ = nullptr;
  std::unique_ptr<ImportPatch> shellPatch_;
  std::unique_ptr<ImportPatch> onlinePatch_;
};

}  // namespace vellox::test
