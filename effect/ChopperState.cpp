#include "ChopperState.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

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

// Where the level switches, in positions of the clock: a frame at or past
// wrap first moves back by length; it plays at the full level before
// dryStart and at the chopped level from there.
struct Cycle {
  double dryStart;
  double wrap;
  double length;
};

// The free cycle of CHOP: the chopped level from chop - 0.1 s, which is
// also the cycle's length, to the wrap at chop.
Cycle FreeCycle(double chopPeriod, double rate) {
  const double dryStart = FramesAt(chopPeriod - kChoppedSeconds, rate);
  return {dryStart, FramesAt(chopPeriod, rate), dryStart};
}

// The synced cycle of NOTE, length frames long; the chopped level takes its
// last 0.1 s, but at most half of it.
Cycle SyncedCycle(double length, double rate) {
  return {length - std::min(FramesAt(kChoppedSeconds, rate), 0.5 * length), length, length};
}

double Position(const ChopperClock& c) { return c.base + static_cast<double>(c.count); }

// The first count, from the clock's own on, whose position reaches boundary.
// The estimate from ceil is corrected with the very comparison the per-frame
// rule makes, so rounding cannot move a switch. Rounding moves the estimate
// by a frame at most while positions are exact in a double; the corrections
// are bounded so that positions too large for that (a clock from an absurd
// rate) still give an answer.
int64_t FirstCountReaching(const ChopperClock& c, double boundary) {
  const int64_t next = c.count;
  const double estimate = std::ceil(boundary - c.base);
  constexpr double kFar = 4.0e15;  // beyond any block; keeps the cast defined
  int64_t count = estimate > static_cast<double>(next) ? static_cast<int64_t>(std::min(estimate, kFar)) : next;
  constexpr int kCorrections = 4;
  for (int i = 0; i < kCorrections && count > next && c.base + static_cast<double>(count - 1) >= boundary; ++i) --count;
  for (int i = 0; i < kCorrections && c.base + static_cast<double>(count) < boundary; ++i) ++count;
  return count;
}

double DryTarget(const ChopperSettings& s) {
  // The chopped level enters in single precision.
  return static_cast<double>(static_cast<float>(s.dryLevel));
}

// The free clock counts in frames of the current rate; a new rate keeps the
// position of the next frame in seconds, in the sums the clock has always
// made: from the position of the frame last processed, plus one.
void AdoptRate(ChopperState& s, double rate) {
  if (s.freeRate == rate) return;
  if (s.freeRate > 0.0) {
    const double last = s.free.base + static_cast<double>(s.free.count - 1);
    s.free.base = (last + 1.0) * (rate / s.freeRate) - 1.0;
    s.free.count = 1;
  }
  s.freeRate = rate;
}

// The stereo smoother over frames [0, n): one state, stepped before each
// channel. The two steps are a serial chain, the floor of this loop; the
// two output products of a frame go through one packed multiply so they
// take no issue slots from the chain. Packed and scalar products round alike.
void SmoothRun(ChopperSmoother& s, double gain, double target, const double* in0, const double* in1, double* out0,
               double* out1, int64_t n) {
  const double a = s.a;
  const double tb = target * s.b;
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

// As SmoothRun with a state and a target per channel: each state steps twice
// a frame, the left output after its first step, the right after its second,
// so that with equal states and targets the two give SmoothRun's very bits.
// The two chains run side by side in one packed register.
void SmoothRunStereo(ChopperSmoother& s, double gain, double targetLeft, double targetRight, const double* in0,
                     const double* in1, double* out0, double* out1, int64_t n) {
  const double a = s.a;
  const double tb0 = targetLeft * s.b;
  const double tb1 = targetRight * s.b;
#ifdef __SSE2__
  const __m128d as = _mm_set1_pd(a);
  const __m128d tbs = _mm_set_pd(tb1, tb0);
  const __m128d gains = _mm_set1_pd(gain);
  __m128d z = _mm_set_pd(s.zr, s.z);
  for (int64_t i = 0; i < n; ++i) {
    const __m128d z0 = _mm_add_pd(_mm_mul_pd(as, z), tbs);
    z = _mm_add_pd(_mm_mul_pd(as, z0), tbs);
    const __m128d inputs = _mm_loadh_pd(_mm_load_sd(in0 + i), in1 + i);
    const __m128d y = _mm_mul_pd(_mm_mul_pd(_mm_move_sd(z, z0), inputs), gains);
    _mm_storel_pd(out0 + i, y);
    _mm_storeh_pd(out1 + i, y);
  }
  s.z = _mm_cvtsd_f64(z);
  s.zr = _mm_cvtsd_f64(_mm_unpackhi_pd(z, z));
#else
  double z = s.z, zr = s.zr;
  for (int64_t i = 0; i < n; ++i) {
    const double z0 = a * z + tb0;
    z = a * z0 + tb0;
    out0[i] = (z0 * in0[i]) * gain;
    const double zr0 = a * zr + tb1;
    zr = a * zr0 + tb1;
    out1[i] = (zr * in1[i]) * gain;
  }
  s.z = z;
  s.zr = zr;
#endif
}

void SetCoefficients(ChopperState& s, double sampleRate) {
  s.smoother.a = std::exp((s.settings.fadeRate / sampleRate) * kMinusTwoPi);
  s.smoother.b = 1.0 - s.smoother.a;
}

// Frames at..at+n of the block at one target level; bypassed, the input is
// copied and the smoother holds.
void LevelRun(ChopperState& s, bool bypass, double target, double* const* inputs, double* const* outputs, int64_t at,
              int64_t n) {
  if (!bypass) {
    ChopperSmoother& m = s.smoother;
    // The right channel still on its way from a stereo offset keeps its own state.
    if (m.zr != m.z) {
      SmoothRunStereo(m, s.settings.outputGain, target, target, inputs[0] + at, inputs[1] + at, outputs[0] + at,
                      outputs[1] + at, n);
      return;
    }
    SmoothRun(m, s.settings.outputGain, target, inputs[0] + at, inputs[1] + at, outputs[0] + at, outputs[1] + at, n);
    m.zr = m.z;
    return;
  }
  std::copy(inputs[0] + at, inputs[0] + at + n, outputs[0] + at);
  std::copy(inputs[1] + at, inputs[1] + at + n, outputs[1] + at);
}

// Per frame the clock steps by one; a frame whose position reaches the wrap
// moves back by one cycle length first (once per frame), and the frame's
// level is the chopped one from dryStart on. Rather than test that per
// frame, the block is cut at the frames where the level or the cycle changes
// and each piece runs as one plain loop. dryStart never lies past the wrap,
// so a piece at the full level ends at dryStart at the latest.
void RunCycle(ChopperState& s, ChopperClock& c, const Cycle& cycle, bool bypass, double* const* inputs,
              double* const* outputs, int frames) {
  const double dry = DryTarget(s.settings);
  int64_t done = 0;
  while (done < frames) {
    const double position = Position(c);
    int64_t run;
    double target;
    if (position >= cycle.wrap) {
      // This frame wraps: the position it reaches, less one cycle.
      c.base = position - cycle.length;
      c.count = 1;
      run = 1;
      target = c.base < cycle.dryStart ? 1.0 : dry;
    } else {
      const bool full = position < cycle.dryStart;
      run = std::min(FirstCountReaching(c, full ? cycle.dryStart : cycle.wrap) - c.count, int64_t{frames} - done);
      target = full ? 1.0 : dry;
      c.count += run;
    }
    LevelRun(s, bypass, target, inputs, outputs, done, run);
    done += run;
  }
}

// The pattern gate in steps of the cycle: step k starts at
// (k + swing if k is odd) steps from the cycle's line and ends where step
// k + 1 starts (the last one at the next line); its open part is GATE of
// that length. Times are taken as sums in step units and turned into frames
// with one rounding, so an edge lands on the frame nearest its exact time.
double StepStart(const ChopperSettings& s, int k) { return k + ((k % 2 == 1 && k < s.steps) ? s.swing : 0.0); }

double OpenEnd(const ChopperSettings& s, int k) {
  const double start = StepStart(s, k);
  return start + s.gate * (StepStart(s, k + 1) - start);
}

// The target of a step's open part: DRY stays the floor, a level of 1 is
// the full level exactly.
double OpenTarget(const ChopperSettings& s, int k, double dry) {
  const double level = s.stepLevels[k];
  if (level >= 1.0) return 1.0;
  if (level <= 0.0) return dry;
  return dry + level * (1.0 - dry);
}

// The left channel's target at u steps into the cycle (0 <= u < steps).
double TargetAt(const ChopperSettings& s, double u, double dry) {
  int k = std::clamp(static_cast<int>(u), 0, s.steps - 1);
  while (k > 0 && u < StepStart(s, k)) --k;
  while (k + 1 < s.steps && u >= StepStart(s, k + 1)) ++k;
  return u < OpenEnd(s, k) ? OpenTarget(s, k, dry) : dry;
}

// Cuts a cycle `length` frames long into pieces of constant level on both
// channels; clock positions run `shift` frames behind the exact time.
void MakePlan(ChopperPlan& plan, const ChopperSettings& s, double length, double shift) {
  const double steps = s.steps;
  const double behind = s.offset * steps;  // the right channel's delay, in steps
  double cuts[kChopperMaxPieces];
  int n = 0;
  for (int k = 0; k < s.steps; ++k)
    for (const double u : {StepStart(s, k), OpenEnd(s, k)}) {
      cuts[n++] = u;
      cuts[n++] = u + behind >= steps ? u + behind - steps : u + behind;
    }
  cuts[n++] = steps;
  std::sort(cuts, cuts + n);
  const double dry = DryTarget(s);
  double from = 0.0;
  plan.pieces = 0;
  for (int i = 0; i < n; ++i) {
    const double to = cuts[i];
    if (!(to > from) || to > steps) continue;
    const double middle = 0.5 * (from + to);
    const double late = middle < behind ? middle - behind + steps : middle - behind;
    const int j = plan.pieces++;
    plan.end[j] = to * length / steps - shift;
    plan.left[j] = TargetAt(s, middle, dry);
    plan.right[j] = TargetAt(s, late, dry);
    from = to;
  }
  plan.end[plan.pieces - 1] = length - shift;
  plan.start = -shift;
  plan.wrap = length - shift;
  plan.length = length;
  plan.shift = shift;
  plan.stale = false;
}

// The piece a clock position plays in; positions past the wrap (a cycle
// that just became shorter) take the last.
int PieceAt(const ChopperPlan& plan, double position) {
  const double* found = std::upper_bound(plan.end, plan.end + plan.pieces, position);
  return static_cast<int>(std::min<std::ptrdiff_t>(found - plan.end, plan.pieces - 1));
}

void PatternRun(ChopperState& s, bool bypass, double left, double right, double* const* inputs, double* const* outputs,
                int64_t at, int64_t n) {
  if (bypass || left == right) return LevelRun(s, bypass, left, inputs, outputs, at, n);
  SmoothRunStereo(s.smoother, s.settings.outputGain, left, right, inputs[0] + at, inputs[1] + at, outputs[0] + at,
                  outputs[1] + at, n);
}

// As RunCycle, on the plan's pieces: the block is cut where either
// channel's level or the cycle changes.
void RunPattern(ChopperState& s, ChopperClock& c, double length, double shift, bool bypass, double* const* inputs,
                double* const* outputs, int frames) {
  ChopperPlan& plan = s.plan;
  if (plan.stale || plan.length != length || plan.shift != shift) MakePlan(plan, s.settings, length, shift);
  int64_t done = 0;
  while (done < frames) {
    const double position = Position(c);
    int64_t run;
    int piece;
    if (position >= plan.wrap) {
      c.base = position - plan.length;
      c.count = 1;
      run = 1;
      piece = PieceAt(plan, c.base);
    } else {
      piece = PieceAt(plan, position);
      run = std::min(FirstCountReaching(c, plan.end[piece]) - c.count, int64_t{frames} - done);
      c.count += run;
    }
    PatternRun(s, bypass, plan.left[piece], plan.right[piece], inputs, outputs, done, run);
    done += run;
  }
}

// The song frame of this call's first frame, and whether it is a frame the
// host counted. A host's frame count that agrees with its song position
// within the host's rounding counts the same song, and places the grid more
// exactly: to the frame, whatever the position's rounding. Otherwise the
// song position times the tempo places it.
struct SongFrame {
  double frame;
  bool counted;
};

SongFrame HostSongFrame(const ChopperTransport& t, double framesPerQuarter) {
  const double offset = static_cast<double>(std::max<int64_t>(t.blockOffset, 0));
  const double fromQuarters = t.quarters * framesPerQuarter;
  // A count of 0 is no count: hosts without one leave it there, and at the
  // song's start the position says the same.
  if (t.samples != 0.0 && std::isfinite(t.samples) && t.samples == std::nearbyint(t.samples) &&
      std::fabs(t.samples - fromQuarters) <= kChopperSongTolerance * framesPerQuarter)
    return {t.samples + offset, true};
  return {fromQuarters + offset, false};
}

// Songs whose lines fall on whole or half frames (or finer binary fractions)
// keep them there exactly: a song frame from the song position loses the few
// units in the last place the host's position carries.
double Snapped(const SongFrame& f) {
  if (f.counted) return f.frame;
  constexpr double kSnap = 1024.0;
  const double snapped = std::nearbyint(f.frame * kSnap) / kSnap;
  return std::fabs(f.frame - snapped) <= 1e-9 * (1.0 + std::fabs(f.frame)) ? snapped : f.frame;
}

// Sets the synced clock to the song frame: its position is the frames since
// the last grid line, plus one half, so that a cycle starts on the frame
// nearest its grid line and a tie goes to the earlier frame. For a whole
// song frame the remainder is exact (one rounding of an exact result).
void SetOnGrid(ChopperClock& c, double songFrame, double length) {
  const double lines = std::floor(songFrame / length);
  double phase = std::fma(-lines, length, songFrame);
  // The quotient's rounding can leave the remainder a hair outside the cycle.
  if (phase < 0.0) phase += length;
  if (phase >= length) phase -= length;
  if (!(phase >= 0.0 && phase < length)) phase = 0.0;  // a position beyond any song
  c.base = phase + 0.5;
  c.count = 0;
}

// Where the synced cycle stands at this call's first frame. While the host
// plays with a song position the clock runs on by itself, with the song; the
// host's position places it afresh on a real jump: a transport start, a new
// tempo or time signature, a call that does not go on from the last synced
// one (frames left out by SYNC off, a bypass or a re-activation), or a
// position that strays from the running clock by more than the host's
// rounding can explain. Without a song position it runs on, a new length
// keeping the fraction of the cycle done.
void PlaceSynced(ChopperSong& song, const ChopperTransport& t, double framesPerQuarter, double length) {
  const bool goesOn = (t.block == song.block && t.blockOffset == song.nextOffset) ||
                      (t.block == song.block + 1u && t.blockOffset == 0 && song.nextOffset > 0);
  if (t.songPosition && std::isfinite(t.quarters)) {
    const SongFrame host = HostSongFrame(t, framesPerQuarter);
    const double running = song.songFrame + static_cast<double>(song.songFrames);
    const bool sameGrid = song.onSong && framesPerQuarter == song.framesPerQuarter && song.bar == song.placedBar;
    const bool agrees = host.counted ? host.frame == running
                                     : std::fabs(host.frame - running) <= kChopperSongTolerance * framesPerQuarter;
    if (!(goesOn && sameGrid && agrees)) {
      song.onSong = true;
      song.songFrame = Snapped(host);
      song.songFrames = 0;
      song.framesPerQuarter = framesPerQuarter;
      song.placedBar = song.bar;
      SetOnGrid(song.clock, song.songFrame, length);
    } else if (length != song.length) {
      SetOnGrid(song.clock, running, length);
    }
  } else {
    song.onSong = false;
    if (song.length <= 0.0) {
      SetOnGrid(song.clock, 0.0, length);
    } else if (length != song.length) {
      // The frames since the line, less the half frame the position runs
      // ahead, scale with the length.
      double phase = Position(song.clock) - 0.5;
      if (phase < 0.0) phase += song.length;
      SetOnGrid(song.clock, phase * (length / song.length), length);
    }
  }
  song.length = length;
}

}  // namespace

void ChopperApplyParam(ChopperState& state, int index, double value) {
  if (!std::isfinite(value)) return;
  ChopperSettings& s = state.settings;
  switch (index) {
    case kVelloxFade: s.fadeRate = value; break;
    case kVelloxChop: s.chopPeriod = value; break;
    case kVelloxDry: s.dryLevel = value; break;
    case kVelloxOutput: s.outputGain = std::pow(10.0, value / 20.0); break;
    // Switches and lists take the entry the value truncates to, as their texts do.
    case kVelloxSync: s.sync = std::trunc(value) != 0.0; break;
    case kVelloxNote:
      s.note = static_cast<int>(std::clamp(std::trunc(value), 0.0, static_cast<double>(kVelloxNoteCount - 1)));
      break;
    case kVelloxPattern: s.pattern = std::trunc(value) != 0.0; break;
    case kVelloxSteps:
      s.steps = static_cast<int>(std::clamp(std::trunc(value), 1.0, static_cast<double>(kVelloxMaxSteps)));
      break;
    case kVelloxGate: s.gate = std::clamp(value, 5.0, 100.0) / 100.0; break;
    case kVelloxSwing: s.swing = std::clamp(value, 0.0, 75.0) / 100.0; break;
    case kVelloxOffset: s.offset = std::clamp(value, 0.0, 50.0) / 100.0; break;
    case kVelloxRetrig: s.retrig = std::trunc(value) != 0.0; break;
    default:
      if (index >= kVelloxStep1 && index < kVelloxStep1 + kVelloxMaxSteps)
        s.stepLevels[index - kVelloxStep1] = std::clamp(value, 0.0, 1.0);
      break;
  }
  state.plan.stale = true;
}

void ChopperRestart(ChopperState& state) {
  ChopperClock& c = state.settings.sync ? state.song.clock : state.free;
  // The synced clock's positions run half a frame ahead of the frames.
  c.base = state.settings.sync ? 0.5 : 0.0;
  c.count = 0;
}

void ChopperQueueNote(ChopperNotes& notes, uint32_t block, int32_t frame) {
  if (notes.block != block) notes.count = 0;
  notes.block = block;
  if (notes.count >= kChopperMaxNotes || frame < 0) return;
  int i = notes.count++;
  for (; i > 0 && notes.frames[i - 1] > frame; --i) notes.frames[i] = notes.frames[i - 1];
  notes.frames[i] = frame;
}

void ChopperProcess(ChopperState& s, double sampleRate, bool bypass, double* const* inputs, double* const* outputs,
                    int frames) {
  if (frames <= 0 || !inputs || !outputs || !(sampleRate > 0.0)) return;
  AdoptRate(s, sampleRate);
  SetCoefficients(s, sampleRate);
  if (s.settings.pattern) {
    // Free clock positions count from the cycle's line: an edge half a frame
    // on goes to the nearer frame.
    RunPattern(s, s.free, FramesAt(s.settings.chopPeriod, sampleRate), 0.5, bypass, inputs, outputs, frames);
    return;
  }
  RunCycle(s, s.free, FreeCycle(s.settings.chopPeriod, sampleRate), bypass, inputs, outputs, frames);
}

void ChopperProcessSynced(ChopperState& s, double sampleRate, bool bypass, const ChopperTransport& t,
                          double* const* inputs, double* const* outputs, int frames) {
  if (frames <= 0 || !inputs || !outputs || !(sampleRate > 0.0) || !std::isfinite(sampleRate)) return;
  ChopperSong& song = s.song;
  if (std::isfinite(t.tempo) && t.tempo > 0.0) song.tempo = std::clamp(t.tempo, kChopperMinTempo, kChopperMaxTempo);
  if (t.timeSigNumerator > 0 && t.timeSigDenominator > 0)
    song.bar = std::clamp(4.0 * t.timeSigNumerator / t.timeSigDenominator, 0.125, 64.0);
  SetCoefficients(s, sampleRate);
  const double framesPerQuarter = sampleRate * 60.0 / song.tempo;
  // At least two frames, and short of where frame counts stop being exact.
  const double length = std::clamp(VelloxNoteFrames(s.settings.note, song.bar, framesPerQuarter), 2.0, 1.0e12);
  PlaceSynced(song, t, framesPerQuarter, length);
  if (s.settings.pattern)
    RunPattern(s, song.clock, length, 0.0, bypass, inputs, outputs, frames);
  else
    RunCycle(s, song.clock, SyncedCycle(length, sampleRate), bypass, inputs, outputs, frames);
  song.songFrames += frames;
  song.block = t.block;
  song.nextOffset = t.blockOffset + frames;
}
