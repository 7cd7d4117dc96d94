// Services for controls and plug-in code: well-known directories, clipboard
// text, hiding the pointer and loading artwork from the module's resources.

#include <climits>

#include "IGraphicsWinProcs.h"

#include <shlobj.h>

#include "PIX_DeferredPng.h"
#include "WinTextUtil.h"

namespace {

// Directory of a module's file ("" for the process executable's when module
// is null). A name the buffer cannot hold whole is not cut to a wrong path.
std::string DirectoryOfModule(HMODULE module) {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  path[length] = '\0';
  return DirectoryOfPath(path);
}

}  // namespace

void IGraphicsWin::HostDirectory(std::string& out) { out = DirectoryOfModule(nullptr); }

void IGraphicsWin::ModuleDirectory(std::string& out) { out = DirectoryOfModule(static_cast<HMODULE>(mModuleInstance)); }

void IGraphicsWin::DesktopDirectory(std::string& out) {
  char path[MAX_PATH + 1] = {};
  out.clear();
  if (SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, FALSE)) {
    path[MAX_PATH] = '\0';
    out = path;
  }
}

void IGraphicsWin::AppDataDirectory(std::string& out, bool allUsers) {
  char path[MAX_PATH + 1] = {};
  out.clear();
  if (SUCCEEDED(SHGetFolderPathA(nullptr, allUsers ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA, nullptr, 0, path))) {
    path[MAX_PATH] = '\0';
    out = path;
  }
}

void IGraphicsWin::UserAppDataDirectory(std::string& out) { AppDataDirectory(out, false); }

bool IGraphicsWin::ReadClipboardText(std::string& out) {
  out.clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
  if (!OpenClipboard(AsWindow(mEditorWindow))) return false;
  bool ok = false;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (text) {
    // The block's size bounds the text even when its terminator is missing.
    ok = Utf16BlockToUtf8(text, GlobalSize(data) / sizeof(wchar_t), out);
    GlobalUnlock(data);
  }
  CloseClipboard();
  return ok;
}

void IGraphicsWin::HidePointer() {
  if (mPointerHidden) return;
  POINT position = {};
  GetCursorPos(&position);
  mPointerX = position.x;
  mPointerY = position.y;
  ShowCursor(FALSE);
  mPointerHidden = true;
}

void IGraphicsWin::RestorePointer() {
  if (!mPointerHidden) return;
  SetCursorPos(mPointerX, mPointerY);
  ShowCursor(TRUE);
  mPointerHidden = false;
}

PIX_IBitmap* IGraphicsWin::LoadArtworkResource(int id, const char* fileName) {
  if (!HasPngExtension(fileName)) return nullptr;
  HMODULE module = static_cast<HMODULE>(mModuleInstance);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
  if (!resource) return nullptr;
  const DWORD size = SizeofResource(module, resource);
  if (size <= 7 || size > DWORD(INT_MAX)) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return nullptr;
  // Resource data stays mapped while the module is loaded; it is decoded when
  // first drawn, so an effect whose editor never opens never decodes.
  return PIX_DeferredPng::Create(bytes, int(size));
}
