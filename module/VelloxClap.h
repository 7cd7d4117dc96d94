#pragma once

#include "IEffectClap.h"
#include "VelloxEffect.h"

// The CLAP module's effect class: the chopper bound to the CLAP adapter.
class VelloxClap : public VelloxEffect<IEffectClap> {
public:
  VelloxClap();

  // The editor's preset buttons: the host hears of the new values.
  bool SelectProgramFromEditor(int index) override { return EditProgram(index); }
};
