// X events of the editor window, translated into the core's input routing the
// way the Windows layer translates window messages: press, drag while the
// button's implicit grab holds the pointer, release, wheel, double click,
// crossing, keys, and exposure.
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "IControl.h"
#include "IGraphicsX11.h"
#include "X11Input.h"
#include "X11RunLoopClient.h"

void IGraphicsX11::OnConnectionReadable() {
  if (!mConnection) return;
  while (xcb_generic_event_t* event = xcb_poll_for_event(mConnection)) {
    HandleEvent(event);
    free(event);
  }
  if (xcb_connection_has_error(mConnection) && mRegisteredLoop && mRunLoopClient) {
    // The display went away: nothing of the window is left to free, and the
    // dead descriptor would keep the host's loop calling; stop listening.
    ForgetDestroyedWindow();
    mRegisteredLoop->unregisterEventHandler(mRunLoopClient);
  }
}

void IGraphicsX11::HandleQueuedEvents() {
  // Events read while waiting for a reply sit in the queue, where the
  // descriptor no longer signals them.
  if (!mConnection) return;
  while (xcb_generic_event_t* event = xcb_poll_for_queued_event(mConnection)) {
    HandleEvent(event);
    free(event);
  }
}

void IGraphicsX11::HandleEvent(const void* raw) {
  const auto* event = static_cast<const xcb_generic_event_t*>(raw);
  const uint8_t type = event->response_type & 0x7F;
  if (type == 0) {
    // An error, for instance for a window the host destroyed under us: X
    // errors are ignored, never fatal.
    return;
  }
  if (type == XCB_DESTROY_NOTIFY) {
    const auto* destroyed = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
    if (destroyed->window == mWindow && mWindow) ForgetDestroyedWindow();
    return;
  }
  if (!mWindow) return;
  switch (type) {
    case XCB_EXPOSE: OnExpose(event); break;
    case XCB_BUTTON_PRESS: OnPress(event); break;
    case XCB_BUTTON_RELEASE: OnRelease(event); break;
    case XCB_MOTION_NOTIFY: OnMotion(event); break;
    case XCB_ENTER_NOTIFY: OnCrossing(event, true); break;
    case XCB_LEAVE_NOTIFY: OnCrossing(event, false); break;
    case XCB_KEY_PRESS: OnKey(event, true); break;
    case XCB_KEY_RELEASE: OnKey(event, false); break;
    default: break;
  }
}

void IGraphicsX11::OnPress(const void* raw) {
  const auto* e = static_cast<const xcb_button_press_event_t*>(raw);
  const int button = e->detail;
  if (button >= kWheelUp && button <= kWheelRight) {
    // One notch per step; the horizontal wheel, like Windows' horizontal
    // wheel message, reaches no control.
    if (button == kWheelUp || button == kWheelDown)
      DispatchWheel(PointFromDevice(e->event_x), PointFromDevice(e->event_y), ModsFromState(e->state),
                    button == kWheelUp ? 1 : -1);
    return;
  }
  if (button != kButtonLeft && button != kButtonMiddle && button != kButtonRight) return;
  const IPointerMods mods = ModsFromState(e->state, button);
  if (mClicks.IsDoubleClick(button, e->time, e->event_x, e->event_y)) {
    // Only the left button's double click means something; the others' second
    // press is dropped, as Windows leaves it to the default handling.
    if (button != kButtonLeft) return;
    DispatchDoubleClick(PointFromDevice(e->event_x), PointFromDevice(e->event_y), mods);
    // A control that takes double clicks as presses now holds the pointer.
    mPointerHeld = mCaptured >= 0;
    return;
  }
  mPointerHeld = true;
  DispatchPointerDown(PointFromDevice(e->event_x), PointFromDevice(e->event_y), mods);
}

void IGraphicsX11::OnRelease(const void* raw) {
  const auto* e = static_cast<const xcb_button_release_event_t*>(raw);
  const int button = e->detail;
  if (button != kButtonLeft && button != kButtonMiddle && button != kButtonRight) return;
  mPointerHeld = false;
  DispatchPointerUp(PointFromDevice(e->event_x), PointFromDevice(e->event_y), ModsFromState(e->state, 0, button));
}

void IGraphicsX11::OnMotion(const void* raw) {
  const auto* e = static_cast<const xcb_motion_notify_event_t*>(raw);
  const IPointerMods mods = ModsFromState(e->state);
  if (mods.left || mods.right) {
    if (mPointerHeld) DispatchPointerDrag(PointFromDevice(e->event_x), PointFromDevice(e->event_y), mods);
    return;
  }
  DispatchPointerOver(PointFromDevice(e->event_x), PointFromDevice(e->event_y), mods);
}

void IGraphicsX11::OnCrossing(const void* raw, bool entered) {
  const auto* e = static_cast<const xcb_enter_notify_event_t*>(raw);
  if (e->mode == XCB_NOTIFY_MODE_GRAB && !entered && mPointerHeld) {
    // Another client took the pointer: the release will go to it.
    EndInterruptedDrag();
    return;
  }
  if (e->mode != XCB_NOTIFY_MODE_NORMAL || mPointerHeld) return;
  if (!entered && e->detail != XCB_NOTIFY_DETAIL_INFERIOR) EndWheelGesture();
  if (entered) {
    DispatchPointerOver(PointFromDevice(e->event_x), PointFromDevice(e->event_y), ModsFromState(e->state));
  } else if (e->detail != XCB_NOTIFY_DETAIL_INFERIOR && HoverTracking()) {
    // Windows reports leaving only to editors that track hovering.
    DispatchPointerLeave();
  }
}

void IGraphicsX11::OnKey(const void* raw, bool pressed) {
  const auto* e = static_cast<const xcb_key_press_event_t*>(raw);
  if (pressed) {
    const size_t index = size_t(e->detail - mMinKeyCode);
    const int code = e->detail >= mMinKeyCode && index < mKeySyms.size() ? KeyCodeForKeySym(mKeySyms[index]) : -1;
    if (code >= 0 && DispatchKey(PointFromDevice(e->event_x), PointFromDevice(e->event_y), KeyCode(code))) return;
  }
  PassKeyToHost(raw, pressed);
}

void IGraphicsX11::PassKeyToHost(const void* raw, bool pressed) {
  // The host's shortcuts keep working while the editor has the focus: the key
  // goes to the top-level window the editor lives in.
  uint32_t target = mHostParent;
  for (uint32_t window = mHostParent; window && window != mRoot;) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, window), nullptr);
    if (!tree) break;
    target = window;
    window = tree->parent;
    free(tree);
  }
  if (!target) return;
  xcb_key_press_event_t forwarded;
  std::memcpy(&forwarded, raw, sizeof forwarded);
  forwarded.event = target;
  forwarded.child = 0;
  xcb_send_event(mConnection, 0, target, pressed ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                 reinterpret_cast<const char*>(&forwarded));
  xcb_flush(mConnection);
}

void IGraphicsX11::OnExpose(const void* raw) {
  const auto* e = static_cast<const xcb_expose_event_t*>(raw);
  const IBox area(e->x, e->y, e->x + e->width, e->y + e->height);
  mExposed = mExposed.IsEmpty() ? area : mExposed.Union(area);
  if (e->count > 0) return;  // more of the same exposure follows
  const IBox box = FromDevice(mExposed);
  mExposed = IBox();
  PaintRegion(box);
}
