#pragma once

#include "pluginterfaces/vst/vsttypes.h"

// The two host parameter ids the adapter adds beside the core's parameter
// indices: the host's program change and its bypass switch.
constexpr Steinberg::Vst::ParamID kPresetParamId = 0x70727374;  // "prst"
constexpr Steinberg::Vst::ParamID kBypassParamId = 0x62706173;  // "bpas"
