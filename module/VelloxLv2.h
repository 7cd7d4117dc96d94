#pragma once

#include "IEffectLv2.h"
#include "VelloxEffect.h"

// The LV2 module's effect class: the chopper bound to the LV2 adapter, with
// its editor, which the module's X11 UI shows.
class VelloxLv2 : public VelloxEffect<IEffectLv2> {
public:
  VelloxLv2();

  // The editor's preset buttons: the host hears of the new values.
  bool SelectProgramFromEditor(int index) override { return EditProgram(index); }
};
