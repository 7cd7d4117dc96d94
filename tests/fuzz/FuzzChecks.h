#pragma once

#include <cstdint>
#include <vector>

#include "EffectRig.h"
#include "FuzzRequire.h"

// Invariant checks of the plug-in for the fuzz targets.

// Every parameter's plain value is finite and within its range, and every
// normalised value the host can read is finite and within 0..1.
void RequireParamsInRange(EffectRig& rig);

// The controller's saved state; aborts when saving fails.
std::vector<uint8_t> SaveState(EffectRig& rig);

// Restoring a saved state and saving again gives the same bytes.
void RequireStateRoundTrip(EffectRig& rig);

// The host's parameter ids: the core's, bypass, program change.
std::vector<Steinberg::Vst::ParamID> HostParamIds(EffectRig& rig);
