#include "IEffectParameter.h"

#include <cmath>
#include <string>

#include "IParamSlot.h"
#include "LeadingNumber.h"
#include "WideText.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

ParameterInfo InfoForSlot(const IParamSlot& slot, ParamID id, UnitID unitId) {
  ParameterInfo info = {};
  info.id = id;
  WidenText(slot.Name(), info.title);
  // A value shown as text carries no unit.
  WidenText(slot.DisplayTextFor(slot.Value()) ? "" : slot.Label(), info.units);
  info.stepCount = slot.IsContinuous() ? 0 : static_cast<int32>(slot.Max() - slot.Min());
  info.defaultNormalizedValue = slot.ToNormalized(slot.Default());
  info.unitId = unitId;
  info.flags = slot.CanAutomate() ? ParameterInfo::kCanAutomate : 0;
  return info;
}

bool NamedValue(const IParamSlot& slot, const std::string& text, double& plain) {
  for (int i = 0; i < slot.NDisplayTexts(); ++i) {
    const ParamDisplayText* entry = slot.GetDisplayText(i);
    if (entry->text[0] && EqualIgnoringCase(text.c_str(), entry->text)) {
      plain = entry->value;
      return true;
    }
  }
  return false;
}

}  // namespace

// The text of the value the plug-in takes for the figure: a stepped value
// rounded to its step as the audio and the editor take it (a host keeping
// figures in single precision hands over entry 9 of 0..14 as 8.9999999), a
// figure out of range limited to it, and one that is not finite ignored, as
// the host's queues and setParamNormalized ignore it (the current value).
void SlotValueText(const IParamSlot& slot, double normalized, String128 out) {
  char text[kParamDisplayMax];
  const double plain = std::isfinite(normalized) ? slot.PlainForNormalized(normalized) : slot.Value();
  slot.DisplayString(plain, text, sizeof text);
  WidenText(text, out);
}

IEffectParameter::IEffectParameter(const IParamSlot& slot, ParamID id, UnitID unitId)
    : Parameter(InfoForSlot(slot, id, unitId)), mSlot(slot) {
  setPrecision(slot.Precision());
}

void IEffectParameter::toString(ParamValue valueNormalized, String128 string) const {
  if (string) SlotValueText(mSlot, valueNormalized, string);
}

// A value's display text ("On"); for a stepped parameter else only a whole
// index within its range ("5 bars" is not entry 5); for a continuous one a
// number at the start of the text, not one that goes on in another notation
// ("0x10" is not 0). Text that holds none of these is refused and the value
// is left as it was.
bool IEffectParameter::fromString(const TChar* string, ParamValue& valueNormalized) const {
  double plain = 0.0;
  const std::string trimmed = TrimmedHostText(string);
  if (!NamedValue(mSlot, trimmed, plain)) {
    if (!mSlot.IsContinuous()) {
      int index = 0;
      if (!ReadWholeIndex(trimmed.c_str(), 1 << 30, index)) return false;
      plain = index;
      if (plain < mSlot.Min() || plain > mSlot.Max()) return false;
    } else {
      char text[128];
      NarrowNumberText(string, text);
      const char* end = nullptr;
      if (!ReadLeadingNumber(text, plain, &end) || NumberGoesOn(end)) return false;
    }
  }
  valueNormalized = mSlot.ToNormalized(plain);
  return true;
}

ParamValue IEffectParameter::toPlain(ParamValue valueNormalized) const { return mSlot.FromNormalized(valueNormalized); }
