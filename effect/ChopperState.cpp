#include "ChopperState.h"

#include <algorithm>
#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "VelloxParams.h"

namespace {
constexpr double kMinusTwoPi = -6.283185307179586;
constexpr double kChoppedSeconds = 0.1;

// Seconds times rate rarely lands exactly on a whole frame in binary (0.22 s
// at 44.1 kHz is 9702.000000000002); a boundary that close to a frame falls
// on that frame, so periods that are whole frames stay whole frames.
double FramesAt(double seconds, double rate) {
  const double frames = seconds * rate;
  const double whole = std::nearbyint(frames);
  return std::fabs(frames - whole) <= 1e-6 ? whole : frames;
}

double Position(const ChopperState& s) { return s.clockBase + static_cast<double>(s.clockFrames); }

// The first frame count after the current one whose position reaches
// boundary. The estimate from ceil is corrected with the very comparison
// the per-frame rule makes, so rounding cannot move a switch. Rounding
// moves the estimate by a frame at most while positions are exact in a
// double; the corrections are bounded so that positions too large for that
// (a clock from an absurd rate) still give an answer.
int64_t FirstCountReaching(const ChopperState& s, double boundary) {
  const int64_t next = s.clockFrames + 1;
  const double estimate = std::ceil(boundary - s.clockBase);
  constexpr double kFar = 4.0e15;  // beyond any block; keeps the cast defined
  int64_t count = estimate > static_cast<double>(next) ? static_cast<int64_t>(std::min(estimate, kFar)) : next;
  constexpr int kCorrections = 4;
  for (int i = 0; i < kCorrections && count > next && s.clockBase + static_cast<double>(count - 1) >= boundary; ++i)
    --count;
  for (int i = 0; i < kCorrections && s.clockBase + static_cast<double>(count) < boundary; ++i) ++count;
  return count;
}

double DryTarget(const ChopperState& s) {
  // The chopped level enters in single precision.
  return static_cast<double>(static_cast<float>(s.dryLevel));
}

// The clock counts in frames of the current rate; a new rate keeps the
// position of the next frame in seconds.
void AdoptRate(ChopperState& s, double rate) {
  if (s.clockRate == rate) return;
  if (s.clockRate > 0.0) {
    s.clockBase = (Position(s) + 1.0) * (rate / s.clockRate) - 1.0;
    s.clockFrames = 0;
  }
  s.clockRate = rate;
}

// The stereo smoother over frames [0, n): one state, stepped before each
// channel. The two steps are a serial chain, the floor of this loop; the
// two output products of a frame go through one packed multiply so they
// take no issue slots from the chain. Packed and scalar products round alike.
void SmoothRun(ChopperState& s, double target, const double* in0, const double* in1, double* out0, double* out1,
               int64_t n) {
  const double a = s.a;
  const double tb = target * s.b;
  const double gain = s.outputGain;
  double z = s.z;
#ifdef __SSE2__
  const __m128d gains = _mm_set1_pd(gain);
  for (int64_t i = 0; i < n; ++i) {
    const double z0 = a * z + tb;
    z = a * z0 + tb;
    const __m128d inputs = _mm_loadh_pd(_mm_load_sd(in0 + i), in1 + i);
    const __m128d y = _mm_mul_pd(_mm_mul_pd(_mm_set_pd(z, z0), inputs), gains);
    _mm_storel_pd(out0 + i, y);
    _mm_storeh_pd(out1 + i, y);
  }
#else
  for (int64_t i = 0; i < n; ++i) {
    z = a * z + tb;
    out0[i] = (z * in0[i]) * gain;
    z = a * z + tb;
    out1[i] = (z * in1[i]) * gain;
  }
#endif
  s.z = z;
}

}  // namespace

ChopperBoundaries ChopperBoundariesFor(double chopPeriod, double sampleRate) {
  return {FramesAt(chopPeriod - kChoppedSeconds, sampleRate), FramesAt(chopPeriod, sampleRate)};
}

double ChopperClockSeconds(const ChopperState& s) { return s.clockRate > 0.0 ? Position(s) / s.clockRate : 0.0; }

double ChopperTarget(const ChopperState& s) {
  if (s.clockRate <= 0.0) return 1.0;
  return Position(s) < ChopperBoundariesFor(s.chopPeriod, s.clockRate).dryStart ? 1.0 : DryTarget(s);
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

// Per frame the clock steps by one; when its position reaches the wrap
// boundary it moves back by one cycle (chop - 0.1 s), and the frame's level
// is the chopped one from the dry boundary on. Rather than test that per
// frame, the block is cut at the frames where the level or the cycle
// changes and each piece runs as one plain loop.
void ChopperProcess(ChopperState& s, double sampleRate, bool bypass, double* const* inputs, double* const* outputs,
                    int frames) {
  if (frames <= 0 || !inputs || !outputs || !(sampleRate > 0.0)) return;
  AdoptRate(s, sampleRate);
  s.a = std::exp((s.fadeRate / sampleRate) * kMinusTwoPi);
  s.b = 1.0 - s.a;
  const ChopperBoundaries at = ChopperBoundariesFor(s.chopPeriod, sampleRate);
  const double dry = DryTarget(s);
  const double* in0 = inputs[0];
  const double* in1 = inputs[1];
  double* out0 = outputs[0];
  double* out1 = outputs[1];

  int64_t done = 0;
  while (done < frames) {
    const int64_t left = frames - done;
    const int64_t wrapCount = FirstCountReaching(s, at.wrap);
    int64_t run;
    double target;
    if (wrapCount == s.clockFrames + 1) {
      // This frame wraps: the position it reaches, less one cycle.
      s.clockBase = (s.clockBase + static_cast<double>(wrapCount)) - at.dryStart;
      s.clockFrames = 0;
      run = 1;
      target = s.clockBase < at.dryStart ? 1.0 : dry;
    } else {
      const int64_t dryCount = FirstCountReaching(s, at.dryStart);
      const bool full = dryCount > s.clockFrames + 1;
      run = std::min((full ? std::min(dryCount, wrapCount) : wrapCount) - (s.clockFrames + 1), left);
      target = full ? 1.0 : dry;
      s.clockFrames += run;
    }
    if (!bypass) {
      SmoothRun(s, target, in0 + done, in1 + done, out0 + done, out1 + done, run);
    } else {
      std::copy(in0 + done, in0 + done + run, out0 + done);
      std::copy(in1 + done, in1 + done + run, out1 + done);
    }
    done += run;
  }
}
