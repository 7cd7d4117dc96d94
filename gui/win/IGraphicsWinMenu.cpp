// Popup menus: shown at a box's lower-left corner, owned by the editor
// window; the choice comes back as a WM_COMMAND taken from the queue.

#include "IGraphicsWinProcs.h"
#include "WinMenuBuilder.h"

IMenuModel* IGraphicsWin::RunPopupMenu(IMenuModel* menu, const IBox& box) {
  ReleasePointerCapture();
  if (!menu || !mEditorWindow) return nullptr;
  HWND window = AsWindow(mEditorWindow);

  IMenuModel* result = nullptr;
  {
    WinMenuBuilder builder;
    HMENU handle = builder.Build(menu);
    if (handle) {
      POINT corner = {ToDevice(box.left), ToDevice(box.bottom)};
      ClientToScreen(window, &corner);
      MSG choice;
      if (TrackPopupMenu(handle, TPM_LEFTALIGN, corner.x, corner.y, 0, window, nullptr) &&
          PeekMessageA(&choice, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(choice.wParam) == 0) {
        int index = -1;
        result = builder.Resolve(LOWORD(choice.wParam), index);
        if (result) result->chosen = index;
      }
    }
  }
  RECT all = {0, 0, DeviceWidth(), DeviceHeight()};
  InvalidateRect(window, &all, FALSE);
  return result;
}
