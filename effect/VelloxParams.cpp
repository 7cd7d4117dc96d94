#include "VelloxParams.h"

#include "IEffectBase.h"

// Each label names the unit of the number shown beside it: FADE is the
// smoother's cut-off rate in hertz, CHOP the cycle timing in seconds and DRY
// a plain level factor from 0 to 1.
void DefineVelloxParams(IEffectBase& plug) {
  plug.GetParam(kVelloxFade)->Define("FADE", 5.0, 5.0, 50.0, 0.01, "Hz", "", 1.0);
  plug.GetParam(kVelloxChop)->Define("CHOP", 0.22, 0.22, 1.0, 0.01, "s", "", 1.0);
  plug.GetParam(kVelloxDry)->Define("DRY", 0.0, 0.0, 1.0, 0.01, "", "", 1.0);
  plug.GetParam(kVelloxOutput)->Define("OUTPUT", 0.0, -10.0, 10.0, 0.01, "dB", "", 1.0);
  IParamSlot* by = plug.GetParam(kVelloxBy);
  by->SetType(kParamInteger);
  by->Define("BY", 0.0, 0.0, 1.0, 1.0, "", "", 1.0);
  by->AddDisplayText(0, "Off");
  by->AddDisplayText(1, "On");
}
