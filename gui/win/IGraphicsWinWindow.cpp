// The editor window: class registration shared by all editors of the process,
// opening and closing inside the host's parent, tooltips and the window
// procedure's dispatch.

#include "IGraphicsWinProcs.h"

#include <commctrl.h>

#include "IControl.h"

namespace {

const char kWindowClassName[] = "IEffectWndClass";

// Open editor windows of the process; the class is registered while > 0.
int gClassUsers = 0;

}  // namespace

IGraphicsWin::IGraphicsWin(IEffectBase* plug, int width, int height, int frameRate, void* moduleInstance)
    : IGraphics(plug, width, height, frameRate), mModuleInstance(moduleInstance) {}

IGraphicsWin::~IGraphicsWin() {
  CloseEditorWindow();
  delete[] mCustomColours;
  mCustomColours = nullptr;
}

int IGraphicsWin::WindowClassUsers() { return gClassUsers; }

const char* IGraphicsWin::WindowClassName() { return kWindowClassName; }

const char* IGraphicsWin::DrawingBackendName() { return "Windows GDI"; }

bool IGraphicsWin::HasWindow() { return mEditorWindow != nullptr; }

void IGraphicsWin::AcquireWindowClass() {
  if (gClassUsers == 0) {
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = IGraphicsWinProcs::Editor;
    wc.hInstance = static_cast<HINSTANCE>(mModuleInstance);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClassName;
    RegisterClassA(&wc);
  }
  ++gClassUsers;
}

void IGraphicsWin::ReleaseWindowClass() {
  if (gClassUsers > 0 && --gClassUsers == 0)
    UnregisterClassA(kWindowClassName, static_cast<HINSTANCE>(mModuleInstance));
}

void* IGraphicsWin::OpenEditorWindow(void* parentHandle) {
  HWND parent = AsWindow(parentHandle);
  mHostParent = parent;
  int x = 0, y = 0, w = DeviceWidth(), h = DeviceHeight();

  if (mEditorWindow) {
    // Reopening keeps the window where it was inside its parent. The offset is
    // taken relative to that parent's client area, where child windows are
    // placed, so a parent with a frame does not shift the editor each time,
    // and a new parent elsewhere on the screen gets the same offset.
    RECT old;
    GetWindowRect(AsWindow(mEditorWindow), &old);
    HWND oldParent = GetParent(AsWindow(mEditorWindow));
    CloseEditorWindow();
    POINT origin = {old.left, old.top};
    ScreenToClient(oldParent ? oldParent : parent, &origin);
    x = origin.x;
    y = origin.y;
    w = old.right - old.left;
    h = old.bottom - old.top;
  }

  AcquireWindowClass();
  HWND window = CreateWindowExA(0, kWindowClassName, "IEffect", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr,
                                static_cast<HINSTANCE>(mModuleInstance), this);
  if (!window) {
    ReleaseWindowClass();
    return nullptr;
  }
  mEditorWindow = window;
  SyncParamValues();
  MarkAllChanged();
  if (mTooltipsEnabled) CreateTooltip();
  return window;
}

void IGraphicsWin::CreateTooltip() {
  INITCOMMONCONTROLSEX init = {};
  init.dwSize = 8;
  init.dwICC = ICC_TAB_CLASSES;
  HWND editor = AsWindow(mEditorWindow);
  HWND tip = nullptr;
  if (InitCommonControlsEx(&init)) {
    tip = CreateWindowExA(0, "tooltips_class32", nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, editor, nullptr,
                          static_cast<HINSTANCE>(mModuleInstance), nullptr);
  }
  if (!tip) {
    mTooltipsEnabled = false;
    return;
  }
  SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  TOOLINFOA tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = editor;
  tool.uId = reinterpret_cast<UINT_PTR>(editor);
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  mTooltipWindow = tip;
}

void IGraphicsWin::HideTooltip() {
  if (!mTooltipShown) return;
  mTooltipShown = false;
  if (!mTooltipWindow) return;
  TOOLINFOA tool = {};
  tool.cbSize = sizeof tool;
  tool.hwnd = AsWindow(mEditorWindow);
  tool.uId = reinterpret_cast<UINT_PTR>(mEditorWindow);
  tool.lpszText = nullptr;
  SendMessageA(AsWindow(mTooltipWindow), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

intptr_t IGraphicsWin::OnHover() {
  if (!mTooltipWindow || mTooltipControl < 0 || mTooltipControl >= NControls()) return 0;
  const std::string& text = GetControl(mTooltipControl)->Tooltip();
  TOOLINFOA tool = {};
  tool.cbSize = sizeof tool;
  tool.hwnd = AsWindow(mEditorWindow);
  tool.uId = reinterpret_cast<UINT_PTR>(mEditorWindow);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(AsWindow(mTooltipWindow), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  mTooltipShown = true;
  return 0;
}

void IGraphicsWin::CloseEditorWindow() {
  if (!mEditorWindow) return;
  EndInterruptedDrag();
  // The entry is a child of the editor window: end it properly (its font and
  // window procedure) rather than leave a stale entry behind.
  if (mEntryWindow) TearDownEntry();
  if (mTooltipWindow) {
    DestroyWindow(AsWindow(mTooltipWindow));
    mTooltipWindow = nullptr;
  }
  mTooltipShown = false;
  mTooltipControl = -1;
  HWND window = AsWindow(mEditorWindow);
  // Forgotten first, so that the messages sent while it is destroyed are
  // left to the system.
  mEditorWindow = nullptr;
  DestroyWindow(window);
  ReleaseWindowClass();
}

void IGraphicsWin::EndInterruptedDrag() {
  // A drag cut short by the window going away still ends its host edit
  // gesture: the release will never arrive.
  if (mCaptured >= 0) DispatchPointerUp(mLastX, mLastY, IPointerMods());
  EndWheelGesture();
}

void IGraphicsWin::ForgetDestroyedWindow() {
  // The host destroyed its window, and ours with it, without closing the
  // editor first. The entry, a child, went with it; the tooltip belongs to
  // the host's top-level window and outlives a destroyed inner parent.
  EndInterruptedDrag();
  ForgetEntry();
  if (mTooltipWindow && IsWindow(AsWindow(mTooltipWindow))) DestroyWindow(AsWindow(mTooltipWindow));
  mTooltipWindow = nullptr;
  mTooltipShown = false;
  mTooltipControl = -1;
  mEditorWindow = nullptr;
  ReleaseWindowClass();
}

LRESULT CALLBACK IGraphicsWinProcs::Editor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    // The editor that creates the window comes in lpCreateParams, and with it
    // the frame rate of the window's tick.
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* graphics = static_cast<IGraphicsWin*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(graphics));
    const double rate = !graphics ? 25.0 : graphics->mFrameRate > 0 ? double(graphics->mFrameRate) : 1.0;
    SetTimer(window, kEditorTimerId, UINT(1000.0 / rate), nullptr);
    // No keyboard focus on creation: the host keeps its keys until the user
    // presses in the editor (a text entry takes the focus for itself).
    return 0;
  }
  IGraphicsWin* graphics = FromWindow(window);
  if (!graphics || graphics->mEditorWindow != window) return DefWindowProcA(window, message, wParam, lParam);
  return graphics->HandleEditorMessage(window, message, wParam, lParam);
}

intptr_t IGraphicsWin::HandleEditorMessage(void* windowHandle, unsigned message, uintptr_t wParam, intptr_t lParam) {
  HWND window = AsWindow(windowHandle);
  if (message == WM_NCDESTROY) {
    ForgetDestroyedWindow();
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (mEntryWindow && mEntryState == kEntryFocused) {
    // While the entry holds the focus the editor stands still; a press on it
    // abandons the entry.
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
      mEntryState = kEntryCancel;
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return 0;
    case WM_PAINT: return OnPaint();
    case WM_CLOSE: CloseEditorWindow(); return 0;
    case WM_TIMER: return wParam == kEditorTimerId ? OnTick() : 0;
    case WM_KEYDOWN: return OnKeyDown(message, wParam, lParam);
    case WM_KEYUP: return PassKeyToHost(message, wParam, lParam);
    case WM_MOUSEMOVE: return OnMove(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return OnPress(wParam, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return OnRelease(wParam, lParam);
    case WM_LBUTTONDBLCLK: return OnDoubleClick(wParam, lParam);
    case WM_MOUSEWHEEL: return OnWheel(wParam, lParam);
    case WM_MOUSEHOVER: return OnHover();
    case WM_MOUSELEAVE:
      HideTooltip();
      EndWheelGesture();
      DispatchPointerLeave();
      return 0;
    case WM_CTLCOLOREDIT: return OnEntryColours(reinterpret_cast<void*>(wParam));
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}
