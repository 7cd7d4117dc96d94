#include "ChopperReference.h"

#include <cmath>

namespace vellox::test {
namespace {

// A boundary within a millionth of a frame of a whole frame is that frame.
double Frames(double seconds, double rate) {
  const double f = seconds * rate;
  return std::fabs(f - std::nearbyint(f)) <= 1e-6 ? std::nearbyint(f) : f;
}

}  // namespace

void ChopperReference::Block(const double* in0, const double* in1, double* out0, double* out1, int frames) {
  if (frames <= 0) return;
  a = std::exp((fade / rate) * -6.283185307179586);
  b = 1.0 - a;
  const double dryStart = Frames(chop - 0.1, rate);
  const double wrap = Frames(chop, rate);
  for (int i = 0; i < frames; ++i) {
    // Frame n of the run sits at position n; a wrap moves back one cycle.
    double position = base + static_cast<double>(count++);
    if (position >= wrap) {
      base = position - dryStart;
      count = 1;
      position = base;
    }
    target = position < dryStart ? 1.0 : static_cast<double>(static_cast<float>(dry));
    if (effectBypass) {
      out0[i] = in0[i];
      out1[i] = in1[i];
      continue;
    }
    z = a * z + target * b;
    out0[i] = (z * in0[i]) * gain;
    z = a * z + target * b;
    out1[i] = (z * in1[i]) * gain;
  }
}

}  // namespace vellox::test
