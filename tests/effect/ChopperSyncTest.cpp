// The synced cycle against the song's grid, computed here in exact fractions:
// each cycle starts on the frame nearest its grid line (the earlier one on a
// tie) and its last 0.1 s, at most half of it, is at the DRY level, whatever
// the blocks, the start position, the rounding of the host's song position.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "EffectHarness.h"

namespace {

using Int = __int128;

struct Frac {  // n / d exactly, d > 0
  Int n = 0, d = 1;
  Frac(Int num = 0, Int den = 1) : n(den < 0 ? -num : num), d(den < 0 ? -den : den) {
    Int a = n < 0 ? -n : n, b = d;
    while (b != 0) a %= b, std::swap(a, b);
    if (a > 1) n /= a, d /= a;
  }
};
Frac operator+(Frac a, Frac b) { return {a.n * b.d + b.n * a.d, a.d * b.d}; }
Frac operator-(Frac a, Frac b) { return {a.n * b.d - b.n * a.d, a.d * b.d}; }
Frac operator*(Frac a, Frac b) { return {a.n * b.n, a.d * b.d}; }
Frac operator/(Frac a, Frac b) { return {a.n * b.d, a.d * b.n}; }
Int Floor(Frac a) { return a.n >= 0 ? a.n / a.d : -((-a.n + a.d - 1) / a.d); }
long Nearest(Frac x) { return static_cast<long>(-Floor(Frac(1, 2) - x)); }  // ceil(x - 1/2): ties go early
double ToDouble(Frac a) { return static_cast<double>(a.n) / static_cast<double>(a.d); }

// Each NOTE entry in quarter notes, for a bar of `bar` quarters.
Frac NoteQuarters(int note, Frac bar) {
  const Frac fixed[] = {{1, 8}, {1, 6}, {1, 4}, {1, 3}, {3, 8}, {1, 2}, {2, 3}, {3, 4}, {1}, {4, 3}, {3, 2}, {2}};
  return note < 12 ? fixed[note] : bar * Frac(note == 12 ? 1 : note == 13 ? 2 : 4);
}

struct Tempo {
  long rate;
  Frac bpm;
  Frac PerQuarter() const { return Frac(60 * rate) / bpm; }
};

// Full (1) or chopped (0) for render frames [0, frames), on cycles `length`
// long whose lines lie at its multiples counted from `origin` frames before frame 0.
std::vector<char> GridLevels(Frac origin, Frac length, long rate, long frames) {
  const Frac off = ToDouble(length) > rate / 5.0 ? Frac(rate, 10) : length / Frac(2);
  std::vector<char> levels(static_cast<size_t>(frames), 0);
  for (Int k = Floor(origin / length) - 1; Nearest(Frac(k) * length - origin) < frames; ++k) {
    const Frac line = Frac(k) * length - origin;
    for (long i = std::max(Nearest(line), 0L); i < std::min(Nearest(line + length - off), frames); ++i) levels[i] = 1;
  }
  return levels;
}

testing::AssertionResult Same(const std::vector<char>& levels, const std::vector<char>& grid) {
  const auto wrong = std::mismatch(levels.begin(), levels.end(), grid.begin(), grid.end()).first;
  if (levels == grid) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "first wrong frame " << wrong - levels.begin();
}

// A synced effect (FADE 50, DRY 0, unit input) played in host blocks whose
// transport `at` gives for the render frame each block starts at.
struct SyncRig : TestEffect {
  HostTransport now;
  std::vector<double> out0, out1;
  uint32_t block = 0;
  void HostTransportInfo(HostTransport& t) override { t = now; }

  SyncRig(long rate, int note) {
    LoadPreset(0);
    SetSampleRate(static_cast<double>(rate));
    Set(kVelloxFade, 50.0), Set(kVelloxSync, 1.0), Set(kVelloxNote, note);
  }
  void Set(int index, double plain) {
    GetParam(index)->SetValue(plain);
    HandleParamChange(index);
  }
  void Call(const HostTransport& t, long n, long offset) {  // n frames, `offset` into the host block
    now = t, now.block = block, now.blockOffset = static_cast<int32_t>(offset);
    std::vector<double> in(static_cast<size_t>(n), 1.0), in1(in);
    out0.resize(out0.size() + n), out1.resize(out1.size() + n);
    double* ins[] = {in.data(), in1.data()};
    double* outs[] = {out0.data() + out0.size() - n, out1.data() + out1.size() - n};
    ProcessBlock(ins, outs, static_cast<int>(n));
  }
  void Play(long frames, const std::vector<int>& sizes, const std::function<HostTransport(long)>& at) {
    for (long done = 0, k = 0; done < frames; done += std::min<long>(sizes[k++ % sizes.size()], frames - done)) {
      ++block;
      Call(at(done), std::min<long>(sizes[k % sizes.size()], frames - done), 0);
    }
  }
  std::vector<char> Levels() const {  // the second smoother step of a frame is a * out0 + level * b
    const ChopperSmoother& s = Chopper().smoother;
    std::vector<char> levels(out0.size());
    for (size_t i = 0; i < out0.size(); ++i) levels[i] = (out1[i] - s.a * out0[i]) / s.b > 0.5;
    return levels;
  }
};

// A playing 4/4 host at render frame i, the song starting `origin` frames
// before frame 0: the position rounded to `tick` quarters when given, a frame
// count only where the song starts on a whole frame.
HostTransport Playing(const Tempo& tempo, Frac origin, long i, double tick = 0.0) {
  HostTransport t;
  t.quarterNotePosition = ToDouble(origin / tempo.PerQuarter()) + i / ToDouble(tempo.PerQuarter());
  if (tick > 0.0) t.quarterNotePosition = std::round(t.quarterNotePosition / tick) * tick;
  t.samplePosition = origin.d == 1 ? ToDouble(origin) + static_cast<double>(i) : 0.0;
  t.tempo = ToDouble(tempo.bpm);
  t.timeSigNumerator = t.timeSigDenominator = 4;
  t.playing = t.tempoValid = t.quarterNotesValid = t.timeSigValid = true;
  return t;
}

}  // namespace

// Lines half-way between frames (120, 128 BPM) and anywhere (97.3 BPM), starts
// on, between and before frames, positions a few ulps off: every partition
// gives the same bits, every switch on the frame nearest the exact grid.
TEST(ChopperSync, EveryPartitionAndStartChopsOnTheExactGrid) {
  const Frac odd(973, 10);
  const std::pair<Tempo, int> cases[] = {
      {{44100, 120}, 2}, {{44100, 128}, 5}, {{44100, 120}, 0}, {{44100, odd}, 1}, {{48000, odd}, 7}};
  std::mt19937 rng(26);
  std::vector<int> random(300);
  for (int& n : random) n = std::uniform_int_distribution<int>(1, 3000)(rng);
  for (const auto& [tempo, note] : cases)
    for (const Frac& start : {Frac(0), Frac(3, 4), Frac(37, 3), Frac(-5, 2), Frac(123456, 1000000)}) {
      const Frac origin = start * tempo.PerQuarter();
      const auto grid = GridLevels(origin, NoteQuarters(note, 4) * tempo.PerQuarter(), tempo.rate, 3 * 44100);
      std::vector<double> first;
      for (const std::vector<int>& p : {std::vector<int>{4096}, {512}, {64}, {441}, random}) {
        SCOPED_TRACE(testing::Message() << ToDouble(tempo.bpm) << " BPM, start " << ToDouble(start) << ", " << p[0]);
        SyncRig rig(tempo.rate, note);
        rig.Play(3 * 44100, p, [&, &tempo = tempo](long i) {
          HostTransport t = Playing(tempo, origin, i);
          for (int k = std::uniform_int_distribution<int>(-4, 4)(rng); k != 0; k += k < 0 ? 1 : -1)
            t.quarterNotePosition = std::nextafter(t.quarterNotePosition, k < 0 ? -1e300 : 1e300);
          return t;
        });
        ASSERT_TRUE(Same(rig.Levels(), grid));
        if (first.empty()) first = rig.out1;
        ASSERT_EQ(std::memcmp(first.data(), rig.out1.data(), first.size() * sizeof(double)), 0);
      }
    }
}

// Every NOTE in four meters, playing (in a bar and in a count-in), stopped and
// without a position (the cycle runs from the first frame at the host's
// tempo), above the tempo limit and with a tempo the host did not mark valid.
TEST(ChopperSync, EveryNoteInEveryMeterAndTransportState) {
  enum State { kPlaying, kCountIn, kStopped, kNoPosition, kTooFast, kTempoNotValid };
  for (int note = 0; note < kVelloxNoteCount; ++note)
    for (const auto& [num, den] : {std::pair{4, 4}, {3, 4}, {6, 8}, {7, 8}})
      for (State state : {kPlaying, kCountIn, kStopped, kNoPosition, kTooFast, kTempoNotValid}) {
        SCOPED_TRACE(testing::Message() << "NOTE " << note << " in " << num << "/" << den << ", state " << state);
        const Tempo heard{44100, state == kTooFast ? 1000 : state == kTempoNotValid ? 120 : 128};
        const bool placed = state == kPlaying || state == kCountIn || state == kTooFast;
        const Frac origin = !placed ? Frac(0) : (state == kCountIn ? Frac(-33, 10) : Frac(29, 4)) * heard.PerQuarter();
        const Frac length = NoteQuarters(note, Frac(4 * num, den)) * heard.PerQuarter();
        const long frames = std::min<long>(static_cast<long>(2.3 * ToDouble(length)) + 5000, 400000);
        SyncRig rig(44100, note);
        rig.Play(frames, {1024}, [&, num = num, den = den](long i) {
          HostTransport t = Playing(heard, origin, i);
          t.timeSigNumerator = num, t.timeSigDenominator = den;
          t.playing = state != kStopped;
          t.quarterNotesValid = state != kNoPosition;
          if (state == kTooFast) t.tempo = 1500.0;
          if (state == kTempoNotValid) t.tempoValid = false, t.tempo = 90.0;
          if (!placed) t.quarterNotePosition = 7.25;  // standing still
          return t;
        });
        ASSERT_TRUE(Same(rig.Levels(), GridLevels(origin, length, 44100, frames)));
      }
}

// A host that rounds its position to 1/960 or 1/1920 quarter and counts frames
// exactly: the exact grid at any block size, through a loop back, a relocation
// ahead and 22 frames left out at a block's end. Without the count, the first
// position places the cycle, which then runs on.
TEST(ChopperSync, CoarseSongPositionsKeepTheExactGrid) {
  std::mt19937 rng(1920);
  std::vector<int> random(400);
  for (int& n : random) n = std::uniform_int_distribution<int>(1, 1500)(rng);
  const std::pair<Tempo, int> cases[] = {{{44100, 128}, 5}, {{44100, 120}, 2}, {{48000, Frac(973, 10)}, 3}};
  for (const auto& [tempo, note] : cases)
    for (int ticks : {960, 1920})
      for (const std::vector<int>& sizes : {std::vector<int>{1024}, {512}, {100}, random}) {
        SCOPED_TRACE(testing::Message() << ToDouble(tempo.bpm) << " BPM, tick 1/" << ticks << ", " << sizes[0]);
        const Frac length = NoteQuarters(note, 4) * tempo.PerQuarter();
        const auto at = [&, &tempo = tempo, tick = 1.0 / ticks](Frac song) {
          return [&, song](long i) { return Playing(tempo, song, i, tick); };
        };
        SyncRig rig(tempo.rate, note);
        std::vector<char> grid;
        for (const auto& [song, frames] :
             {std::pair{77777L, 60000L}, {20000, 50000}, {500001, 40000}, {600000, 10}, {600032, 20000}}) {
          rig.Play(frames, sizes, at(song));
          const std::vector<char> part = GridLevels(song, length, tempo.rate, frames);
          grid.insert(grid.end(), part.begin(), part.end());
        }
        ASSERT_TRUE(Same(rig.Levels(), grid));
        const Frac off = Frac(77777) + Frac(1, 3),
                   placed(std::llround(ToDouble(off / tempo.PerQuarter()) * ticks), ticks);
        SyncRig alone(tempo.rate, note);
        alone.Play(200000, sizes, at(off));
        ASSERT_TRUE(Same(alone.Levels(), GridLevels(placed * tempo.PerQuarter(), length, tempo.rate, 200000)));
      }
}

// Stopped, the host's tempo changes and then NOTE: each cycle keeps the part
// done so far, the next starting on the frame nearest where the new length puts it.
TEST(ChopperSync, StoppedTempoAndNoteChangesKeepTheFractionDone) {
  const Tempo fast{44100, 120}, slow{44100, Frac(973, 10)};
  const long playFor = 30000, tempoFor = 70000, total = 190000;
  SyncRig rig(44100, 5);
  rig.Play(playFor, {512}, [&](long i) { return Playing(fast, 0, i); });
  HostTransport still = Playing(slow, 0, playFor);
  still.playing = false;
  const auto stopped = [&](long) { return still; };
  rig.Play(tempoFor, {512}, stopped);
  rig.Set(kVelloxNote, 6.0);
  rig.Play(total - playFor - tempoFor, {512}, stopped);
  // The line of the cycle frame m plays in, on a grid of `length` through
  // `line`, with the part done scaled to `next`.
  const auto scaled = [](long m, Frac line, Frac length, Frac next) {
    const Frac since = Frac(m) - line;
    return Frac(m) - (since - Frac(Floor((since + Frac(1, 2)) / length)) * length) * (next / length);
  };
  const Frac l1 = Frac(1, 2) * fast.PerQuarter(), l2 = Frac(1, 2) * slow.PerQuarter(),
             l3 = Frac(2, 3) * slow.PerQuarter();
  const Frac line2 = scaled(playFor, 0, l1, l2), line3 = scaled(playFor + tempoFor, line2, l2, l3);
  std::vector<char> grid = GridLevels(0, l1, 44100, total);
  const std::vector<char> second = GridLevels(Frac(0) - line2, l2, 44100, total);
  const std::vector<char> third = GridLevels(Frac(0) - line3, l3, 44100, total);
  std::copy(second.begin() + playFor, second.end(), grid.begin() + playFor);
  std::copy(third.begin() + playFor + tempoFor, third.end(), grid.begin() + playFor + tempoFor);
  EXPECT_TRUE(Same(rig.Levels(), grid));
}

// SYNC off from an offset in one 32-frame host block to the same offset in the
// next: the cycle goes on from the song, with a frame count and without one,
// when the gap is too short for the position to tell.
TEST(ChopperSync, SyncBackOnInTheNextBlockFollowsTheSong) {
  const Tempo tempo{44100, 120};
  for (const Frac& origin : {Frac(1, 3), Frac(50000)}) {
    SyncRig rig(44100, 2);
    rig.Play(20000, {32}, [&](long i) { return Playing(tempo, origin, i); });
    for (int half = 0; half < 2; ++half) {
      ++rig.block;
      const HostTransport t = Playing(tempo, origin, 20000 + 32 * half);
      rig.Call(t, 10, 0);
      rig.Set(kVelloxSync, half);
      rig.Call(t, half ? 11000 : 22, 10);
    }
    rig.Play(20000, {32}, [&](long i) { return Playing(tempo, origin, 31042 + i); });
    std::vector<char> grid = GridLevels(origin, NoteQuarters(2, 4) * tempo.PerQuarter(), 44100, 51042),
                      levels = rig.Levels();
    std::copy_n(levels.begin() + 20010, 32, grid.begin() + 20010);  // free running meanwhile
    EXPECT_TRUE(Same(levels, grid)) << "song from " << ToDouble(origin);
  }
}

namespace {

// A pattern gate setting: STEPS steps with their levels; GATE, SWING and
// OFFSET in eighths, quarters and eighths (exact in binary); a free cycle of
// `chop` frames or, with SYNC, NOTE at `tempo` on a song starting `origin`
// frames before frame 0; note-ons at `notes`.
struct Pattern {
  Tempo tempo{44100, 120};
  bool sync = true;
  int note = 8;
  long chop = 22050;
  Frac origin;
  int steps = 8;
  double levels[16] = {};
  int gate8 = 4, swing4 = 0, offset8 = 0;
  double dry = 0.0;
  std::vector<long> notes;
  Frac Length() const { return sync ? NoteQuarters(note, 4) * tempo.PerQuarter() : Frac(chop); }
};

// The targets each frame takes, from the exact times of the edges: a step's
// edge acts from the frame nearest it (the earlier on a tie).
struct Targets {
  std::vector<double> left, right;
};

double OpenLevel(const Pattern& p, int k) {
  const double dry = static_cast<float>(p.dry), level = p.levels[k];
  return level >= 1.0 ? 1.0 : level <= 0.0 ? dry : dry + level * (1.0 - dry);
}

// Fills frames [from, to) of `out` from cycles whose lines lie at `line` + k lengths.
void FillCycles(const Pattern& p, Frac line, long from, long to, std::vector<double>& out) {
  const Frac length = p.Length(), step = length / Frac(p.steps);
  const auto start = [&](int k) { return Frac(k) + (k % 2 && k < p.steps ? Frac(p.swing4, 4) : Frac(0)); };
  for (Int c = Floor((Frac(from) - line) / length) - 1; Nearest(line + Frac(c) * length) < to; ++c)
    for (int k = 0; k < p.steps; ++k) {
      const Frac at = line + Frac(c) * length;
      const Frac open = start(k) + Frac(p.gate8, 8) * (start(k + 1) - start(k));
      const long s = Nearest(at + start(k) * step), e = Nearest(at + open * step),
                 n = Nearest(at + start(k + 1) * step);
      for (long i = std::max(s, from); i < std::min(e, to); ++i) out[i] = OpenLevel(p, k);
      for (long i = std::max(e, from); i < std::min(n, to); ++i) out[i] = static_cast<float>(p.dry);
    }
}

Targets ExactTargets(const Pattern& p, long frames) {
  Targets t{std::vector<double>(frames), std::vector<double>(frames)};
  const Frac behind = Frac(p.offset8, 8) * p.Length();
  std::vector<long> restarts = {0};
  for (long n : p.notes) restarts.push_back(n);
  restarts.push_back(frames);
  for (size_t r = 0; r + 1 < restarts.size(); ++r) {
    const Frac line = r == 0 ? (p.sync ? Frac(0) - p.origin : Frac(0)) : Frac(restarts[r]);
    FillCycles(p, line, restarts[r], restarts[r + 1], t.left);
    FillCycles(p, line + behind, restarts[r], restarts[r + 1], t.right);
  }
  return t;
}

// The outputs of unit input through the smoother, each channel stepped twice
// a frame, the left taken after its first step.
std::vector<double> Smoothed(const std::vector<double>& targets, double a, double b, bool first) {
  std::vector<double> out(targets.size());
  double z = 0.0;
  for (size_t i = 0; i < targets.size(); ++i) {
    const double z0 = a * z + targets[i] * b;
    z = a * z0 + targets[i] * b;
    out[i] = first ? z0 : z;
  }
  return out;
}

long FirstDifference(const std::vector<double>& a, const std::vector<double>& b) {
  for (size_t i = 0; i < a.size(); ++i)
    if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) return static_cast<long>(i);
  return -1;
}

}  // namespace

// Random patterns, swings, gate lengths, offsets and note lists, free and
// synced at three tempi from several song positions: in host blocks of every
// size, each cut into pieces as automation cuts it, with note-ons sent at
// their frames in the block they fall in, the output is the exact edges'
// output to the bit.
TEST(ChopperSync, PatternEdgesOnTheExactFramesForEveryPartitionStartAndNote) {
  std::mt19937 rng(2200);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const Tempo tempi[] = {{44100, 120}, {48000, 128}, {44100, Frac(973, 10)}};
  const long frames = 60000;
  for (int round = 0; round < 24; ++round) {
    Pattern p;
    p.tempo = tempi[round % 3];
    p.sync = round % 4 != 3;
    p.note = pick(3, 12);
    p.chop = p.tempo.rate / 4 * pick(1, 4);
    p.origin = Frac(pick(-3000, 300000), pick(1, 3));
    p.steps = pick(1, 16);
    for (double& level : p.levels) level = std::array<double, 6>{0.0, 0.25, 0.3, 0.5, 1.0, 1.0}[pick(0, 5)];
    p.gate8 = pick(1, 8), p.swing4 = pick(0, 3), p.offset8 = pick(0, 4);
    p.dry = round % 2 ? 0.25 : 0.0;
    for (int n = pick(0, 4); n > 0; --n) p.notes.push_back(pick(1, frames - 1));
    if (round % 2) p.notes.push_back(pick(1, 60));  // in the block that switches RETRIG on
    std::sort(p.notes.begin(), p.notes.end());
    p.notes.erase(std::unique(p.notes.begin(), p.notes.end()), p.notes.end());
    const Targets exact = ExactTargets(p, frames);
    std::vector<int> hostSizes(50), pieceSizes(50);
    for (int& n : hostSizes) n = pick(1, 4000);
    for (int& n : pieceSizes) n = pick(1, 700);
    for (const auto& [hosts, pieces] : {std::pair{std::vector<int>{4096}, std::vector<int>{4096}},
                                        {{512}, {512}},
                                        {{64}, {17}},
                                        {hostSizes, pieceSizes}}) {
      SCOPED_TRACE(testing::Message() << "round " << round << ", blocks " << hosts[0] << "/" << pieces[0]);
      SyncRig rig(p.tempo.rate, p.note);
      rig.Set(kVelloxSync, p.sync), rig.Set(kVelloxChop, static_cast<double>(p.chop) / p.tempo.rate);
      rig.Set(kVelloxDry, p.dry), rig.Set(kVelloxPattern, 1.0), rig.Set(kVelloxSteps, p.steps);
      rig.Set(kVelloxGate, 12.5 * p.gate8), rig.Set(kVelloxSwing, 25.0 * p.swing4);
      rig.Set(kVelloxOffset, 12.5 * p.offset8);
      for (int k = 0; k < 16; ++k) rig.Set(kVelloxStep1 + k, p.levels[k]);
      size_t piece = 0, noteAt = 0;
      for (long done = 0, k = 0; done < frames;) {
        const long n = std::min<long>(hosts[k++ % hosts.size()], frames - done);
        const HostTransport t = Playing(p.tempo, p.origin, done);
        rig.now = t, rig.now.block = ++rig.block;
        rig.HandleMidiIn({static_cast<int32_t>(n / 2), 0x80, 60, 0});  // a note-off restarts nothing
        for (; noteAt < p.notes.size() && p.notes[noteAt] < done + n; ++noteAt)
          rig.HandleMidiIn({static_cast<int32_t>(p.notes[noteAt] - done), 0x91, 60, 100});
        if (done == 0) rig.Set(kVelloxRetrig, 1.0);  // as a point at frame 0 after the host's notes
        for (long off = 0; off < n;) {
          const long m = std::min<long>(pieces[piece++ % pieces.size()], n - off);
          rig.Call(t, m, off);
          off += m;
        }
        done += n;
      }
      const ChopperSmoother& s = rig.Chopper().smoother;
      ASSERT_EQ(FirstDifference(rig.out0, Smoothed(exact.left, s.a, s.b, true)), -1);
      ASSERT_EQ(FirstDifference(rig.out1, Smoothed(exact.right, s.a, s.b, false)), -1);
    }
  }
}
