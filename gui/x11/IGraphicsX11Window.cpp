// The editor window on X11: a connection of its own to the display, the child
// window inside the host's parent, registration with the host's run loop, and
// everything freed again when the editor closes or the host destroys the
// parent first.
#include <xcb/xcb.h>

#include <cstdlib>

#include "IGraphicsX11.h"
#include "X11Presenter.h"
#include "X11RunLoopClient.h"

using namespace Steinberg;

namespace {

constexpr uint32_t kEditorEvents =
    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
    XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
    XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

template <class Reply>
struct ReplyPtr {
  Reply* reply;
  ~ReplyPtr() { free(reply); }
  Reply* operator->() const { return reply; }
  explicit operator bool() const { return reply != nullptr; }
};

}  // namespace

IGraphicsX11::IGraphicsX11(IEffectBase* plug, int width, int height, int frameRate, ArtworkTable artwork)
    : IGraphics(plug, width, height, frameRate), mArtwork(artwork) {}

IGraphicsX11::~IGraphicsX11() { CloseEditorWindow(); }

bool IGraphicsX11::PresentsThroughSharedMemory() const { return mPresenter && mPresenter->UsesSharedMemory(); }

bool IGraphicsX11::Connect() {
  int screenNumber = 0;
  mConnection = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(mConnection)) {
    xcb_disconnect(mConnection);
    mConnection = nullptr;
    return false;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(mConnection));
  for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
  mRoot = screens.rem ? screens.data->root : 0;
  return true;
}

void IGraphicsX11::Disconnect() {
  if (!mConnection) return;
  xcb_disconnect(mConnection);
  mConnection = nullptr;
  mKeySyms.clear();
}

void* IGraphicsX11::OpenEditorWindow(void* parentHandle) {
  const uint32_t parent = uint32_t(reinterpret_cast<uintptr_t>(parentHandle));
  int x = 0, y = 0, w = DeviceWidth(), h = DeviceHeight();
  if (mWindow && mConnection) {
    // Reopening keeps the window where it was inside the parent, and its size.
    ReplyPtr<xcb_get_geometry_reply_t> old{
        xcb_get_geometry_reply(mConnection, xcb_get_geometry(mConnection, mWindow), nullptr)};
    if (old) {
      x = old->x;
      y = old->y;
      w = old->width;
      h = old->height;
    }
  }
  CloseEditorWindow();
  if (!parent || !mRunLoop || !Connect()) {
    Disconnect();
    return nullptr;
  }
  mHostParent = parent;
  if (!CreateWindow(parent, x, y, w, h) || !RegisterWithRunLoop()) {
    CloseEditorWindow();
    return nullptr;
  }
  SyncParamValues();
  MarkAllChanged();
  return EditorWindowHandle();
}

bool IGraphicsX11::CreateWindow(uint32_t parent, int x, int y, int w, int h) {
  // The parent's depth decides the image format; it also proves the parent exists.
  ReplyPtr<xcb_get_geometry_reply_t> geometry{
      xcb_get_geometry_reply(mConnection, xcb_get_geometry(mConnection, parent), nullptr)};
  if (!geometry || (geometry->depth != 24 && geometry->depth != 32)) return false;
  mDepth = geometry->depth;

  mWindow = xcb_generate_id(mConnection);
  // No background: nothing is erased before the editor paints, so it never flickers.
  const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, kEditorEvents};
  xcb_generic_error_t* error = xcb_request_check(
      mConnection, xcb_create_window_checked(mConnection, XCB_COPY_FROM_PARENT, mWindow, parent, int16_t(x), int16_t(y),
                                             uint16_t(w), uint16_t(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                                             XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK, values));
  if (error) {
    free(error);
    mWindow = 0;
    return false;
  }
  SetEmbedInfo();
  xcb_map_window(mConnection, mWindow);
  mPresenter = new X11Presenter(mConnection, mWindow, mDepth, DeviceWidth(), DeviceHeight());
  LoadKeyboardMap();
  // No keyboard focus is taken: no control reads keys, and the host keeps its
  // shortcuts while the editor is open.
  xcb_flush(mConnection);
  return true;
}

// Embedders that speak the embedding protocol read this from the window as
// it appears and refuse a window without it: protocol version 0, no flags.
void IGraphicsX11::SetEmbedInfo() {
  static const char kName[] = "_XEMBED_INFO";
  ReplyPtr<xcb_intern_atom_reply_t> atom{
      xcb_intern_atom_reply(mConnection, xcb_intern_atom(mConnection, 0, sizeof kName - 1, kName), nullptr)};
  if (!atom) return;
  const uint32_t info[2] = {0, 0};
  xcb_change_property(mConnection, XCB_PROP_MODE_REPLACE, mWindow, atom->atom, atom->atom, 32, 2, info);
}

void IGraphicsX11::LoadKeyboardMap() {
  const xcb_setup_t* setup = xcb_get_setup(mConnection);
  mMinKeyCode = setup->min_keycode;
  const int count = setup->max_keycode - setup->min_keycode + 1;
  ReplyPtr<xcb_get_keyboard_mapping_reply_t> map{xcb_get_keyboard_mapping_reply(
      mConnection, xcb_get_keyboard_mapping(mConnection, setup->min_keycode, uint8_t(count)), nullptr)};
  mKeySyms.clear();
  if (!map || map->keysyms_per_keycode == 0) return;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.reply);
  for (int i = 0; i < count; ++i) mKeySyms.push_back(syms[size_t(i) * map->keysyms_per_keycode]);
}

bool IGraphicsX11::RegisterWithRunLoop() {
  mRunLoopClient = new X11RunLoopClient(this);
  const Linux::TimerInterval period = mFrameRate > 0 ? Linux::TimerInterval(1000 / mFrameRate) : 1000;
  const bool ok = mRunLoop->registerEventHandler(mRunLoopClient, xcb_get_file_descriptor(mConnection)) == kResultOk &&
                  mRunLoop->registerTimer(mRunLoopClient, period) == kResultOk;
  mRunLoop->addRef();
  mRegisteredLoop = mRunLoop;
  return ok;
}

void IGraphicsX11::UnregisterFromRunLoop() {
  if (!mRunLoopClient) return;
  if (mRegisteredLoop) {
    mRegisteredLoop->unregisterTimer(mRunLoopClient);
    mRegisteredLoop->unregisterEventHandler(mRunLoopClient);
    mRegisteredLoop->release();
    mRegisteredLoop = nullptr;
  }
  mRunLoopClient->Detach();
  mRunLoopClient->release();
  mRunLoopClient = nullptr;
}

void IGraphicsX11::CloseEditorWindow() {
  EndInterruptedDrag();
  UnregisterFromRunLoop();
  delete mPresenter;
  mPresenter = nullptr;
  if (mWindow && mConnection) xcb_destroy_window(mConnection, mWindow);
  mWindow = 0;
  mHostParent = 0;
  mClicks.Reset();
  ReapBrowserStarts();
  // Closing the connection frees whatever the server still holds for it.
  Disconnect();
}

void IGraphicsX11::EndInterruptedDrag() {
  // A gesture cut short (window closed, parent destroyed, grab lost) still
  // ends its host edit gesture: the release will never arrive.
  if (mCaptured >= 0) DispatchPointerUp(mLastX, mLastY, IPointerMods());
  mPointerHeld = false;
  EndWheelGesture();
}

void IGraphicsX11::ForgetDestroyedWindow() {
  // The host destroyed its parent, and our window with it, without closing
  // the editor first. The connection and run-loop registration stay until
  // the view is removed; nothing is drawn meanwhile.
  EndInterruptedDrag();
  delete mPresenter;
  mPresenter = nullptr;
  mWindow = 0;
  xcb_flush(mConnection);
}
