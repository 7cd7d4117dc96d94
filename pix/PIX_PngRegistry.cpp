#include <cctype>
#include <cstring>

#include "PIX_Png.h"

namespace {
ImageLoaderRecord* gLoaderHead = nullptr;

// The extension starts at the last "." or "/" (so "a/b" has "/b"); a backslash
// ends the search with an extension that never matches; with neither the whole
// name is the extension.
const char* Extension(const char* name) {
  const char* p = name + std::strlen(name);
  while (p > name) {
    --p;
    if (*p == '\\' || *p == '.' || *p == '/') return p;
  }
  return name;
}

bool IsPngExtension(const char* ext) {
  static const char kPng[] = ".png";
  for (int i = 0; i < 4; ++i)
    if (std::tolower((unsigned char)ext[i]) != kPng[i]) return false;
  return ext[4] == '\0';
}

const char* PngDescription() { return "PNG files (*.PNG)\0*.PNG"; }

ImageLoaderRecord gPngLoader = {LoadPngCheckingExtension, PngDescription, nullptr};

struct Registration {
  Registration() {
    gPngLoader.next = gLoaderHead;
    gLoaderHead = &gPngLoader;
  }
} gRegistration;
}  // namespace

ImageLoaderRecord* ImageLoaderListHead() { return gLoaderHead; }

PIX_IBitmap* LoadPngCheckingExtension(const char* utf8Name, bool checkExtension, PIX_IBitmap* target) {
  if (!utf8Name) return nullptr;
  if (checkExtension && !IsPngExtension(Extension(utf8Name))) return nullptr;
  return LoadPngFromFile(utf8Name, target);
}
