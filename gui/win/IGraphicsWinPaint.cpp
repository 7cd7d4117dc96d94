// The repaint cycle on Windows: the timer tick collects what changed and
// paints it synchronously; WM_PAINT composes the region and presents it with
// one copy from the off-screen surface. Also resizing the editor window.

#include "IEffectBase.h"
#include "IControl.h"
#include "IGraphicsWinProcs.h"
#include "PIX_SysBitmap.h"

intptr_t IGraphicsWin::OnTick() {
  if (mEntryWindow && mEntryState != kEntryIdle) {
    RunEntryStateStep();
    return 0;
  }
  IBox dirty;
  if (!CollectDirtyBox(dirty)) return 0;
  HWND window = AsWindow(mEditorWindow);
  RECT rect = AsRect(ToDevice(dirty));
  InvalidateRect(window, &rect, FALSE);
  if (mEntryWindow) {
    // Leave the entry's area alone: the control under it is not painted over it.
    RECT entryArea = AsRect(ToDevice(mEntryControl->Box()));
    ValidateRect(window, &entryArea);
    UpdateWindow(window);
    mEntryState = kEntrySettle;
  } else {
    UpdateWindow(window);
  }
  return 0;
}

intptr_t IGraphicsWin::OnPaint() {
  HWND window = AsWindow(mEditorWindow);
  RECT rect;
  if (GetUpdateRect(window, &rect, FALSE)) {
    PaintRegion(FromDevice(IBox(rect.left, rect.top, rect.right, rect.bottom)));
    // With no controls nothing is presented; validate anyway so that the
    // system does not keep asking for the same paint.
    ValidateRect(window, &rect);
  }
  return 0;
}

bool IGraphicsWin::PresentRegion(const IBox& box) {
  if (!mEditorWindow) return false;
  HWND window = AsWindow(mEditorWindow);
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(window, &ps);
  HDC surface = mDrawSurface ? static_cast<HDC>(mDrawSurface->DeviceContext()) : nullptr;
  const IBox device = ToDevice(box);
  if (screen && surface)
    BitBlt(screen, device.left, device.top, device.Width(), device.Height(), surface, device.left, device.top, SRCCOPY);
  EndPaint(window, &ps);
  return true;
}

void IGraphicsWin::SetEditorSize(int width, int height) {
  if (width == mWidth && height == mHeight) return;
  // The controls are about to be destroyed: an entry editing one of them ends.
  if (mEntryWindow) TearDownEntry();
  // The windows are sized in device pixels.
  const int dw = ToDevice(width) - DeviceWidth();
  const int dh = ToDevice(height) - DeviceHeight();
  IGraphics::SetEditorSize(width, height);
  if (!mEditorWindow) return;

  HWND windows[3] = {AsWindow(mEditorWindow), nullptr, nullptr};
  RECT rects[3] = {};
  GetWindowRect(windows[0], &rects[0]);
  auto isPlainChild = [](HWND w) {
    return (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) && !(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_MDICHILD);
  };
  if (isPlainChild(windows[0])) {
    windows[1] = GetParent(windows[0]);
    if (windows[1]) {
      GetWindowRect(windows[1], &rects[1]);
      if (isPlainChild(windows[1])) {
        windows[2] = GetParent(windows[1]);
        if (windows[2]) GetWindowRect(windows[2], &rects[2]);
      }
    }
  }

  const UINT flags = SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE;
  const int kind = mPlug ? mPlug->AdapterKind() : kAdapterVst3;
  const int resized = HostSizesEditorFrame(kind) ? 1 : 3;
  for (int i = 0; i < resized; ++i) {
    if (!windows[i]) continue;
    SetWindowPos(windows[i], nullptr, 0, 0, rects[i].right - rects[i].left + dw, rects[i].bottom - rects[i].top + dh,
                 flags);
  }
  RECT all = {0, 0, DeviceWidth(), DeviceHeight()};
  InvalidateRect(windows[0], &all, FALSE);
}

// The child window follows the device size; the host sizes its own frame
// (the view asks it to).
void IGraphicsWin::ContentScaleChanged() {
  if (!mEditorWindow) return;
  if (mEntryWindow) TearDownEntry();
  HWND window = AsWindow(mEditorWindow);
  SetWindowPos(window, nullptr, 0, 0, DeviceWidth(), DeviceHeight(), SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
  RECT all = {0, 0, DeviceWidth(), DeviceHeight()};
  InvalidateRect(window, &all, FALSE);
}
