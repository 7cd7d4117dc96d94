#include "WideText.h"

#include <cctype>

using Steinberg::Vst::TChar;

void WidenText(const char* text, TChar* out, int outUnits) {
  if (!out || outUnits <= 0) return;
  int n = 0;
  if (text)
    for (; n < outUnits - 1 && text[n]; ++n) out[n] = static_cast<TChar>(static_cast<unsigned char>(text[n]));
  out[n] = 0;
}

namespace {
constexpr TChar kMinusSign = 0x2212;

void Narrow(const TChar* text, char* out, int outBytes, bool minusSign) {
  if (!out || outBytes <= 0) return;
  int n = 0;
  if (text)
    for (; n < outBytes - 1 && text[n]; ++n) {
      const TChar unit = text[n];
      if (minusSign && unit == kMinusSign)
        out[n] = '-';
      else
        out[n] = unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
  out[n] = 0;
}
}  // namespace

void NarrowText(const TChar* text, char* out, int outBytes) { Narrow(text, out, outBytes, false); }

void NarrowNumberText(const TChar* text, char* out, int outBytes) { Narrow(text, out, outBytes, true); }

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

std::string TrimmedHostText(const TChar* text) {
  char narrow[128];
  NarrowText(text, narrow);
  const std::string s(narrow);
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool EqualIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}
