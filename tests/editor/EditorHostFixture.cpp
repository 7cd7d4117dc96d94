#include "EditorHostFixture.h"

#include <shellapi.h>
#include <wininet.h>

namespace vellox::test {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kTickTimeoutMs = 10000;  // generous: a loaded machine delays timers, never skips them

BOOL WINAPI FakeConnectedState(LPDWORD flags, DWORD) {
  ++Browser().onlineQueries;
  if (flags) *flags = INTERNET_CONNECTION_LAN;
  return TRUE;
}

HINSTANCE WINAPI FakeShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
  Browser().opened.push_back(std::string(verb ? verb : "") + " " + (file ? file : ""));
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // above 32: success
}

}  // namespace

BrowserLog& Browser() {
  static BrowserLog log;
  return log;
}

void EditorHostTest::SetUp() {
  std::string error;
  if (host::ModuleBinaryPath(VELLOX_BUNDLE_PATH, error).empty())
    GTEST_SKIP() << "the Vellox module is not built at " << VELLOX_BUNDLE_PATH;
  ASSERT_NO_FATAL_FAILURE(StartModule());

  // The factory's virtual table lies inside the module's image.
  moduleHandle_ = ModuleContaining(*reinterpret_cast<void* const*>(module_->Factory()));
  ASSERT_NE(moduleHandle_, nullptr);
  Browser() = BrowserLog();
  shellPatch_ = std::make_unique<ImportPatch>(moduleHandle_, "SHELL32.dll", "ShellExecuteA",
                                              reinterpret_cast<void*>(&FakeShellExecute));
  onlinePatch_ = std::make_unique<ImportPatch>(moduleHandle_, "WININET.dll", "InternetGetConnectedState",
                                               reinterpret_cast<void*>(&FakeConnectedState));
  ASSERT_TRUE(shellPatch_->Installed()) << "the module does not import ShellExecuteA";
  ASSERT_TRUE(onlinePatch_->Installed()) << "the module does not import InternetGetConnectedState";
  frame_ = host::EditorFrame::Create(kEditorWidth, kEditorHeight, error);
  ASSERT_TRUE(frame_) << error;
}

void EditorHostTest::TearDown() {
  const void* vtable = module_ && module_->Factory() ? *reinterpret_cast<void* const*>(module_->Factory()) : nullptr;
  if (instance_) Controller().setComponentHandler(nullptr);
  // The import table is put back while the module is still loaded.
  shellPatch_.reset();
  onlinePatch_.reset();
  instance_.reset();
  module_.reset();
  EXPECT_EQ(handler_.References(), 0) << "the effect kept the component handler";
  if (frame_) {
    EXPECT_EQ(EditorWindowCount(), 0) << "an editor window outlived its effect";
  }
  frame_.reset();
  if (vtable) {
    EXPECT_EQ(ModuleContaining(vtable), nullptr) << "the module stayed loaded";
  }
}

IPtr<IPlugView> EditorHostTest::OpenView() {
  IPtr<IPlugView> view = owned(Controller().createView(ViewType::kEditor));
  EXPECT_TRUE(view) << "createView(\"editor\") gave no view";
  if (!view) return view;
  EXPECT_EQ(view->attached(Frame().Handle(), kPlatformTypeHWND), kResultOk);
  return view;
}

void EditorHostTest::CloseView(IPtr<IPlugView>& view) {
  if (!view) return;
  EXPECT_EQ(view->removed(), kResultOk);
  view = nullptr;
}

HWND EditorHostTest::Editor() const { return Frame().EditorWindow(); }

int EditorHostTest::EditorWindowCount() const {
  int count = 0;
  for (HWND child = nullptr; (child = FindWindowExA(Frame().Handle(), child, host::kEditorWindowClass, nullptr));)
    ++count;
  return count;
}

host::RgbaImage EditorHostTest::CaptureAfterTicks(int ticks) {
  host::RgbaImage image;
  HWND editor = Editor();
  EXPECT_NE(editor, nullptr) << "no editor window is open";
  if (!editor) return image;
  EXPECT_EQ(host::PumpTimerTicks(editor, ticks, kTickTimeoutMs), ticks) << "the repaint timer did not run";
  std::string error;
  EXPECT_TRUE(host::CaptureWindow(Frame().Handle(), image, error)) << error;
  return image;
}

void EditorHostTest::SendPointer(UINT message, WPARAM keys, int x, int y) const {
  SendMessageA(Editor(), message, keys, MAKELPARAM(x & 0xFFFF, y & 0xFFFF));
}

void EditorHostTest::Click(int x, int y) const {
  SendPointer(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  SendPointer(WM_LBUTTONUP, 0, x, y);
}

void EditorHostTest::Wheel(int x, int y, int delta) const {
  POINT screen{x, y};
  ClientToScreen(Editor(), &screen);
  SendMessageA(Editor(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x & 0xFFFF, screen.y & 0xFFFF));
}

}  // namespace vellox::test
