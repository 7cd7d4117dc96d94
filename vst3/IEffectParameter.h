#pragma once

#include "public.sdk/source/vst/vstparameters.h"

class IParamSlot;

// The host's view of one core parameter. Value texts and conversions go to
// the slot, which the core owns and which outlives this object; the
// normalised value stored here is not kept up to date (queries go to the slot).
class IEffectParameter : public Steinberg::Vst::Parameter {
public:
  IEffectParameter(const IParamSlot& slot, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unitId);

  void toString(Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string) const override;
  bool fromString(const Steinberg::Vst::TChar* string, Steinberg::Vst::ParamValue& valueNormalized) const override;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue valueNormalized) const override;

  OBJ_METHODS(IEffectParameter, Parameter)

private:
  const IParamSlot& mSlot;
};

// Display text of the plain value for a normalised figure (no quantisation,
// no clamping, no label), widened for the host.
void SlotValueText(const IParamSlot& slot, double normalized, Steinberg::Vst::String128 out);
