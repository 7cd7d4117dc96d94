#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "ClapWindowServices.h"
#include "IEffectClap.h"
#include "IGraphics.h"
#include "IGraphicsPlatform.h"

// The editor embedded in the host's window. The window type is the one the
// window layer lives in; the size is the editor's, fixed, in device pixels
// at the host's scale. Calls come on the host's main thread.
struct IEffectClap::GuiState {
  double scale = 1.0;
  bool open = false;  // the editor window is in the host's window
  std::unique_ptr<ClapWindowServices> services;
};

namespace {

const char* ClapApiForPlatform() {
  const char* type = PlatformWindowType();
  if (!type) return nullptr;
  if (!std::strcmp(type, "HWND")) return CLAP_WINDOW_API_WIN32;
  if (!std::strcmp(type, "X11EmbedWindowID")) return CLAP_WINDOW_API_X11;
  return nullptr;
}

}  // namespace

bool IEffectClap::GuiCreate(const char* api, bool floating) {
  const char* own = ClapApiForPlatform();
  if (mGui || floating || !api || !own || std::strcmp(api, own) != 0 || !Graphics()) return false;
  mGui = new GuiState();
  mGui->services = MakeClapWindowServices(mHost);
  auto* editor = static_cast<IGraphics*>(Graphics());
  editor->AdoptCallingThread();
  return true;
}

void IEffectClap::GuiDestroy() {
  if (!mGui) return;
  if (mGui->open) {
    static_cast<IGraphics*>(Graphics())->CloseEditorWindow();
    EditorClosed();
  }
  delete mGui;
  mGui = nullptr;
}

bool IEffectClap::GuiSetScale(double scale) {
  if (!mGui || !std::isfinite(scale) || scale < 1.0 || scale > 3.0) return false;
  mGui->scale = scale;
  auto* editor = static_cast<IGraphics*>(Graphics());
  return editor->SetContentScale(scale) || true;
}

bool IEffectClap::GuiGetSize(uint32_t* width, uint32_t* height) {
  if (!mGui || !width || !height) return false;
  const auto* editor = static_cast<const IGraphics*>(Graphics());
  const double s = mGui->scale;
  *width = static_cast<uint32_t>(s == 1.0 ? editor->Width() : std::lround(editor->Width() * s));
  *height = static_cast<uint32_t>(s == 1.0 ? editor->Height() : std::lround(editor->Height() * s));
  return true;
}

// A window layer that needs a service the host does not give (the X11
// layer's run loop: timers and descriptor watches) refuses, and the host
// shows no editor.
bool IEffectClap::GuiSetParent(const clap_window_t* window) {
  if (!mGui || !window || mGui->open) return false;
  auto* editor = static_cast<IGraphics*>(Graphics());
  editor->SetContentScale(mGui->scale);
  void* parent = window->ptr;
  if (window->api && !std::strcmp(window->api, CLAP_WINDOW_API_X11))
    parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11));
  if (!OpenPlatformEditorWindow(*editor, parent, mGui->services ? mGui->services->HostFrame() : nullptr)) return false;
  mGui->open = true;
  EditorOpened();
  return true;
}

bool IEffectClap::GuiShow(bool) { return mGui && mGui->open; }

void IEffectClap::OnTimer(clap_id timer) {
  if (mGui && mGui->services) mGui->services->OnTimer(timer);
}

void IEffectClap::OnFd(int fd, clap_posix_fd_flags_t flags) {
  if (mGui && mGui->services) mGui->services->OnFd(fd, flags);
}

// The editor's size is fixed: the host learns a new one from get_size after
// a resize request.
void IEffectClap::ResizeEditorFrame(int width, int height) {
  if (mGui && mHostGui && mHostGui->request_resize) mHostGui->request_resize(mHost, width, height);
}

namespace {

IEffectClap* Main(const clap_plugin_t* plugin) {
  IEffectClap* effect = IEffectClap::From(plugin);
  return effect && effect->OnMainThread() ? effect : nullptr;
}

template <class Call>
bool Barrier(const clap_plugin_t* plugin, Call call) {
  try {
    IEffectClap* effect = Main(plugin);
    return effect && call(*effect);
  } catch (...) {
    return false;
  }
}

bool IsApiSupported(const clap_plugin_t* plugin, const char* api, bool floating) {
  const char* own = ClapApiForPlatform();
  return Main(plugin) && !floating && api && own && !std::strcmp(api, own);
}

bool PreferredApi(const clap_plugin_t* plugin, const char** api, bool* floating) {
  const char* own = ClapApiForPlatform();
  if (!Main(plugin) || !own || !api || !floating) return false;
  *api = own;
  *floating = false;
  return true;
}

bool Create(const clap_plugin_t* p, const char* api, bool floating) {
  return Barrier(p, [&](IEffectClap& e) { return e.GuiCreate(api, floating); });
}
void Destroy(const clap_plugin_t* p) {
  Barrier(p, [](IEffectClap& e) { return e.GuiDestroy(), true; });
}
bool SetScale(const clap_plugin_t* p, double scale) {
  return Barrier(p, [&](IEffectClap& e) { return e.GuiSetScale(scale); });
}
bool GetSize(const clap_plugin_t* p, uint32_t* w, uint32_t* h) {
  return Barrier(p, [&](IEffectClap& e) { return e.GuiGetSize(w, h); });
}
bool CanResize(const clap_plugin_t*) { return false; }
bool ResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; }
// The one size the editor takes is its own.
bool AdjustSize(const clap_plugin_t* p, uint32_t* w, uint32_t* h) { return GetSize(p, w, h); }
bool SetSize(const clap_plugin_t* p, uint32_t w, uint32_t h) {
  uint32_t ownW = 0, ownH = 0;
  return GetSize(p, &ownW, &ownH) && ownW == w && ownH == h;
}
bool SetParent(const clap_plugin_t* p, const clap_window_t* window) {
  return Barrier(p, [&](IEffectClap& e) { return e.GuiSetParent(window); });
}
bool SetTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
void SuggestTitle(const clap_plugin_t*, const char*) {}
bool Show(const clap_plugin_t* p) {
  return Barrier(p, [](IEffectClap& e) { return e.GuiShow(true); });
}
bool Hide(const clap_plugin_t* p) {
  return Barrier(p, [](IEffectClap& e) { return e.GuiShow(false); });
}

void TimerCall(const clap_plugin_t* p, clap_id timer) {
  Barrier(p, [&](IEffectClap& e) { return e.OnTimer(timer), true; });
}
void FdCall(const clap_plugin_t* p, int fd, clap_posix_fd_flags_t flags) {
  Barrier(p, [&](IEffectClap& e) { return e.OnFd(fd, flags), true; });
}

}  // namespace

const clap_plugin_timer_support_t IEffectClap::kTimerSupport = {TimerCall};
const clap_plugin_posix_fd_support_t IEffectClap::kPosixFdSupport = {FdCall};
const clap_plugin_gui_t IEffectClap::kGui = {IsApiSupported, PreferredApi, Create,       Destroy,    SetScale,
                                             GetSize,        CanResize,    ResizeHints,  AdjustSize, SetSize,
                                             SetParent,      SetTransient, SuggestTitle, Show,       Hide};
