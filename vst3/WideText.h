#pragma once

#include <string>

#include "pluginterfaces/vst/vsttypes.h"

// Host texts are 128-unit UTF-16 fields. Narrow text is widened one code unit
// per byte, and host text narrowed one byte per unit: units up to U+00FF keep
// their value, any other becomes '?' (so no character reads as another one);
// both stop at the terminator and keep at most 127 characters.
void WidenText(const char* text, Steinberg::Vst::TChar* out, int outUnits = 128);
void NarrowText(const Steinberg::Vst::TChar* text, char* out, int outBytes = 128);

// Whether host text is safe to read: not null, terminated within the
// 128-unit field, and valid UTF-16 (every surrogate in a high-low pair).
bool IsWellFormedHostText(const Steinberg::Vst::TChar* text);

// Host text narrowed for reading a number: U+2212 MINUS SIGN reads as '-'.
void NarrowNumberText(const Steinberg::Vst::TChar* text, char* out, int outBytes = 128);

// Host text narrowed, without the white space around it.
std::string TrimmedHostText(const Steinberg::Vst::TChar* text);

// Whether two narrow texts are equal but for the case of ASCII letters.
bool EqualIgnoringCase(const char* a, const char* b);
