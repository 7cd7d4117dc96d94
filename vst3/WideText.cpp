#include "WideText.h"

using Steinberg::Vst::TChar;

void WidenText(const char* text, TChar* out, int outUnits) {
  if (!out || outUnits <= 0) return;
  int n = 0;
  if (text)
    for (; n < outUnits - 1 && text[n]; ++n) out[n] = static_cast<TChar>(static_cast<unsigned char>(text[n]));
  out[n] = 0;
}

void NarrowText(const TChar* text, char* out, int outBytes) {
  if (!out || outBytes <= 0) return;
  int n = 0;
  if (text)
    for (; n < outBytes - 1 && text[n]; ++n) out[n] = static_cast<char>(text[n] & 0xFF);
  out[n] = 0;
}

bool IsWellFormedHostText(const TChar* text) {
  if (!text) return false;
  constexpr int kUnits = 128;
  for (int i = 0; i < kUnits; ++i) {
    const unsigned unit = static_cast<unsigned>(text[i]);
    if (unit == 0) return true;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return false;  // a low surrogate with no high one before it
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const unsigned next = i + 1 < kUnits ? static_cast<unsigned>(text[i + 1]) : 0;
      if (next < 0xDC00 || next > 0xDFFF) return false;
      ++i;
    }
  }
  return false;
}
