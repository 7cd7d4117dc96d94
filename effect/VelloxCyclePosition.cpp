#include "VelloxCyclePosition.h"

#include <cmath>

namespace {
constexpr double kDipSeconds = 0.1;
}  // namespace

double ChopperCyclePhase(const ChopperState& s) {
  const ChopperClock& clock = s.settings.sync ? s.song.clock : s.free;
  const double position = clock.base + static_cast<double>(clock.count);
  double start = 0.0, length = 0.0;
  if (s.settings.pattern) {
    start = s.plan.start;
    length = s.plan.length;
  } else if (s.settings.sync) {
    length = s.song.length;
  } else {
    // The free cycle runs from 0.1 s to CHOP in the clock's positions.
    length = (s.settings.chopPeriod - kDipSeconds) * s.freeRate;
    start = kDipSeconds * s.freeRate;
  }
  if (!(length > 0.0) || !std::isfinite(position)) return -1.0;
  const double phase = (position - start) / length;
  const double wrapped = phase - std::floor(phase);
  return wrapped < 1.0 ? wrapped : 0.0;
}
