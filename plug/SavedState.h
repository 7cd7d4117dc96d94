#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class IEffectBase;

// The saved state as bytes in memory, for bindings whose hosts hand over
// whole buffers or byte streams: the same bytes the VST 3 binding saves, so a
// project moves between formats. The layout: the values of the first
// layout's parameters (8-byte little-endian doubles), a little-endian int32
// that is 1 while the host has bypassed the plug-in, then, when the effect
// has later parameters, the tag "VLXE", a uint32 version, a uint32 byte
// count and their values.

// Every value and the bypass flag, taken under the plug-in lock into memory
// reserved before it. False when memory ran out.
bool EncodeSavedState(IEffectBase& plug, bool bypassed, std::vector<uint8_t>& bytes);

// A decoded state, checked and not yet applied.
struct DecodedState {
  std::vector<double> values;  // one per parameter, in parameter order
  bool bypassed = false;
};

// Reads a whole state: a first layout cut short, an extension that is not
// ours, cut short or malformed refuse it (false, nothing decoded). A state
// that ends after the bypass word gives the later parameters their defaults;
// unknown values of a later version are skipped.
bool DecodeSavedState(const IEffectBase& plug, const uint8_t* bytes, size_t size, DecodedState& state);

// Applies a decoded state in one step under the plug-in lock; the caller
// takes the bypass flag. Values are limited as saved values are.
void ApplySavedState(IEffectBase& plug, const DecodedState& state);

// Most bytes a state of this effect can need to be read: anything longer is
// not one of ours (a later version's extra values included).
size_t MaxSavedStateBytes(const IEffectBase& plug);
