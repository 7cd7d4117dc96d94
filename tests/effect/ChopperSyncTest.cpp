// The synced cycle against the song's grid, computed here in exact fractions:
// each cycle starts on the frame nearest its grid line (the earlier one on a
// tie), its last 0.1 s but at most half of it at the DRY level, whatever the
// blocks, the start position, the rounding of the host's song position.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "EffectHarness.h"

namespace {

using Int = __int128;

Int Gcd(Int a, Int b) {
  if (a < 0) a = -a;
  if (b < 0) b = -b;
  while (b != 0) {
    const Int r = a % b;
    a = b;
    b = r;
  }
  return a;
}

// An exact fraction n / d, d > 0.
struct Frac {
  Int n = 0, d = 1;
  Frac(Int num = 0, Int den = 1) : n(den < 0 ? -num : num), d(den < 0 ? -den : den) {
    const Int g = Gcd(n, d);
    if (g > 1) n /= g, d /= g;
  }
};
Frac operator+(Frac a, Frac b) { return {a.n * b.d + b.n * a.d, a.d * b.d}; }
Frac operator-(Frac a, Frac b) { return {a.n * b.d - b.n * a.d, a.d * b.d}; }
Frac operator*(Frac a, Frac b) { return {a.n * b.n, a.d * b.d}; }
Frac operator/(Frac a, Frac b) { return {a.n * b.d, a.d * b.n}; }
bool operator<(Frac a, Frac b) { return a.n * b.d < b.n * a.d; }
Int Floor(Frac a) { return a.n >= 0 ? a.n / a.d : -((-a.n + a.d - 1) / a.d); }
// The frame nearest x, the earlier one on a tie: ceil(x - 1/2).
long Nearest(Frac x) { return static_cast<long>(-Floor(Frac(1, 2) - x)); }
double ToDouble(Frac a) { return static_cast<double>(a.n) / static_cast<double>(a.d); }

// What each NOTE entry means, in quarter notes (a bar of bar quarters).
Frac NoteQuarters(int note, Frac bar) {
  const Frac fixed[] = {{1, 8}, {1, 6}, {1, 4}, {1, 3}, {3, 8}, {1, 2}, {2, 3}, {3, 4}, {1}, {4, 3}, {3, 2}, {2}};
  return note < 12 ? fixed[note] : bar * Frac(note == 12 ? 1 : note == 13 ? 2 : 4);
}

struct Tempo {
  long rate;
  Frac bpm;
  Frac FramesPerQuarter() const { return Frac(60 * rate) / bpm; }
};

// The full (1) or chopped (0) level of render frames [0, frames) on the grid
// of cycles `length` long whose lines lie at whole multiples of it, counted
// from `origin` (in frames before render frame 0).
std::vector<char> GridLevels(Frac origin, Frac length, long rate, long frames) {
  const Frac tenth(rate, 10);
  const Frac off = tenth < length / Frac(2) ? tenth : length / Frac(2);
  std::vector<char> levels(static_cast<size_t>(frames), 0);
  for (Int k = Floor(origin / length) - 1;; ++k) {
    const Frac line = Frac(k) * length - origin;
    const long start = Nearest(line), dry = Nearest(line + length - off);
    if (start >= frames) break;
    for (long i = std::max(start, 0L); i < std::min(dry, frames); ++i) levels[static_cast<size_t>(i)] = 1;
  }
  return levels;
}

// The first frame where two level lists differ, or -1.
long FirstDifference(const std::vector<char>& a, const std::vector<char>& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) return static_cast<long>(i);
  return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

// The effect with a host that says what `now` holds about the song.
struct SongEffect : TestEffect {
  HostTransport now;
  void HostTransportInfo(HostTransport& t) override { t = now; }
};

// Drives a synced effect (FADE 50, DRY 0, unit input) in host blocks; each
// block's transport comes from `at`, given the render frame it starts at.
struct SyncRig {
  SongEffect fx;
  std::vector<double> out0, out1;
  uint32_t block = 0;

  SyncRig(long rate, int note) {
    fx.LoadPreset(0);
    fx.SetSampleRate(static_cast<double>(rate));
    Set(kVelloxFade, 50.0);
    Set(kVelloxSync, 1.0);
    Set(kVelloxNote, note);
  }
  void Set(int index, double plain) {
    fx.GetParam(index)->SetValue(plain);
    fx.HandleParamChange(index);
  }
  // One call of n frames, `offset` frames into the current host block.
  void Call(const HostTransport& t, long n, long offset) {
    fx.now = t;
    fx.now.block = block;
    fx.now.blockOffset = static_cast<int32_t>(offset);
    std::vector<double> in(static_cast<size_t>(n), 1.0), in1(in);
    const size_t at = out0.size();
    out0.resize(at + static_cast<size_t>(n));
    out1.resize(at + static_cast<size_t>(n));
    double* ins[] = {in.data(), in1.data()};
    double* outs[] = {out0.data() + at, out1.data() + at};
    fx.ProcessBlock(ins, outs, static_cast<int>(n));
  }
  void Play(long frames, const std::vector<int>& sizes, const std::function<HostTransport(long)>& at) {
    const long begin = static_cast<long>(out0.size());
    for (size_t k = 0; static_cast<long>(out0.size()) - begin < frames; ++k) {
      const long done = static_cast<long>(out0.size()) - begin;
      ++block;
      Call(at(done), std::min<long>(sizes[k % sizes.size()], frames - done), 0);
    }
  }
  // The level each frame aimed at, read back from the audio: the second
  // smoother step of a frame is a * out0 + level * b.
  std::vector<char> Levels() const {
    const ChopperSmoother& s = fx.Chopper().smoother;
    std::vector<char> levels(out0.size());
    for (size_t i = 0; i < out0.size(); ++i) levels[i] = (out1[i] - s.a * out0[i]) / s.b > 0.5;
    return levels;
  }
};

// A playing host's transport at render frame i, the song at `origin` frames
// before render frame 0: the song position as a host computes it, rounded to
// `tick` quarters when given, and the frame count where the song starts on a
// whole frame (elsewhere the host has none).
HostTransport Playing(const Tempo& tempo, Frac origin, long i, double tick = 0.0) {
  HostTransport t;
  const double perQuarter = ToDouble(tempo.FramesPerQuarter());
  t.quarterNotePosition = ToDouble(origin / tempo.FramesPerQuarter()) + static_cast<double>(i) / perQuarter;
  if (tick > 0.0) t.quarterNotePosition = std::round(t.quarterNotePosition / tick) * tick;
  t.samplePosition = origin.d == 1 ? ToDouble(origin) + static_cast<double>(i) : 0.0;
  t.tempo = ToDouble(tempo.bpm);
  t.timeSigNumerator = t.timeSigDenominator = 4;
  t.playing = t.tempoValid = t.quarterNotesValid = t.timeSigValid = true;
  return t;
}

std::string Where(long frame, const std::vector<char>& levels) {
  return frame < 0 ? "none" : "frame " + std::to_string(frame) + " is " + (levels[frame] ? "full" : "chopped");
}

}  // namespace

// Grid lines half-way between frames (1/16 at 120 BPM, 1/8 at 128 BPM, 1/32
// at 120 BPM) and at arbitrary fractions (97.3 BPM), from song starts on
// whole frames, on half frames and off them, count-in included, under song
// positions a few units in the last place off: every block partition gives
// the same bits, and every switch lies on the frame nearest the exact grid.
TEST(ChopperSync, EveryPartitionAndStartChopsOnTheExactGrid) {
  struct Case {
    Tempo tempo;
    int note;
  };
  const Case cases[] = {{{44100, 120}, 2},
                        {{44100, 128}, 5},
                        {{44100, 120}, 0},
                        {{44100, Frac(973, 10)}, 1},
                        {{48000, Frac(973, 10)}, 7}};
  const Frac starts[] = {0, {3, 4}, {37, 3}, {-5, 2}, {123456, 1000000}};
  std::mt19937 rng(26);
  std::vector<int> random(300);
  for (int& n : random) n = std::uniform_int_distribution<int>(1, 3000)(rng);
  const std::vector<std::vector<int>> partitions = {{4096}, {512}, {64}, {441}, random};
  const long frames = 3 * 44100;
  for (const Case& c : cases)
    for (const Frac& start : starts) {
      const Frac origin = start * c.tempo.FramesPerQuarter();
      const std::vector<char> grid =
          GridLevels(origin, NoteQuarters(c.note, 4) * c.tempo.FramesPerQuarter(), c.tempo.rate, frames);
      std::vector<double> first;
      for (const std::vector<int>& p : partitions) {
        SCOPED_TRACE(testing::Message() << ToDouble(c.tempo.bpm) << " BPM, NOTE " << c.note << ", start "
                                        << ToDouble(start) << ", blocks of " << p[0]);
        SyncRig rig(c.tempo.rate, c.note);
        rig.Play(frames, p, [&](long i) {
          HostTransport t = Playing(c.tempo, origin, i);
          for (int k = std::uniform_int_distribution<int>(-4, 4)(rng); k != 0; k += k < 0 ? 1 : -1)
            t.quarterNotePosition = std::nextafter(t.quarterNotePosition, k < 0 ? -1e300 : 1e300);
          return t;
        });
        const std::vector<char> levels = rig.Levels();
        const long wrong = FirstDifference(levels, grid);
        ASSERT_EQ(wrong, -1) << Where(wrong, levels);
        if (first.empty()) first = rig.out1;
        ASSERT_EQ(std::memcmp(first.data(), rig.out1.data(), first.size() * sizeof(double)), 0);
      }
    }
}

// Every NOTE entry in 4/4, 3/4, 6/8 and 7/8 against the grid: playing (from
// inside a bar, and in a count-in before beat 0), stopped and without a song
// position (the cycle runs from the first frame at the host's tempo), with a
// tempo above the limit and with a tempo the host did not mark valid.
TEST(ChopperSync, EveryNoteInEveryMeterAndTransportState) {
  enum State { kPlaying, kCountIn, kStopped, kNoPosition, kTooFast, kTempoNotValid };
  const Tempo tempo{44100, 128};
  const int meters[][2] = {{4, 4}, {3, 4}, {6, 8}, {7, 8}};
  for (int note = 0; note < kVelloxNoteCount; ++note)
    for (const auto& meter : meters)
      for (State state : {kPlaying, kCountIn, kStopped, kNoPosition, kTooFast, kTempoNotValid}) {
        SCOPED_TRACE(testing::Message() << "NOTE " << note << " in " << meter[0] << "/" << meter[1] << ", state "
                                        << state);
        // Stopped, without a valid tempo or position, the cycle starts with
        // the first frame; the host's position counts only while it plays.
        const bool placed = state == kPlaying || state == kCountIn || state == kTooFast;
        const Tempo heard = state == kTooFast         ? Tempo{44100, 1000}
                            : state == kTempoNotValid ? Tempo{44100, 120}
                                                      : tempo;
        const Frac start = state == kCountIn ? Frac(-33, 10) : Frac(29, 4);
        const Frac origin = placed ? start * heard.FramesPerQuarter() : Frac(0);
        const Frac length = NoteQuarters(note, Frac(4 * meter[0], meter[1])) * heard.FramesPerQuarter();
        const long frames = std::min<long>(static_cast<long>(2.3 * ToDouble(length)) + 5000, 400000);
        SyncRig rig(44100, note);
        rig.Play(frames, {1024}, [&](long i) {
          HostTransport t = Playing(heard, origin, i);
          t.timeSigNumerator = meter[0];
          t.timeSigDenominator = meter[1];
          if (state == kStopped) t.playing = false;
          if (state == kNoPosition) t.quarterNotesValid = false;
          if (state == kTooFast) t.tempo = 1500.0;
          if (state == kTempoNotValid) t.tempoValid = false, t.tempo = 90.0;
          if (state == kStopped || state == kNoPosition) t.quarterNotePosition = 7.25;  // still
          return t;
        });
        const std::vector<char> levels = rig.Levels();
        const long wrong = FirstDifference(levels, GridLevels(origin, length, 44100, frames));
        ASSERT_EQ(wrong, -1) << Where(wrong, levels);
      }
}

// A host that rounds its song position to ticks of 1/960 or 1/1920 quarter
// and counts frames exactly: every switch on the frame nearest the exact
// grid, at any block size; a loop back and a relocation forward are followed
// at the jump's own frame, and so is SYNC switched off and on again.
TEST(ChopperSync, CoarseSongPositionsKeepTheExactGrid) {
  struct Case {
    Tempo tempo;
    int note;
  };
  std::mt19937 rng(1920);
  std::vector<int> random(400);
  for (int& n : random) n = std::uniform_int_distribution<int>(1, 1500)(rng);
  for (const Case& c : {Case{{44100, 128}, 5}, Case{{44100, 120}, 2}, Case{{48000, Frac(973, 10)}, 3}})
    for (double tick : {1.0 / 960.0, 1.0 / 1920.0})
      for (const std::vector<int>& sizes : {std::vector<int>{1024}, {512}, {100}, random}) {
        SCOPED_TRACE(testing::Message() << ToDouble(c.tempo.bpm) << " BPM, tick " << 1.0 / tick << ", blocks of "
                                        << sizes[0]);
        const Frac length = NoteQuarters(c.note, 4) * c.tempo.FramesPerQuarter();
        // Song frames where each span starts, and its length: a loop back to
        // an earlier place, then a relocation ahead.
        const long spans[][2] = {{77777, 60000}, {20000, 50000}, {500001, 40000}};
        SyncRig rig(c.tempo.rate, c.note);
        std::vector<char> grid;
        for (const auto& span : spans) {
          rig.Play(span[1], sizes, [&](long i) { return Playing(c.tempo, Frac(span[0]), i, tick); });
          const std::vector<char> part = GridLevels(Frac(span[0]), length, c.tempo.rate, span[1]);
          grid.insert(grid.end(), part.begin(), part.end());
        }
        // SYNC off for 20 frames inside a host block, then on: the cycle
        // goes on from the song, not from where it stopped.
        const long song = 900000, before = static_cast<long>(rig.out0.size());
        ++rig.block;
        rig.Call(Playing(c.tempo, Frac(song), 0, tick), 100, 0);
        rig.Set(kVelloxSync, 0.0);
        rig.Call(Playing(c.tempo, Frac(song), 0, tick), 20, 100);
        rig.Set(kVelloxSync, 1.0);
        rig.Call(Playing(c.tempo, Frac(song), 0, tick), 11880, 120);
        rig.Play(30000, sizes, [&](long i) { return Playing(c.tempo, Frac(song), i + 12000, tick); });
        std::vector<char> tail = GridLevels(Frac(song), length, c.tempo.rate, 42000);
        const std::vector<char> levels = rig.Levels();
        std::copy(levels.begin() + before + 100, levels.begin() + before + 120, tail.begin() + 100);
        grid.insert(grid.end(), tail.begin(), tail.end());
        const long wrong = FirstDifference(levels, grid);
        ASSERT_EQ(wrong, -1) << Where(wrong, levels);
      }
}

// A host that gives only a coarse song position, no frame count: the cycle is
// placed from the first one and then runs on by itself, so every later
// switch keeps its distance from the grid (within half a tick), and no
// cycle is cut short or doubled.
TEST(ChopperSync, ACoarsePositionAloneIsTakenOnceAndRunOn) {
  const Tempo tempo{44100, 128};
  const Frac length = Frac(1, 2) * tempo.FramesPerQuarter();
  for (double tick : {1.0 / 960.0, 1.0 / 1920.0})
    for (int block : {512, 1024}) {
      SCOPED_TRACE(testing::Message() << "tick " << 1.0 / tick << ", blocks of " << block);
      const Frac origin(77777, 3);  // no whole frame: the host has no count
      SyncRig rig(44100, 5);
      rig.Play(200000, {block}, [&](long i) { return Playing(tempo, origin, i, tick); });
      // Where the first block's rounded position puts the song.
      const double first = std::round(ToDouble(origin / tempo.FramesPerQuarter()) / tick);
      const Frac placed =
          Frac(static_cast<Int>(first), static_cast<Int>(std::lround(1.0 / tick))) * tempo.FramesPerQuarter();
      const std::vector<char> levels = rig.Levels();
      const long wrong = FirstDifference(levels, GridLevels(placed, length, 44100, 200000));
      EXPECT_EQ(wrong, -1) << Where(wrong, levels);
    }
}

// Stopped, the host's tempo changes and then NOTE: each cycle keeps the part
// of it done so far, and the next one starts on the frame nearest where the
// new length puts its line.
TEST(ChopperSync, StoppedTempoAndNoteChangesKeepTheFractionDone) {
  const Tempo fast{44100, 120}, slow{44100, Frac(973, 10)};
  const long playFor = 30000, tempoFor = 70000, noteFor = 90000;
  SyncRig rig(44100, 5);
  rig.Play(playFor, {512}, [&](long i) { return Playing(fast, 0, i); });
  const auto stopped = [&](long) {
    HostTransport t = Playing(slow, 0, playFor);
    t.playing = false;
    return t;
  };
  rig.Play(tempoFor, {512}, stopped);
  rig.Set(kVelloxNote, 6.0);
  rig.Play(noteFor, {512}, stopped);

  // The line of the cycle that frame m plays in, in frames before m, from a
  // grid of `length` with a line at `line`, and the same scaled to `next`.
  const auto scaled = [](long m, Frac line, Frac length, Frac next) {
    const Frac since = Frac(m) - line;
    const Frac back = since - Frac(Floor((since + Frac(1, 2)) / length)) * length;
    EXPECT_TRUE(Frac(0) < back) << "frame " << m << " starts a cycle";
    return Frac(m) - back * (next / length);
  };
  const Frac l1 = Frac(1, 2) * fast.FramesPerQuarter(), l2 = Frac(1, 2) * slow.FramesPerQuarter(),
             l3 = Frac(2, 3) * slow.FramesPerQuarter();
  const Frac line2 = scaled(playFor, 0, l1, l2), line3 = scaled(playFor + tempoFor, line2, l2, l3);
  std::vector<char> grid = GridLevels(0, l1, 44100, playFor + tempoFor + noteFor);
  const std::vector<char> second = GridLevels(Frac(0) - line2, l2, 44100, playFor + tempoFor + noteFor);
  const std::vector<char> third = GridLevels(Frac(0) - line3, l3, 44100, playFor + tempoFor + noteFor);
  std::copy(second.begin() + playFor, second.end(), grid.begin() + playFor);
  std::copy(third.begin() + playFor + tempoFor, third.end(), grid.begin() + playFor + tempoFor);
  const std::vector<char> levels = rig.Levels();
  const long wrong = FirstDifference(levels, grid);
  EXPECT_EQ(wrong, -1) << Where(wrong, levels);
}

// SYNC off for one 32-frame block's worth, from an offset in one host block
// to the same offset in the next, with a host that gives an exact song
// position but no frame count: too short a gap for the position to tell, yet
// the cycle goes on from the song, not from where it stopped.
TEST(ChopperSync, SyncBackOnInTheNextBlockFollowsTheSong) {
  const Tempo tempo{44100, 120};
  const Frac origin(1, 3);  // the song starts a third of a frame early: no whole frame count
  SyncRig rig(44100, 2);
  rig.Play(20000, {32}, [&](long i) { return Playing(tempo, origin, i); });
  for (int half = 0; half < 2; ++half) {
    ++rig.block;
    const HostTransport t = Playing(tempo, origin, 20000 + 32 * half);
    rig.Call(t, 10, 0);
    rig.Set(kVelloxSync, half);
    rig.Call(t, 22, 10);
  }
  rig.Play(20000, {32}, [&](long i) { return Playing(tempo, origin, 20064 + i); });
  std::vector<char> grid = GridLevels(origin, NoteQuarters(2, 4) * tempo.FramesPerQuarter(), 44100, 40064);
  const std::vector<char> levels = rig.Levels();
  std::copy(levels.begin() + 20010, levels.begin() + 20042, grid.begin() + 20010);  // free running meanwhile
  const long wrong = FirstDifference(levels, grid);
  EXPECT_EQ(wrong, -1) << Where(wrong, levels);
}

// The host bypasses the last 22 frames of a host block: the effect never
// sees them, and the next block starts at offset 0 as if it went on. The
// host's frame count tells the gap, short as it is.
TEST(ChopperSync, FramesTheHostLeavesOutAtABlocksEndAreAJump) {
  const Tempo tempo{44100, 120};
  SyncRig rig(44100, 2);
  rig.Play(20000, {32}, [&](long i) { return Playing(tempo, 0, i); });
  ++rig.block;
  rig.Call(Playing(tempo, 0, 20000), 10, 0);
  rig.Play(20000, {32}, [&](long i) { return Playing(tempo, 0, 20032 + i); });
  std::vector<char> grid = GridLevels(0, NoteQuarters(2, 4) * tempo.FramesPerQuarter(), 44100, 40032);
  grid.erase(grid.begin() + 20010, grid.begin() + 20032);
  const std::vector<char> levels = rig.Levels();
  const long wrong = FirstDifference(levels, grid);
  EXPECT_EQ(wrong, -1) << Where(wrong, levels);
}
