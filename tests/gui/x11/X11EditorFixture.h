#pragma once
// The Linux module driven as a DAW on X11 drives it: loaded from the bundle,
// instantiated and started through the host library, with a recording
// component handler; its editor views attached to a real top-level window on
// this host's run loop, and real pointer and key input sent through XTEST.
#include <xcb/xcb.h>

#include <memory>
#include <string>

#include "ExpectedEditorModule.h"
#include "pluginterfaces/gui/iplugview.h"
#include "snapshot_x11_host.h"

namespace vellox::test {

using Events = std::vector<HostEvent>;

class X11EditorTest : public EditorModuleTest {
protected:
  X11EditorTest() { loop_.owner = this; }

  void SetUp() override;
  void TearDown() override;

  // A new view from the controller with this host's frame, attached to the frame window.
  Steinberg::IPtr<Steinberg::IPlugView> OpenView() override;
  // removed(), the frame taken back, then the host's reference dropped.
  void CloseView(Steinberg::IPtr<Steinberg::IPlugView>& view) override;

  host::X11EditorFrame& Frame() const { return *frame_; }
  host::X11RunLoop& Loop() { return loop_; }

  // Lets the editor's timer run `ticks` times, then reads the frame's pixels.
  host::RgbaImage CaptureAfterTicks(int ticks = 2) override;

  // Real input at editor point (x, y), then the run loop until the module is done with it.
  void MovePointer(int x, int y);
  void Button(int button, bool press);
  void Click(int x, int y, int button = 1);
  // FADE dragged up 40 pixels, with the gesture the host must hear; answers
  // the value the drag sets.
  double DragFadeUpForty();
  void Key(xcb_keycode_t code, bool press);
  void Settle();

  // This host's run loop, offered through the frame, which resizes as the
  // reference editor host does.
  struct HostLoop : host::X11RunLoop {
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override {
      return owner->ResizeLikeReferenceHost(view, newSize);
    }
    EditorModuleTest* owner = nullptr;
  };

  std::unique_ptr<host::X11EditorFrame> frame_;
  HostLoop loop_;
};

// Resources the X server holds for the client that owns `window`, all types summed.
long ClientResourceCount(xcb_connection_t* connection, xcb_window_t window);
// Clients connected to the server.
long ClientCount(xcb_connection_t* connection);

}  // namespace vellox::test
