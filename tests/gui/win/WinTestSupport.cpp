#include "WinTestSupport.h"

#include <cstdio>

#include "IControl.h"
#include "IParamSlot.h"

RecordingPlug::RecordingPlug(int adapterKind)
    : IEffectBase(3, "1-1 2-2", 1, "Recorder", "", "Tester", 0x52656331, 0x54737472, 0x20000, adapterKind, 0, false,
                  false) {
  GetParam(0)->Define("Level", 5.0, 0.0, 20.0, 0.01);
  GetParam(1)->SetType(kParamInteger);
  GetParam(1)->Define("Switch", 0.0, 0.0, 1.0, 1.0);
  GetParam(2)->SetType(3);
  GetParam(2)->Define("Mode", 0.0, 0.0, 2.0, 1.0);
  GetParam(2)->AddDisplayText(0, "Low");
  GetParam(2)->AddDisplayText(1, "Mid");
  GetParam(2)->AddDisplayText(2, "High");
}

void RecordingPlug::BeginHostEdit(int index) { events.push_back("begin " + std::to_string(index)); }

void RecordingPlug::SendHostEdit(int index, double normalized) {
  char text[64];
  std::snprintf(text, sizeof text, "edit %d %f", index, normalized);
  events.push_back(text);
}

void RecordingPlug::EndHostEdit(int index) { events.push_back("end " + std::to_string(index)); }

void RecordingPlug::OpenHostContextMenu(int index, int x, int y) {
  events.push_back("menu " + std::to_string(index) + " " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingPlug::ResizeEditorFrame(int width, int height) {
  events.push_back("resize " + std::to_string(width) + " " + std::to_string(height));
}

double RecordingPlug::LastEdit(int index) const {
  const std::string prefix = "edit " + std::to_string(index) + " ";
  for (auto it = events.rbegin(); it != events.rend(); ++it)
    if (it->compare(0, prefix.size(), prefix) == 0) return std::stod(it->substr(prefix.size()));
  return -1.0;
}

int RecordingPlug::CountEvents(const std::string& prefix) const {
  int n = 0;
  for (const std::string& e : events)
    if (e.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

RecordingControl::RecordingControl(IEffectBase* plug, const IBox& box, int paramIdx, bool takes)
    : IControl(plug, box, paramIdx), takesKeys(takes) {}

bool RecordingControl::KeyPress(int x, int y, KeyCode key) {
  keys.push_back(key);
  return takesKeys;
}

void RecordingControl::PointerDown(int x, int y, const IPointerMods& mods) {
  presses.push_back(mods);
  IControl::PointerDown(x, y, mods);
}

TestArtwork::TestArtwork(int w, int h, int frames, int tint)
    : mBitmap(new PIX_MemBitmap()), mFrames(frames), mTint(tint) {
  mBitmap->SetSize(w, h * frames);
  for (int y = 0; y < h * frames; ++y) {
    PixelWord* row = mBitmap->PixelBits() + y * mBitmap->RowSpan();
    for (int x = 0; x < w; ++x) row[x] = Colour(y / h);
  }
}

TestArtwork::~TestArtwork() { delete mBitmap; }

IBitmapRef TestArtwork::Ref() const {
  IBitmapRef ref;
  ref.bitmap = mBitmap;
  ref.width = mBitmap->Width();
  ref.height = mBitmap->Height();
  ref.frameCount = mFrames;
  ref.framesHorizontal = false;
  return ref;
}

PixelWord TestArtwork::Colour(int frame) const {
  return 0xFF000000u | (PixelWord(0x20 + frame * 16) << 16) | (PixelWord(mTint & 0xFF) << 8) |
         PixelWord(0xFF - frame * 8);
}

namespace {
const char kHostClass[] = "VelloxTestHost";
const char kPanelClass[] = "VelloxTestPanel";
}  // namespace

const char* HostWindow::ClassName() { return kHostClass; }

LRESULT CALLBACK HostWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HostWindow* host = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (host && (message == WM_KEYDOWN || message == WM_KEYUP)) {
    host->keys.emplace_back(message, wParam);
    host->keyFlags.push_back(lParam);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

namespace {

struct PooledHost {
  HWND top;
  HWND panel;
};
std::vector<PooledHost>& HostPool() {
  static std::vector<PooledHost> pool;
  return pool;
}

}  // namespace

HostWindow::HostWindow(int x, int y) {
  std::vector<PooledHost>& pool = HostPool();
  if (!pool.empty()) {
    mTop = pool.back().top;
    mPanel = pool.back().panel;
    pool.pop_back();
  } else {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    wc.lpszClassName = kPanelClass;
    RegisterClassA(&wc);
    mTop = CreateWindowExA(0, kHostClass, "Host", WS_POPUP | WS_DLGFRAME | WS_VISIBLE, x, y, 400, 300, nullptr, nullptr,
                           instance, nullptr);
    mPanel =
        CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 360, 240, mTop, nullptr, instance, nullptr);
  }
  SetWindowPos(mTop, nullptr, x, y, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(mPanel, nullptr, 10, 10, 360, 240, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowLongPtrA(mTop, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetForegroundWindow(mTop);
  PumpMessages(10);
}

HostWindow::~HostWindow() {
  if (!IsWindow(mTop)) return;
  SetWindowLongPtrA(mTop, GWLP_USERDATA, 0);
  PumpMessages(5);
  HostPool().push_back(PooledHost{mTop, mPanel});
}

void PumpMessages(int ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(2);
  } while (GetTickCount() - start < DWORD(ms));
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= DWORD(timeoutMs)) return done();
    PumpMessages(5);
  }
  return true;
}

bool WaitsForPaintAt(HWND window, std::initializer_list<POINT> points) {
  HRGN pending = CreateRectRgn(0, 0, 0, 0);
  bool all = GetUpdateRgn(window, pending, FALSE) > NULLREGION;
  for (const POINT& p : points) all = all && PtInRegion(pending, p.x, p.y);
  DeleteObject(pending);
  return all;
}

unsigned WindowPixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return (unsigned(GetRValue(c)) << 16) | (unsigned(GetGValue(c)) << 8) | GetBValue(c);
}
