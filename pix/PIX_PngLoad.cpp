#include "PIX_Png.h"

#include <cstring>

#include "PIX_PngDecode.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
const unsigned char kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

FILE* OpenForReading(const char* utf8Name) {
#ifdef _WIN32
  wchar_t wide[2048];
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Name, -1, wide, 2048) > 0) {
    if (FILE* f = _wfopen(wide, L"rb")) return f;
  }
#endif
  return std::fopen(utf8Name, "rb");
}
}  // namespace

PIX_MemBitmap* LoadPngFromMemory(const void* data, int length) {
  if (!data || length < 8 || std::memcmp(data, kPngSignature, 8) != 0) return nullptr;
  PIX_PngSource source = {(const unsigned char*)data, length, nullptr, 0};
  return static_cast<PIX_MemBitmap*>(DecodePngSource(&source, nullptr));
}

PIX_IBitmap* LoadPngFromFile(const char* utf8Name, PIX_IBitmap* target) {
  if (!utf8Name) return nullptr;
  FILE* file = OpenForReading(utf8Name);
  if (!file) return nullptr;
  PIX_PngSource source = {nullptr, 0, file, 0};
  PIX_IBitmap* bm = DecodePngSource(&source, target);
  std::fclose(file);
  return bm;
}
