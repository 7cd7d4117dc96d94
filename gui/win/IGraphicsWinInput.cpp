// Pointer, wheel and key messages of the editor window, translated into the
// core's input routing.

#include "IControl.h"
#include "IGraphicsWinProcs.h"
#include "WinTextUtil.h"

namespace {

int PointerX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int PointerY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

}  // namespace

// The window's client coordinates are device pixels; the controls live in
// editor pixels.
int IGraphicsWin::EditorX(intptr_t lParam) const { return PointFromDevice(PointerX(lParam)); }
int IGraphicsWin::EditorY(intptr_t lParam) const { return PointFromDevice(PointerY(lParam)); }

IPointerMods IGraphicsWin::ModsFromKeyState(uintptr_t wParam) {
  IPointerMods mods;
  mods.left = (wParam & MK_LBUTTON) != 0;
  mods.right = (wParam & MK_RBUTTON) != 0;
  mods.shift = (wParam & MK_SHIFT) != 0;
  mods.control = (wParam & MK_CONTROL) != 0;
  mods.alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
  return mods;
}

intptr_t IGraphicsWin::OnPress(uintptr_t wParam, intptr_t lParam) {
  HideTooltip();
  if (mEntryWindow) {
    mEntryState = kEntryCommit;
    return 0;
  }
  HWND window = AsWindow(mEditorWindow);
  SetFocus(window);
  SetCapture(window);
  DispatchPointerDown(EditorX(lParam), EditorY(lParam), ModsFromKeyState(wParam));
  return 0;
}

intptr_t IGraphicsWin::OnRelease(uintptr_t wParam, intptr_t lParam) {
  ReleaseCapture();
  DispatchPointerUp(EditorX(lParam), EditorY(lParam), ModsFromKeyState(wParam));
  return 0;
}

intptr_t IGraphicsWin::OnDoubleClick(uintptr_t wParam, intptr_t lParam) {
  DispatchDoubleClick(EditorX(lParam), EditorY(lParam), ModsFromKeyState(wParam));
  // A control that takes double clicks as presses now holds the pointer.
  if (mCaptured >= 0) SetCapture(AsWindow(mEditorWindow));
  return 0;
}

intptr_t IGraphicsWin::OnMove(uintptr_t wParam, intptr_t lParam) {
  HWND window = AsWindow(mEditorWindow);
  const int x = EditorX(lParam), y = EditorY(lParam);
  if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
    if (GetCapture() == window && !mEntryWindow) DispatchPointerDrag(x, y, ModsFromKeyState(wParam));
    return 0;
  }
  if (!DispatchPointerOver(x, y, ModsFromKeyState(wParam))) return 0;

  TRACKMOUSEEVENT track = {};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window;
  track.dwHoverTime = HOVER_DEFAULT;
  if (mTooltipsEnabled && mHovered != mTooltipControl) {
    mTooltipControl = mHovered;
    if (mTooltipControl >= 0) track.dwFlags |= TME_HOVER;
    HideTooltip();
  }
  TrackMouseEvent(&track);
  return 0;
}

intptr_t IGraphicsWin::OnWheel(uintptr_t wParam, intptr_t lParam) {
  if (mEntryWindow) {
    mEntryState = kEntryCancel;
    return 0;
  }
  const int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
  // The wheel position arrives in screen coordinates.
  RECT rect = {};
  GetWindowRect(AsWindow(mEditorWindow), &rect);
  DispatchWheel(PointFromDevice(PointerX(lParam) - rect.left), PointFromDevice(PointerY(lParam) - rect.top),
                ModsFromKeyState(wParam), notches);
  if (WheelGestureParam() >= 0) {
    // The wheel's gesture also ends when the pointer leaves the editor.
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = AsWindow(mEditorWindow);
    TrackMouseEvent(&track);
  }
  return 0;
}

intptr_t IGraphicsWin::OnKeyDown(unsigned message, uintptr_t wParam, intptr_t lParam) {
  const int code = KeyCodeForVirtualKey(static_cast<unsigned>(wParam));
  if (code < 0) return PassKeyToHost(message, wParam, lParam);
  POINT pointer = {};
  GetCursorPos(&pointer);
  ScreenToClient(AsWindow(mEditorWindow), &pointer);
  if (DispatchKey(PointFromDevice(pointer.x), PointFromDevice(pointer.y), code)) return 0;
  return PassKeyToHost(message, wParam, lParam);
}

intptr_t IGraphicsWin::PassKeyToHost(unsigned message, uintptr_t wParam, intptr_t lParam) {
  // The host's shortcuts keep working while the editor has the focus.
  HWND window = AsWindow(mEditorWindow);
  HWND root = GetAncestor(window, GA_ROOT);
  if (root && root != window) SendMessageA(root, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}
