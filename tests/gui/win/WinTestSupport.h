#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <windows.h>

#include "IControl.h"
#include "IEffectBase.h"
#include "IGuiTypes.h"
#include "IGraphicsWin.h"
#include "PIX_Bitmap.h"
#include "WinSystemApi.h"

// A plug-in that records what the editor tells it. Parameters:
// 0 continuous 0..20, step 0.01 (precision 2), default 5;
// 1 integer 0..1 (a switch);
// 2 type 3 with the display texts "Low", "Mid", "High" for 0..2.
class RecordingPlug : public IEffectBase {
public:
  explicit RecordingPlug(int adapterKind = 1);

  void BeginHostEdit(int index) override;
  void SendHostEdit(int index, double normalized) override;
  void EndHostEdit(int index) override;
  void OpenHostContextMenu(int index, int x, int y) override;
  void ResizeEditorFrame(int width, int height) override;

  // "begin 0", "edit 0 0.625000", "end 0", "menu 0 30 40", "resize 300 150".
  std::vector<std::string> events;
  // The last value sent for an index, or -1.
  double LastEdit(int index) const;
  int CountEvents(const std::string& prefix) const;
};

// A control that records the keys and presses it receives; paints nothing.
class RecordingControl : public IControl {
public:
  RecordingControl(IEffectBase* plug, const IBox& box, int paramIdx = -1, bool takesKeys = true);
  bool Paint(IGraphics* graphics) override { return true; }
  bool KeyPress(int x, int y, KeyCode key) override;
  void PointerDown(int x, int y, const IPointerMods& mods) override;
  void ReceiveEnteredText(const char* text) override { entered.push_back(text); }

  std::vector<int> keys;
  std::vector<IPointerMods> presses;
  std::vector<std::string> entered;
  bool takesKeys;
};

// Synthetic artwork: `frames` frames of w x h stacked vertically, frame k
// filled with Colour(k); artworks of different tints never share a colour.
// Owns its bitmap.
class TestArtwork {
public:
  TestArtwork(int w, int h, int frames, int tint);
  ~TestArtwork();
  IBitmapRef Ref() const;
  PixelWord Colour(int frame) const;

private:
  PIX_MemBitmap* mBitmap;
  int mFrames;
  int mTint;
};

// A top-level host window (with a dialog frame, so its client area is
// offset from its window rectangle) holding a child panel, the parent
// the editor is opened in. Records the key messages that reach the host.
// Host windows are kept for reuse by later tests: taking a visible
// top-level window down costs Wine seconds on a display without a window
// manager. A test may still destroy its host; that one is not reused.
class HostWindow {
public:
  HostWindow(int x = 40, int y = 40);
  ~HostWindow();
  HWND Top() const { return mTop; }
  HWND Panel() const { return mPanel; }
  static const char* ClassName();

  std::vector<std::pair<UINT, WPARAM>> keys;
  std::vector<LPARAM> keyFlags;  // the flags word of each of those messages

private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND mTop = nullptr;
  HWND mPanel = nullptr;
};

// Dispatches messages for about `ms` milliseconds (timer ticks included).
void PumpMessages(int ms);
// Dispatches messages until `done` holds or `timeoutMs` has passed; the
// result is done's last answer.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);
// True when every one of the client points lies in the window's pending
// update region.
bool WaitsForPaintAt(HWND window, std::initializer_list<POINT> points);
// Pixel of a window's client area as 0x00RRGGBB.
unsigned WindowPixel(HWND window, int x, int y);
// PixelWord without alpha, for comparisons with WindowPixel.
inline unsigned Rgb(PixelWord p) { return p & 0xFFFFFFu; }
inline LPARAM PointerAt(int x, int y) { return MAKELPARAM(x & 0xFFFF, y & 0xFFFF); }

// Installs a WinSystemApi for the lifetime of the object and restores the
// real functions afterwards.
class ScopedSystemApi {
public:
  explicit ScopedSystemApi(const WinSystemApi& api) { SetWinSystemApi(api); }
  ~ScopedSystemApi() { SetWinSystemApi(WinSystemApi{}); }
};
