#pragma once

#include "pluginterfaces/base/funknown.h"

// Creation function of the module's one class: a new effect object, returned
// as its IAudioProcessor interface with one reference, or null.
Steinberg::FUnknown* CreatePlugInstance(void* context);
