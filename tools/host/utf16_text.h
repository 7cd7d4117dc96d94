#pragma once
// Conversions between the UTF-16 strings of the plug-in interfaces and UTF-8.
#include <string>

#include "pluginterfaces/base/ftypes.h"

namespace vellox::host {

// Reads at most maxUnits code units, stopping at the terminator.
std::string Utf16ToUtf8(const Steinberg::char16* text, size_t maxUnits);

// Writes text into a fixed buffer of `units` code units, truncated and terminated.
void Utf8ToUtf16(const std::string& text, Steinberg::char16* out, size_t units);

}  // namespace vellox::host
