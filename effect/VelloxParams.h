#pragma once

class IEffectBase;

// Parameter indices of the effect; the index is the host id, the control
// binding and the position in saved state.
enum VelloxParam : int {
  kVelloxFade = 0,
  kVelloxChop = 1,
  kVelloxDry = 2,
  kVelloxOutput = 3,
  kVelloxBy = 4,
  kVelloxNumParams = 5,
};

// Defines the five parameters on a freshly constructed plug-in base.
void DefineVelloxParams(IEffectBase& plug);
