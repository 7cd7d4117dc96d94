#include "editor_frame.h"

#include <cstring>

namespace vellox::host {

namespace {

constexpr const char* kFrameClass = "VelloxEditorFrame";

bool RegisterFrameClass() {
  WNDCLASSA existing{};
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  if (GetClassInfoA(instance, kFrameClass, &existing)) return true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kFrameClass;
  return RegisterClassA(&wc) != 0;
}

// Empties the queue; returns how many repaint ticks of `editor` it handled.
int DispatchPending(HWND editor) {
  int ticks = 0;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    const bool tick = editor && msg.hwnd == editor && msg.message == WM_TIMER && msg.wParam == kEditorTimerId;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (tick) ++ticks;
  }
  return ticks;
}

void WaitForMessages(DWORD ms) { MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT); }

}  // namespace

std::unique_ptr<EditorFrame> EditorFrame::Create(int width, int height, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "the editor reports an empty size";
    return nullptr;
  }
  if (!RegisterFrameClass()) {
    error = "cannot register the editor frame's window class";
    return nullptr;
  }
  std::unique_ptr<EditorFrame> frame(new EditorFrame());
  // Borderless, so the client area is the whole window and starts at (0, 0).
  frame->mWindow = CreateWindowExA(0, kFrameClass, "Vellox", WS_POPUP | WS_CLIPCHILDREN, 0, 0, width, height, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!frame->mWindow) {
    error = "cannot create the editor frame window (Windows error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  // Shown without taking the activation: on a display without a window
  // manager (Wine on a virtual display) an activated top-level window waits
  // two seconds for the manager when it is taken down.
  SetWindowPos(frame->mWindow, nullptr, 0, 0, 0, 0,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  PumpMessages(0);
  return frame;
}

EditorFrame::~EditorFrame() {
  if (mWindow && IsWindow(mWindow)) DestroyWindow(mWindow);
  PumpMessages(0);
}

HWND EditorFrame::EditorWindow() const { return FindWindowExA(mWindow, nullptr, kEditorWindowClass, nullptr); }

void PumpMessages(int ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    DispatchPending(nullptr);
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= static_cast<DWORD>(ms)) return;
    WaitForMessages(static_cast<DWORD>(ms) - elapsed);
  }
}

int PumpTimerTicks(HWND editor, int ticks, int timeoutMs) {
  const DWORD start = GetTickCount();
  int seen = 0;
  for (;;) {
    seen += DispatchPending(editor);
    const DWORD elapsed = GetTickCount() - start;
    if (seen >= ticks || elapsed >= static_cast<DWORD>(timeoutMs)) return seen;
    WaitForMessages(static_cast<DWORD>(timeoutMs) - elapsed);
  }
}

bool CaptureWindow(HWND window, RgbaImage& image, std::string& error) {
  RECT client{};
  if (!window || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) {
    error = "there is no window to capture";
    return false;
  }
  const int width = client.right;
  const int height = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;

  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = source && memory && bitmap && bits;
  if (ok) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, previous);
  }
  if (ok) {
    image.Resize(width, height);
    const auto* from = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height); ++i) {
      image.pixels[4 * i + 0] = from[4 * i + 2];
      image.pixels[4 * i + 1] = from[4 * i + 1];
      image.pixels[4 * i + 2] = from[4 * i + 0];
      image.pixels[4 * i + 3] = 255;
    }
  } else {
    error = "cannot copy the window's pixels (Windows error " + std::to_string(GetLastError()) + ")";
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  if (source) ReleaseDC(window, source);
  return ok;
}

}  // namespace vellox::host
