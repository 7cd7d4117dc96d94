#include "utf16_text.h"

#include <cstdint>
#include <vector>

namespace vellox::host {
namespace {

void AppendUtf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes UTF-8; malformed bytes become U+FFFD so that no input is dropped silently.
std::vector<uint32_t> DecodeUtf8(const std::string& text) {
  std::vector<uint32_t> cps;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    uint32_t cp = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    bool ok = extra >= 0 && i + extra < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp > 0x10FFFF) {
      cps.push_back(0xFFFD);
      ++i;
      continue;
    }
    cps.push_back(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return cps;
}

}  // namespace

std::string Utf16ToUtf8(const Steinberg::char16* text, size_t maxUnits) {
  std::string out;
  for (size_t i = 0; i < maxUnits && text[i] != 0; ++i) {
    uint32_t unit = static_cast<uint16_t>(text[i]);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < maxUnits) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
        ++i;
        continue;
      }
    }
    AppendUtf8(unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit, out);
  }
  return out;
}

void Utf8ToUtf16(const std::string& text, Steinberg::char16* out, size_t units) {
  if (units == 0) return;
  size_t n = 0;
  for (uint32_t cp : DecodeUtf8(text)) {
    if (cp >= 0x10000) {
      if (n + 2 >= units) break;
      cp -= 0x10000;
      out[n++] = static_cast<Steinberg::char16>(0xD800 + (cp >> 10));
      out[n++] = static_cast<Steinberg::char16>(0xDC00 + (cp & 0x3FF));
    } else {
      if (n + 1 >= units) break;
      out[n++] = static_cast<Steinberg::char16>(cp);
    }
  }
  out[n] = 0;
}

}  // namespace vellox::host
