#include "chopper_reference.h"

#include <cmath>

namespace vellox::test {

void ChopperReference::Block(const double* in0, const double* in1, double* out0, double* out1, int frames) {
  accumulator = accumulator + static_cast<double>(frames) / rate;
  if (accumulator >= chop) accumulator = accumulator - (chop - 0.1);
  const double target = accumulator < chop - 0.1 ? 1.0 : static_cast<double>(static_cast<float>(dry));
  if (frames <= 0) return;
  a = std::exp((fade / rate) * -6.283185307179586);
  b = 1.0 - a;
  for (int i = 0; i < frames; ++i) {
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
