#pragma once

#include <cstdint>
#include <vector>

#include "../IGraphics.h"
#include "X11ClickTracker.h"

struct xcb_connection_t;

namespace Steinberg::Linux {
class IRunLoop;
}
class X11RunLoopClient;
class X11Presenter;

// The editor on Linux: a child window of the host's X window, reached through
// a connection of its own, driven by the host's run loop (the connection's
// descriptor and a timer at the frame rate; no thread of its own). It
// translates X events into the core's input routing exactly as the Windows
// layer translates window messages, and presents the off-screen surface with
// shared memory, or with plain image requests where that is unavailable.
class IGraphicsX11 : public IGraphics {
public:
  using ArtworkTable = const unsigned char* (*)(int id, int* size);

  IGraphicsX11(IEffectBase* plug, int width, int height, int frameRate, ArtworkTable artwork);
  ~IGraphicsX11() override;

  // The host's run loop used by the next OpenEditorWindow; without one the
  // window does not open. A counted reference is held while a window is open.
  void SetRunLoop(Steinberg::Linux::IRunLoop* loop) { mRunLoop = loop; }

  bool PresentRegion(const IBox& box) override;
  void CancelTextEntry() override {}
  bool HasWindow() override { return mWindow != 0; }
  const char* DrawingBackendName() override { return "X11"; }
  // No dialogs of its own: a message is never answered.
  int ShowMessage(const char* text, const char* caption, int type) override { return 0; }
  IMenuModel* RunPopupMenu(IMenuModel* menu, const IBox& box) override;
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& box, const char* text,
                     IParamSlot* param) override {}
  void HostDirectory(std::string& out) override;
  void ModuleDirectory(std::string& out) override;
  void DesktopDirectory(std::string& out) override;
  void AppDataDirectory(std::string& out, bool allUsers) override;
  void UserAppDataDirectory(std::string& out) override { AppDataDirectory(out, false); }
  void AskForFile(std::string& fileName, int action, std::string& directory, const char* extensions) override {
    fileName.clear();
  }
  bool AskForColour(IArgbColor& colour, const char* prompt) override { return false; }
  bool OpenWebAddress(const char* address, const char* title, const char* confirmation, const char* errorText) override;
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  // The X window id, as a pointer-sized value.
  void* EditorWindowHandle() override { return reinterpret_cast<void*>(uintptr_t(mWindow)); }
  bool ReadClipboardText(std::string& out) override {
    out.clear();
    return false;
  }
  PIX_IBitmap* LoadArtworkResource(int id, const char* fileName) override;
  void ContentScaleChanged() override;

  // --- called by the host's run loop ---
  void OnConnectionReadable();
  void OnTick();

  // --- inspection ---
  uint32_t EditorWindow() const { return mWindow; }
  uint32_t HostParentWindow() const { return mHostParent; }
  bool PresentsThroughSharedMemory() const;

private:
  bool Connect();
  void Disconnect();
  bool CreateWindow(uint32_t parent, int x, int y, int w, int h);
  void SetEmbedInfo();
  void LoadKeyboardMap();
  bool RegisterWithRunLoop();
  void UnregisterFromRunLoop();
  void ForgetDestroyedWindow();
  void EndInterruptedDrag();
  void ReapBrowserStarts();

  void HandleEvent(const void* event);
  void HandleQueuedEvents();
  void OnPress(const void* event);
  void OnRelease(const void* event);
  void OnMotion(const void* event);
  void OnCrossing(const void* event, bool entered);
  void OnKey(const void* event, bool pressed);
  void PassKeyToHost(const void* event, bool pressed);
  void OnExpose(const void* event);

  ArtworkTable mArtwork;
  Steinberg::Linux::IRunLoop* mRunLoop = nullptr;
  Steinberg::Linux::IRunLoop* mRegisteredLoop = nullptr;  // counted while a window is open
  X11RunLoopClient* mRunLoopClient = nullptr;
  X11Presenter* mPresenter = nullptr;
  xcb_connection_t* mConnection = nullptr;
  uint32_t mRoot = 0;
  uint32_t mWindow = 0;
  uint32_t mHostParent = 0;
  uint8_t mDepth = 0;
  // The pointer is held by the editor between a press and its release (the
  // button's implicit grab), as the Windows layer holds the capture.
  bool mPointerHeld = false;
  X11ClickTracker mClicks;
  IBox mExposed;
  std::vector<uint32_t> mKeySyms;  // first symbol of each key code, from the server's keyboard map
  int mMinKeyCode = 0;
  int mKeySymsPerCode = 0;
  std::vector<int> mBrowserStarts;  // children not yet reaped
};
