#include "IEffectParameter.h"

#include <cmath>

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

// A host that keeps figures in single precision hands over entry 9 of
// 0..14 as 8.9999999: a stepped value that close to a step is that step.
void SlotValueText(const IParamSlot& slot, double normalized, String128 out) {
  char text[kParamDisplayMax];
  double plain = slot.FromNormalized(normalized);
  if (!slot.IsContinuous() && slot.Step() > 0.0) {
    const double step = std::nearbyint(plain / slot.Step()) * slot.Step();
    if (std::fabs(plain - step) <= 1e-5 * slot.Step()) plain = step;
  }
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

// A value's display text ("On") or a number at the start of the text; text
// that holds neither is refused and the value is left as it was.
bool IEffectParameter::fromString(const TChar* string, ParamValue& valueNormalized) const {
  double plain = 0.0;
  if (!NamedValue(mSlot, TrimmedHostText(string), plain)) {
    char text[128];
    NarrowNumberText(string, text);
    if (!ReadLeadingNumber(text, plain)) return false;
  }
  valueNormalized = mSlot.ToNormalized(plain);
  return true;
}

ParamValue IEffectParameter::toPlain(ParamValue valueNormalized) const { return mSlot.FromNormalized(valueNormalized); }
