#pragma once

class IEffectBase;

// The factory programs: the defaults first, then pattern gates to start from.
constexpr int kVelloxFactoryPresets = 13;

// Captures every factory program, in order, into the plug-in's free preset
// slots, each a full setting of every parameter; the parameters end at
// their defaults.
void DefineVelloxPresets(IEffectBase& plug);
