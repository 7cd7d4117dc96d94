#pragma once

#include "IEffectVST3.h"
#include "VelloxEffect.h"

// The module's effect class: the chopper bound to the VST 3 adapter.
class Vellox : public VelloxEffect<IEffectVST3> {
public:
  Vellox();

  // The host hears the program parameter edited, in one gesture.
  bool SelectProgramFromEditor(int index) override;
};
