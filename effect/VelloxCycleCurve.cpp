#include "VelloxCycleCurve.h"

#include <algorithm>
#include <cmath>

#include "VelloxParams.h"

namespace {
constexpr double kDipSeconds = 0.1;
constexpr double kTwoPi = 6.283185307179586;
// Whole cycles run before the one drawn, for the smoother to settle.
constexpr int kSettlingCycles = 3;

double StepStart(const ChopperSettings& s, int k) { return k + ((k % 2 == 1 && k < s.steps) ? s.swing : 0.0); }

double OpenLevel(const ChopperSettings& s, int k, double dry) {
  const double level = s.stepLevels[k];
  if (level >= 1.0) return 1.0;
  if (level <= 0.0) return dry;
  return dry + level * (1.0 - dry);
}
}  // namespace

// The free cycle without the pattern runs from 0.1 s to CHOP; with it, CHOP long.
double VelloxCycleSeconds(const ChopperSettings& s, double tempo) {
  if (s.sync) return VelloxNoteFrames(s.note, 4.0, 60.0 / tempo);
  return s.pattern ? s.chopPeriod : s.chopPeriod - kDipSeconds;
}

double VelloxCycleTarget(const ChopperSettings& s, double cycleSeconds, double phase) {
  const double dry = static_cast<float>(s.dryLevel);
  if (!s.pattern) {
    // The synced cycle dips for at most half its length.
    const double dip = std::min(kDipSeconds, s.sync ? 0.5 * cycleSeconds : cycleSeconds);
    return phase * cycleSeconds < cycleSeconds - dip ? 1.0 : dry;
  }
  const int steps = std::clamp(s.steps, 1, kVelloxMaxSteps);
  const double u = phase * steps;
  int k = std::clamp(static_cast<int>(u), 0, steps - 1);
  while (k > 0 && u < StepStart(s, k)) --k;
  while (k + 1 < steps && u >= StepStart(s, k + 1)) ++k;
  const double start = StepStart(s, k);
  const double open = start + s.gate * (StepStart(s, k + 1) - start);
  return u < open ? OpenLevel(s, k, dry) : dry;
}

void VelloxCycleCurve(const ChopperSettings& s, double cycleSeconds, float* levels, int n) {
  if (n <= 0) return;
  if (!(cycleSeconds > 0.0) || !std::isfinite(cycleSeconds)) cycleSeconds = 1.0;
  // The audio's smoother steps twice a frame: over a column's time it
  // decays as two of its steps per frame would.
  const double a = std::exp(-2.0 * kTwoPi * std::max(s.fadeRate, 0.0) * cycleSeconds / n);
  double z = VelloxCycleTarget(s, cycleSeconds, 0.5 / n);
  for (int cycle = 0; cycle <= kSettlingCycles; ++cycle)
    for (int i = 0; i < n; ++i) {
      z = (1.0 - a) * VelloxCycleTarget(s, cycleSeconds, (i + 0.5) / n) + a * z;
      if (cycle == kSettlingCycles) levels[i] = static_cast<float>(std::clamp(z, 0.0, 1.0));
    }
}
