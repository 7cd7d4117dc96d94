#pragma once

#include "pluginterfaces/vst/vsttypes.h"

// Host texts are 128-unit UTF-16 fields. Narrow text is widened one code unit
// per byte, and host text narrowed by keeping the low byte of each unit; both
// stop at the terminator and keep at most 127 characters.
void WidenText(const char* text, Steinberg::Vst::TChar* out, int outUnits = 128);
void NarrowText(const Steinberg::Vst::TChar* text, char* out, int outBytes = 128);

// Whether host text is safe to read: not null, terminated within the
// 128-unit field, and valid UTF-16 (every surrogate in a high-low pair).
bool IsWellFormedHostText(const Steinberg::Vst::TChar* text);
