#include "PIX_Utf8.h"

namespace {
bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }
}  // namespace

bool HasUtf8Sequence(const char* text, int length) {
  const unsigned char* p = (const unsigned char*)text;
  if (!p) return false;
  for (int i = 0; length < 0 || i < length; ++i) {
    const unsigned char c = p[i];
    if (c == 0) return false;
    int need = 0;
    if (c >= 0xC2 && c <= 0xDF)
      need = 1;
    else if (c >= 0xE0 && c <= 0xF4)
      need = 2;
    if (need == 0) continue;
    bool whole = true;
    for (int k = 1; k <= need && whole; ++k) whole = (length < 0 || i + k < length) && IsContinuation(p[i + k]);
    if (whole) return true;
  }
  return false;
}
