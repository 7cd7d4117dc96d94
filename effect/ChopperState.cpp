#include "ChopperState.h"

#include <cmath>

#include "VelloxParams.h"

namespace {
constexpr double kMinusTwoPi = -6.283185307179586;
constexpr double kChoppedSeconds = 0.1;
}  // namespace

double ChopperTarget(const ChopperState& s) {
  // The chopped level enters in single precision.
  return s.accumulator < s.chopPeriod - kChoppedSeconds ? 1.0
                                                        : static_cast<double>(static_cast<float>(s.dryLevel));
}

void ChopperApplyParam(ChopperState& state, int index, double value) {
  if (!std::isfinite(value)) return;
  switch (index) {
    case kVelloxFade: state.fadeRate = value; break;
    case kVelloxChop: state.chopPeriod = value; break;
    case kVelloxDry: state.dryLevel = value; break;
    case kVelloxOutput: state.outputGain = std::pow(10.0, value / 20.0); break;
    default: break;
  }
}

void ChopperProcess(ChopperState& s, double sampleRate, double bypassValue, double* const* inputs,
                    double* const* outputs, int frames) {
  // The cycle clock advances per block, so the level target changes only at
  // block boundaries; one wrap per block at most.
  s.accumulator = s.accumulator + static_cast<double>(frames) / sampleRate;
  if (s.accumulator >= s.chopPeriod) s.accumulator = s.accumulator - (s.chopPeriod - kChoppedSeconds);
  const double target = ChopperTarget(s);
  if (frames <= 0 || !inputs || !outputs) return;

  s.a = std::exp((s.fadeRate / sampleRate) * kMinusTwoPi);
  s.b = 1.0 - s.a;
  const double* in0 = inputs[0];
  const double* in1 = inputs[1];
  double* out0 = outputs[0];
  double* out1 = outputs[1];

  if (std::trunc(bypassValue) != 0.0) {
    for (int i = 0; i < frames; ++i) {
      out0[i] = in0[i];
      out1[i] = in1[i];
    }
    return;
  }

  // The one smoother state steps twice per frame, once before each channel.
  const double a = s.a;
  const double tb = target * s.b;
  const double gain = s.outputGain;
  double z = s.z;
  for (int i = 0; i < frames; ++i) {
    z = a * z + tb;
    out0[i] = (z * in0[i]) * gain;
    z = a * z + tb;
    out1[i] = (z * in1[i]) * gain;
  }
  s.z = z;
}
