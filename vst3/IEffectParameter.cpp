#include "IEffectParameter.h"

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

}  // namespace

void SlotValueText(const IParamSlot& slot, double normalized, String128 out) {
  char text[kParamDisplayMax];
  slot.DisplayString(slot.FromNormalized(normalized), text, sizeof text);
  WidenText(text, out);
}

IEffectParameter::IEffectParameter(const IParamSlot& slot, ParamID id, UnitID unitId)
    : Parameter(InfoForSlot(slot, id, unitId)), mSlot(slot) {
  setPrecision(slot.Precision());
}

void IEffectParameter::toString(ParamValue valueNormalized, String128 string) const {
  if (string) SlotValueText(mSlot, valueNormalized, string);
}

bool IEffectParameter::fromString(const TChar* string, ParamValue& valueNormalized) const {
  char text[128];
  NarrowText(string, text);
  valueNormalized = mSlot.ToNormalized(ReadLeadingNumber(text));
  return true;
}

ParamValue IEffectParameter::toPlain(ParamValue valueNormalized) const { return mSlot.FromNormalized(valueNormalized); }
