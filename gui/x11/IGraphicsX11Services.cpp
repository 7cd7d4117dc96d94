// Services of the Linux editor outside its window: the web link, directories
// and the artwork compiled into the module.
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "IGraphicsX11.h"
#include "PIX_DeferredPng.h"
#include "X11SystemApi.h"

extern char** environ;

namespace {

constexpr const char kOpener[] = "xdg-open";

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
  return path.substr(0, slash + 1);
}

std::string Home() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

}  // namespace

IMenuModel* IGraphicsX11::RunPopupMenu(IMenuModel* menu, const IBox& box) {
  // No menus of its own: the user never chooses.
  ReleasePointerCapture();
  return nullptr;
}

bool IGraphicsX11::OpenWebAddress(const char* address, const char* title, const char* confirmation,
                                  const char* errorText) {
  // A confirmation needs a dialog this layer does not have: no answer is no.
  if (!address || confirmation) return false;
  // Without the desktop's opener nothing happens, and nothing is reported.
  if (!ProgramOnPath(kOpener)) return false;
  const X11SystemApi api = ActiveX11SystemApi();
  char* argv[] = {const_cast<char*>(kOpener), const_cast<char*>(address), nullptr};
  pid_t child = 0;
  if (api.spawn(&child, kOpener, nullptr, nullptr, argv, environ) != 0) return false;
  if (child > 0) mBrowserStarts.push_back(child);
  return true;
}

void IGraphicsX11::ReapBrowserStarts() {
  // The opener hands the address over and ends; its exit is collected on a
  // later tick rather than waited for.
  const X11SystemApi api = ActiveX11SystemApi();
  for (size_t i = 0; i < mBrowserStarts.size();) {
    if (api.waitChild(mBrowserStarts[i], nullptr, WNOHANG) != 0) {
      mBrowserStarts.erase(mBrowserStarts.begin() + long(i));
    } else {
      ++i;
    }
  }
}

void IGraphicsX11::HostDirectory(std::string& out) {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  out = n > 0 ? DirectoryOf(std::string(path, size_t(n))) : std::string();
}

void IGraphicsX11::ModuleDirectory(std::string& out) {
  Dl_info info{};
  const bool found = dladdr(reinterpret_cast<void*>(&DirectoryOf), &info) != 0 && info.dli_fname;
  out = found ? DirectoryOf(info.dli_fname) : std::string();
}

void IGraphicsX11::DesktopDirectory(std::string& out) {
  const std::string home = Home();
  out = home.empty() ? std::string() : home + "/Desktop";
}

void IGraphicsX11::AppDataDirectory(std::string& out, bool allUsers) {
  if (allUsers) {
    out = "/usr/local/share";
    return;
  }
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) {
    out = data;
    return;
  }
  const std::string home = Home();
  out = home.empty() ? std::string() : home + "/.local/share";
}

PIX_IBitmap* IGraphicsX11::LoadArtworkResource(int id, const char* fileName) {
  if (!mArtwork) return nullptr;
  int size = 0;
  const unsigned char* data = mArtwork(id, &size);
  // Decoded when first drawn: an effect whose editor never opens never decodes.
  return data && size > 0 ? PIX_DeferredPng::Create(data, size) : nullptr;
}
