#include "WideText.h"

using Steinberg::Vst::TChar;

void WidenText(const char* text, TChar* out, int outUnits) {
  if (!out || outUnits <= 0)
    return;
  int n = 0;
  if (text)
    for (; n < outUnits - 1 && text[n]; ++n)
      out[n] = static_cast<TChar>(static_cast<unsigned char>(text[n]));
  out[n] = 0;
}

void NarrowText(const TChar* text, char* out, int outBytes) {
  if (!out || outBytes <= 0)
    return;
  int n = 0;
  if (text)
    for (; n < outBytes - 1 && text[n]; ++n)
      out[n] = static_cast<char>(text[n] & 0xFF);
  out[n] = 0;
}
