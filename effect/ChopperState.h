#pragma once

// Derived state of the chopper. The four settings are written only from
// parameter values; the clock and the smoother persist for the effect's life.
struct ChopperState {
  double fadeRate = 5.0;     // smoother cut-off rate
  double chopPeriod = 0.22;  // seconds
  double dryLevel = 0.0;     // linear level during the chopped phase
  double outputGain = 1.0;   // linear
  double accumulator = 0.0;  // seconds into the cycle
  double a = 0.0;            // smoother coefficient
  double b = 1.0;            // 1 - a
  double z = 0.0;            // smoother state
};

// Level the smoother aims at for the current position in the cycle.
double ChopperTarget(const ChopperState& state);

// Takes a parameter's plain value into the derived state; non-finite values
// are ignored so they never reach the audio.
void ChopperApplyParam(ChopperState& state, int index, double value);

// One block of stereo audio (both entries of inputs and outputs valid).
// bypassValue is the BY switch; when it truncates to non-zero the input is
// copied through and the smoother holds.
void ChopperProcess(ChopperState& state, double sampleRate, double bypassValue, double* const* inputs,
                    double* const* outputs, int frames);
