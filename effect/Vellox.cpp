#include "Vellox.h"

// The editor is not part of the module yet: no builder is passed.
Vellox::Vellox() : VelloxEffect<IEffectVST3>(nullptr) {}
