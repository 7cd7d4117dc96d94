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

// Frames to the first frame at or past boundary, at least one: the ceil
// estimate is corrected with the very sum the per-frame rule makes, within
// bounds, as FirstCountReaching does.
int64_t SyncRunTo(const ChopperState& s, double boundary) {
  constexpr double kFar = 4.0e15;
  const double estimate = std::ceil(boundary - s.syncBase) - static_cast<double>(s.syncFrames);
  int64_t k = estimate > 1.0 ? static_cast<int64_t>(std::min(estimate, kFar)) : 1;
  constexpr int kCorrections = 4;
  for (int i = 0; i < kCorrections && k > 1 && s.syncBase + static_cast<double>(s.syncFrames + k - 1) >= boundary; ++i)
    --k;
  for (int i = 0; i < kCorrections && s.syncBase + static_cast<double>(s.syncFrames + k) < boundary; ++i) ++k;
  return k;
}

// Where the synced cycle stands at this call's first frame. With a song
// position the cycle is placed on the grid from it, at a new host block or a
// new cycle length; otherwise it runs on, a new length keeping the fraction
// of the cycle done.
void PlaceSyncCycle(ChopperState& s, const ChopperTransport& t, double quartersPerCycle, double framesPerQuarter,
                    double length) {
  // A call that does not go on from the last synced one (a new host block, or
  // frames left out by SYNC off or the host's bypass) is placed afresh.
  const bool goesOn = t.block == s.syncBlock && t.blockOffset == s.syncNextOffset;
  const bool place = t.songPosition && std::isfinite(t.quarters) && (!goesOn || length != s.syncCycle);
  if (place) {
    // A remainder by floor: fmod alone would cost more than the rest of a
    // short block. Rounding can leave it a hair outside the cycle, which
    // means the cycle starts here; so does a position beyond any song.
    double phase = t.quarters - quartersPerCycle * std::floor(t.quarters / quartersPerCycle);
    if (!(phase >= 0.0 && phase < quartersPerCycle)) phase = 0.0;
    s.syncBase = phase * framesPerQuarter + 0.5 + static_cast<double>(std::max<int64_t>(t.blockOffset, 0));
    s.syncFrames = 0;
  } else if (s.syncCycle <= 0.0) {
    s.syncBase = 0.5;
    s.syncFrames = 0;
  } else if (length != s.syncCycle) {
    s.syncBase = (s.syncBase + static_cast<double>(s.syncFrames)) * (length / s.syncCycle);
    s.syncFrames = 0;
  }
  s.syncCycle = length;
  const double position = s.syncBase + static_cast<double>(s.syncFrames);
  if (!(position < length)) {
    s.syncBase = std::fmod(position, length);
    s.syncFrames = 0;
  }
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

void SetCoefficients(ChopperState& s, double sampleRate) {
  s.a = std::exp((s.fadeRate / sampleRate) * kMinusTwoPi);
  s.b = 1.0 - s.a;
}

// Frames at..at+n of the block at one target level; bypassed, the input is
// copied and the smoother holds.
void LevelRun(ChopperState& s, bool bypass, double target, double* const* inputs, double* const* outputs, int64_t at,
              int64_t n) {
  if (!bypass) {
    SmoothRun(s, target, inputs[0] + at, inputs[1] + at, outputs[0] + at, outputs[1] + at, n);
    return;
  }
  std::copy(inputs[0] + at, inputs[0] + at + n, outputs[0] + at);
  std::copy(inputs[1] + at, inputs[1] + at + n, outputs[1] + at);
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
    // Switches and lists take the entry the value truncates to, as their texts do.
    case kVelloxSync: state.sync = std::trunc(value) != 0.0; break;
    case kVelloxNote:
      state.note = static_cast<int>(std::clamp(std::trunc(value), 0.0, static_cast<double>(kVelloxNoteCount - 1)));
      break;
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
  SetCoefficients(s, sampleRate);
  const ChopperBoundaries at = ChopperBoundariesFor(s.chopPeriod, sampleRate);
  const double dry = DryTarget(s);

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
    LevelRun(s, bypass, target, inputs, outputs, done, run);
    done += run;
  }
}

ChopperSyncCycle ChopperSyncCycleFor(const ChopperState& s, double sampleRate) {
  const double quarters = VelloxNoteQuarters(s.note, s.syncBar);
  // At least two frames, and short of where frame counts stop being exact.
  const double length = std::clamp(quarters * sampleRate * 60.0 / s.syncTempo, 2.0, 1.0e12);
  return {length, length - std::min(kChoppedSeconds * sampleRate, 0.5 * length)};
}

// The synced cycle in frames of the block: from the cycle's start the full
// level, from dryStart the chopped one, and at its length the next cycle.
// Positions are syncBase plus a whole frame count, so they are the same sums
// however the block is cut.
void ChopperProcessSynced(ChopperState& s, double sampleRate, bool bypass, const ChopperTransport& t,
                          double* const* inputs, double* const* outputs, int frames) {
  if (frames <= 0 || !inputs || !outputs || !(sampleRate > 0.0) || !std::isfinite(sampleRate)) return;
  if (std::isfinite(t.tempo) && t.tempo > 0.0) s.syncTempo = std::clamp(t.tempo, kChopperMinTempo, kChopperMaxTempo);
  if (t.timeSigNumerator > 0 && t.timeSigDenominator > 0)
    s.syncBar = std::clamp(4.0 * t.timeSigNumerator / t.timeSigDenominator, 0.125, 64.0);
  SetCoefficients(s, sampleRate);
  const ChopperSyncCycle cycle = ChopperSyncCycleFor(s, sampleRate);
  const double framesPerQuarter = sampleRate * 60.0 / s.syncTempo;
  PlaceSyncCycle(s, t, VelloxNoteQuarters(s.note, s.syncBar), framesPerQuarter, cycle.length);
  const double dry = DryTarget(s);

  int64_t done = 0;
  while (done < frames) {
    const double position = s.syncBase + static_cast<double>(s.syncFrames);
    if (position >= cycle.length) {
      s.syncBase = position - cycle.length;
      s.syncFrames = 0;
      continue;
    }
    const bool full = position < cycle.dryStart;
    const int64_t run = std::min(SyncRunTo(s, full ? cycle.dryStart : cycle.length), frames - done);
    LevelRun(s, bypass, full ? 1.0 : dry, inputs, outputs, done, run);
    s.syncFrames += run;
    done += run;
  }
  s.syncBlock = t.block;
  s.syncNextOffset = t.blockOffset + frames;
}
