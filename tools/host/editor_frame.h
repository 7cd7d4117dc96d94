#pragma once
// Windows only: a top-level window that holds a plug-in's editor view the
// way a DAW's editor frame does, with the message pumping and screen capture
// that a host program needs to watch the editor paint itself.
#include <windows.h>

#include <memory>
#include <string>

#include "rgba_image.h"

namespace vellox::host {

// The class of the window an editor opens inside the frame, and the id of
// its repaint timer.
inline constexpr const char* kEditorWindowClass = "IEffectWndClass";
inline constexpr UINT_PTR kEditorTimerId = 2;

class EditorFrame {
public:
  // A visible, borderless top-level window whose client area is width x height.
  static std::unique_ptr<EditorFrame> Create(int width, int height, std::string& error);
  ~EditorFrame();

  EditorFrame(const EditorFrame&) = delete;
  EditorFrame& operator=(const EditorFrame&) = delete;

  HWND Handle() const { return mWindow; }
  // The editor's own window inside the frame, or null when none is open.
  HWND EditorWindow() const;

private:
  EditorFrame() = default;
  HWND mWindow = nullptr;
};

// Dispatches this thread's messages for about `ms` milliseconds.
void PumpMessages(int ms);

// Dispatches messages until `editor` has handled `ticks` repaint timer ticks
// or `timeoutMs` has passed; returns the ticks handled.
int PumpTimerTicks(HWND editor, int ticks, int timeoutMs);

// Copies what the window's client area shows on screen into `image` (opaque).
bool CaptureWindow(HWND window, RgbaImage& image, std::string& error);

}  // namespace vellox::host
