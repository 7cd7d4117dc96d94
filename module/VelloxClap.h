#pragma once

#include "IEffectClap.h"
#include "VelloxEffect.h"

// The CLAP module's effect class: the chopper bound to the CLAP adapter.
class VelloxClap : public VelloxEffect<IEffectClap> {
public:
  VelloxClap();
};
