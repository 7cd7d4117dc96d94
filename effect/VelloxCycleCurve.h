#pragma once

#include "ChopperState.h"

// The level the gate gives one cycle, as the editor draws it: n columns,
// column i the level at (i + 0.5) / n of the cycle once the FADE smoothing
// has settled into its repeating course. `cycleSeconds` is the cycle's
// length; with SYNC on the editor takes it at 120 BPM in 4/4.
void VelloxCycleCurve(const ChopperSettings& settings, double cycleSeconds, float* levels, int n);

// The target level (before smoothing) at `phase` (0 <= phase < 1) of a cycle
// `cycleSeconds` long: the pattern's steps with PATTERN on, otherwise the
// full level and then the DRY dip of the last 0.1 s (with SYNC on, at most
// half the cycle).
double VelloxCycleTarget(const ChopperSettings& settings, double cycleSeconds, double phase);

// The cycle's length in seconds for the settings, with SYNC at `tempo` in 4/4.
double VelloxCycleSeconds(const ChopperSettings& settings, double tempo);
