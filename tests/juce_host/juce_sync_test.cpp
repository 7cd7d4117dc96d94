// Tempo sync in an independent host: JUCE's hosting hands the plug-in the
// song position of each block from a playhead, as a DAW's transport does, and
// the chops must follow the song, not the moment playback started.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

#include "hosted_vellox.h"

namespace vellox::juce_host {
namespace {

constexpr int64_t kBar = 88200;       // 4/4 at 120 BPM and 44.1 kHz
constexpr int64_t kCycle = kBar / 8;  // NOTE 1/8

// A playing transport in 4/4 at a steady tempo: `frame` is the song frame of
// the next block, `beatAtZero` the song position of song frame 0.
struct SongPlayHead : juce::AudioPlayHead {
  SongPlayHead(double tempo, double beat) : bpm(tempo), beatAtZero(beat) {}
  double FramesPerBeat() const { return kRate * 60.0 / bpm; }
  juce::Optional<PositionInfo> getPosition() const override {
    double beat = beatAtZero + static_cast<double>(frame) / FramesPerBeat();
    if (tick > 0.0) beat = std::round(beat / tick) * tick;  // a host that counts in ticks
    PositionInfo info;
    info.setBpm(bpm);
    info.setPpqPosition(beat);
    info.setPpqPositionOfLastBarStart(4.0 * std::floor(beat / 4.0));
    info.setTimeInSamples(frame);
    info.setTimeSignature(TimeSignature{4, 4});
    info.setIsPlaying(true);
    return info;
  }
  double bpm, beatAtZero;
  int64_t frame = 0;
  double tick = 0.0;  // rounds the song position to whole ticks (in quarters) when set
};

// SYNC on, NOTE 1/8, the fastest FADE and DRY 0, in 64-bit stereo.
std::unique_ptr<juce::AudioPluginInstance> SyncedInstance(SongPlayHead& head, int block) {
  auto plugin = SongInstance(head, block, {{"SYNC", 1.0f}, {"NOTE", 5.0f / 14.0f}, {"FADE", 1.0f}, {"DRY", 0.0f}});
  if (!plugin) return nullptr;
  auto* note = FindParameter(*plugin, "NOTE");
  EXPECT_TRUE(note && note->getCurrentValueAsText() == "1/8");
  return plugin;
}

using Span = std::pair<int64_t, int64_t>;  // the song frame at the span's first frame, and its length

// Plays the spans one after the other, as a host plays a loop: blocks of
// `block` frames, cut where a span ends. Returns the left output channel.
std::vector<double> Play(juce::AudioPluginInstance& plugin, SongPlayHead& head, const std::vector<Span>& spans,
                         int block) {
  juce::AudioBuffer<double> buffer(2, block);
  juce::MidiBuffer midi;
  std::vector<double> out;
  for (const auto& [songFrame, frames] : spans)
    for (int64_t done = 0; done < frames;) {
      const int count = static_cast<int>(std::min<int64_t>(block, frames - done));
      buffer.setSize(2, count, false, false, true);
      for (int c = 0; c < 2; ++c) juce::FloatVectorOperations::fill(buffer.getWritePointer(c), kLevel, count);
      head.frame = songFrame + done;
      plugin.processBlock(buffer, midi);
      out.insert(out.end(), buffer.getReadPointer(0), buffer.getReadPointer(0) + count);
      done += count;
    }
  return out;
}

// Where the level turns, in frames from `origin`, strictly inside the `length`
// frames after it: +n where it starts to rise (a cycle starts), -n where it
// starts to fall (the off phase starts). The first rise from silence is none.
std::vector<int64_t> Turns(const std::vector<double>& out, int64_t origin, int64_t length) {
  std::vector<int64_t> turns;
  int direction = 0;
  for (int64_t i = 1; i < static_cast<int64_t>(out.size()); ++i) {
    const int step = (out[i] > out[i - 1]) - (out[i] < out[i - 1]);
    if (step == 0 || step == direction) continue;
    if (direction != 0 && i > origin && i < origin + length) turns.push_back(step * (i - origin));
    direction = step;
  }
  return turns;
}

// The turns a NOTE 1/8 grid at `bpm` puts in the frames (0, frames), with the
// song's beat `beatAtZero` at frame 0, each on the frame nearest its exact time.
std::vector<int64_t> Grid(double bpm, double beatAtZero, int64_t frames) {
  const double perBeat = kRate * 60.0 / bpm, offPhase = std::min(0.1 * kRate, 0.25 * perBeat);
  std::vector<int64_t> turns;
  for (double line = std::floor(2.0 * beatAtZero) / 2.0; (line - beatAtZero) * perBeat < frames; line += 0.5) {
    const double start = (line - beatAtZero) * perBeat;
    for (const auto& [at, sign] : {std::pair{start, 1}, std::pair{start + 0.5 * perBeat - offPhase, -1}}) {
      const int64_t frame = std::llround(at);
      if (frame > 0 && frame < frames) turns.push_back(sign * frame);
    }
  }
  return turns;
}

double LargestDifference(const std::vector<double>& a, int64_t aFrom, const std::vector<double>& b, int64_t bFrom,
                         int64_t frames) {
  double worst = 0.0;
  for (int64_t i = 0; i < frames; ++i) worst = std::max(worst, std::fabs(a[aFrom + i] - b[bFrom + i]));
  return worst;
}

// Bars 3-4 alone chop on the frames of the whole song's render, each cycle on
// the frame nearest its grid line: the song's beat 0 lies a fraction of a
// frame before the first frame, so at 90 and 140 BPM the lines fall between frames.
TEST(JuceSync, BarsThreeAndFourAloneChopOnTheFramesOfTheWholeSong) {
  for (const auto& [bpm, beatAtZero] : {std::pair{120.0, 0.0}, {90.0, 0.123456}, {140.0, 0.123456}}) {
    SongPlayHead wholeHead(bpm, beatAtZero), partHead(bpm, beatAtZero);
    auto whole = SyncedInstance(wholeHead, 512);
    auto part = SyncedInstance(partHead, 441);
    ASSERT_TRUE(whole && part);
    const auto bar = static_cast<int64_t>(4.0 * wholeHead.FramesPerBeat()), cycle = bar / 8;
    const std::vector<double> song = Play(*whole, wholeHead, {{0, 4 * bar}}, 512);
    const std::vector<double> bars = Play(*part, partHead, {{2 * bar, 2 * bar}}, 441);
    const std::vector<int64_t> grid = Grid(bpm, beatAtZero + 8.0, 2 * bar), alone = Turns(bars, 0, 2 * bar);
    EXPECT_EQ(Turns(song, 0, 4 * bar), Grid(bpm, beatAtZero, 4 * bar)) << bpm << " BPM";
    EXPECT_EQ(alone, grid) << bpm << " BPM";
    const double worst = LargestDifference(bars, cycle, song, 2 * bar + cycle, 2 * bar - cycle);
    std::cout << bpm << " BPM, bars 3-4 alone: " << alone.size() << " turns; then at most " << worst << " apart\n";
    EXPECT_LE(worst, 1e-12);
  }
}

// Playback starts inside bar 3, off the grid, runs to the end of bar 4 and
// jumps back to bar 3, as a looping host does.
TEST(JuceSync, ALoopFromBarFourBackToBarThreeRepeatsTheSameChops) {
  constexpr int64_t kStart = 12345;  // frames into bar 3: 1320 into its second cycle
  SongPlayHead head(120.0, 0.0);
  auto plugin = SyncedInstance(head, 1000);
  ASSERT_TRUE(plugin);
  const std::vector<double> played =
      Play(*plugin, head, {{2 * kBar + kStart, 2 * kBar - kStart}, {2 * kBar, 2 * kBar}}, 1000);
  const int64_t loop = 2 * kBar - kStart;  // where the second pass begins
  const std::vector<int64_t> again = Turns(played, loop, 2 * kBar);
  EXPECT_EQ(Turns(played, 0, loop), Grid(120.0, (2 * kBar + kStart) / (2.0 * kCycle), loop));
  EXPECT_GT(played[loop], played[loop - 1]) << "the jump back to bar 3 starts a cycle";
  EXPECT_EQ(again, Grid(120.0, 0.0, 2 * kBar));
  const int64_t settled = kStart + kCycle;
  const double worst = LargestDifference(played, loop + settled, played, settled - kStart, 2 * kBar - settled);
  std::cout << "loop: " << again.size() << " turns after the jump back; then at most " << worst << " apart\n";
  EXPECT_LE(worst, 1e-12);
}

// A playhead that rounds the song position to 1/1920 quarter beside the exact
// frame count: at 128 BPM every turn on the frame nearest the exact grid (the
// earlier one on a tie: a cycle of 10335.9375 frames is exact in binary).
TEST(JuceSync, ASongPositionInTicksKeepsEveryTurnOnTheExactGrid) {
  const double cycle = kRate * 30.0 / 128.0, offPhase = std::min(0.1 * kRate, 0.5 * cycle);
  const int64_t frames = 8 * 88200;
  for (int block : {1024, 512})
    for (int64_t start : {int64_t{0}, int64_t{77777}, int64_t{250000}}) {
      SongPlayHead head(128.0, 0.0);
      head.tick = 1.0 / 1920.0;
      auto plugin = SyncedInstance(head, block);
      ASSERT_TRUE(plugin);
      std::vector<int64_t> grid;
      for (auto line = static_cast<int64_t>(start / cycle); line * cycle < start + frames; ++line)
        for (const auto& [at, sign] : {std::pair{line * cycle, 1}, std::pair{(line + 1) * cycle - offPhase, -1}})
          if (const auto frame = static_cast<int64_t>(std::ceil(at - start - 0.5)); frame > 0 && frame < frames)
            grid.push_back(sign * frame);
      EXPECT_EQ(Turns(Play(*plugin, head, {{start, frames}}, block), 0, frames), grid) << block << ", " << start;
    }
}

}  // namespace
}  // namespace vellox::juce_host
