// Message boxes owned by the host's main window, opening a web address in
// the browser, and the file and colour dialogs. The system calls go through
// the replaceable WinSystemApi table.

#include <cstdlib>

#include "IGraphicsWinProcs.h"
#include "WinSystemApi.h"
#include "WinTextUtil.h"

namespace {

const DWORD kColourDialogFlags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
const int kCustomColourCount = 16;
// The file dialog's name buffer: 255 characters and the terminator.
const int kFileNameCapacity = 256;

}  // namespace

void IGraphicsWin::FindHostTopLevelWindow() {
  // A parent the host has destroyed leads nowhere; the class name found
  // through it earlier still does.
  if (mHostParent && IsWindow(AsWindow(mHostParent))) {
    HWND window = AsWindow(mHostParent);
    for (HWND up = GetParent(window); up; up = GetParent(up)) window = up;
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    name[sizeof name - 1] = '\0';
    mHostTopLevel = window;
    mHostClassName = name;
  } else if (!mHostClassName.empty()) {
    mProcessId = GetCurrentProcessId();
    EnumWindows(IGraphicsWinProcs::MatchHostWindow, reinterpret_cast<LPARAM>(this));
  }
}

BOOL CALLBACK IGraphicsWinProcs::MatchHostWindow(HWND window, LPARAM context) {
  IGraphicsWin* graphics = reinterpret_cast<IGraphicsWin*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != graphics->mProcessId) return TRUE;
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  name[sizeof name - 1] = '\0';
  if (graphics->mHostClassName != name) return TRUE;
  graphics->mHostTopLevel = window;
  return FALSE;
}

int IGraphicsWin::ShowMessage(const char* text, const char* caption, int type) {
  // A host window found earlier may have been closed since; look again then.
  if (mHostTopLevel && !IsWindow(AsWindow(mHostTopLevel))) mHostTopLevel = nullptr;
  if (!mHostTopLevel) FindHostTopLevelWindow();
  return ActiveWinSystemApi().messageBox(AsWindow(mHostTopLevel), text, caption, static_cast<UINT>(type));
}

bool IGraphicsWin::OpenWebAddress(const char* address, const char* title, const char* confirmation,
                                  const char* errorText) {
  const WinSystemApi& api = ActiveWinSystemApi();
  HWND window = AsWindow(mEditorWindow);
  if (confirmation && api.messageBox(window, confirmation, title, MB_YESNO) != IDYES) return false;
  DWORD state = 0;
  if (address && api.connectedState(&state, 0)) {
    HINSTANCE opened = api.shellExecute(window, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(opened) > 32) return true;
  }
  if (errorText) api.messageBox(window, errorText, title, MB_OK);
  return false;
}

void IGraphicsWin::AskForFile(std::string& fileName, int action, std::string& directory, const char* extensions) {
  if (!mEditorWindow) {
    fileName.clear();
    return;
  }
  char file[kFileNameCapacity];
  CopyTextBounded(file, sizeof file, fileName.c_str());
  if (directory.empty()) DesktopDirectory(directory);

  std::string filter, defaultExtension;
  if (extensions && *extensions && !BuildExtensionFilter(extensions, filter, defaultExtension)) {
    // Extension lists too long for the dialog are refused outright.
    fileName.clear();
    return;
  }

  OPENFILENAMEA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = AsWindow(mEditorWindow);
  request.lpstrFile = file;
  request.nMaxFile = sizeof file;
  request.lpstrInitialDir = directory.c_str();
  if (!filter.empty()) {
    request.lpstrFilter = filter.c_str();
    request.lpstrDefExt = defaultExtension.c_str();
  }
  const WinSystemApi& api = ActiveWinSystemApi();
  BOOL confirmed;
  if (action == 1) {
    request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    confirmed = api.saveFileDialog(&request);
  } else {
    request.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    confirmed = api.openFileDialog(&request);
  }
  if (!confirmed) {
    fileName.clear();
    return;
  }
  file[sizeof file - 1] = '\0';
  fileName = file;
  char drive[_MAX_DRIVE] = {};
  char folder[_MAX_DIR] = {};
  if (_splitpath_s(file, drive, sizeof drive, folder, sizeof folder, nullptr, 0, nullptr, 0) == 0) {
    std::string chosen = std::string(drive) + folder;
    if (chosen.size() > kFileNameCapacity - 1) chosen.resize(kFileNameCapacity - 1);
    directory = chosen;
  }
}

UINT_PTR CALLBACK IGraphicsWinProcs::ColourDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG && lParam) {
    const CHOOSECOLORA* request = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    const char* prompt = reinterpret_cast<const char*>(request->lCustData);
    if (prompt) SetWindowTextA(dialog, prompt);
  }
  return 0;
}

bool IGraphicsWin::AskForColour(IArgbColor& colour, const char* prompt) {
  if (!mEditorWindow) return false;
  if (!mCustomColours) mCustomColours = new uint32_t[kCustomColourCount]();

  CHOOSECOLORA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = AsWindow(mEditorWindow);
  request.rgbResult = RGB(colour.red, colour.green, colour.blue);
  request.lpCustColors = reinterpret_cast<COLORREF*>(mCustomColours);
  request.Flags = kColourDialogFlags;
  request.lCustData = reinterpret_cast<LPARAM>(prompt);
  request.lpfnHook = IGraphicsWinProcs::ColourDialogHook;
  if (!ActiveWinSystemApi().colourDialog(&request)) return false;
  colour.red = GetRValue(request.rgbResult);
  colour.green = GetGValue(request.rgbResult);
  colour.blue = GetBValue(request.rgbResult);
  return true;
}
