// The pattern gate in an independent host: JUCE's playhead gives the song
// position, JUCE's MIDI buffer carries note-ons to the event input, and every
// step edge lands on the frame nearest its exact time on both channels.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

#include "hosted_vellox.h"

namespace vellox::juce_host {
namespace {

// GATE, SWING and OFFSET at half their ranges: 52.5 %, 37.5 % and 25 %.
constexpr double kGate = 0.525, kSwing = 0.375, kOffset = 0.25;
constexpr int kSteps = 4;

struct SteadyPlayHead : juce::AudioPlayHead {
  explicit SteadyPlayHead(double tempo) : bpm(tempo) {}
  juce::Optional<PositionInfo> getPosition() const override {
    PositionInfo info;
    info.setBpm(bpm);
    info.setPpqPosition(static_cast<double>(frame) * bpm / (60.0 * kRate));
    info.setTimeInSamples(frame);
    info.setTimeSignature(TimeSignature{4, 4});
    info.setIsPlaying(true);
    return info;
  }
  double bpm;
  int64_t frame = 0;
};

// SYNC on, NOTE 1/2 in four steps, swung, the right channel a step behind,
// restarted by note-ons; the fastest FADE, DRY 0, in 64-bit stereo.
std::unique_ptr<juce::AudioPluginInstance> PatternInstance(SteadyPlayHead& head, int block) {
  auto plugin = SongInstance(head, block,
                             {{"SYNC", 1.0f},
                              {"NOTE", 11.0f / 14.0f},
                              {"FADE", 1.0f},
                              {"DRY", 0.0f},
                              {"PATTERN", 1.0f},
                              {"STEPS", 0.2f},
                              {"GATE", 0.5f},
                              {"SWING", 0.5f},
                              {"OFFSET", 0.5f},
                              {"RETRIG", 1.0f}});
  if (!plugin) return nullptr;
  for (const auto& [name, text] : {std::pair{"NOTE", "1/2"}, {"STEPS", "4"}, {"RETRIG", "MIDI"}}) {
    auto* parameter = FindParameter(*plugin, name);
    EXPECT_TRUE(parameter && parameter->getCurrentValueAsText() == text) << name;
  }
  return plugin;
}

// Plays `frames` from song frame 0 in blocks of `block`, a note-on at each
// of `notes` through the MIDI buffer. Both output channels, one after the other.
std::vector<std::vector<double>> Play(juce::AudioPluginInstance& plugin, SteadyPlayHead& head, int64_t frames,
                                      int block, const std::vector<int64_t>& notes) {
  juce::AudioBuffer<double> buffer(2, block);
  juce::MidiBuffer midi;
  std::vector<std::vector<double>> out(2);
  for (int64_t done = 0; done < frames;) {
    const int count = static_cast<int>(std::min<int64_t>(block, frames - done));
    buffer.setSize(2, count, false, false, true);
    for (int c = 0; c < 2; ++c) juce::FloatVectorOperations::fill(buffer.getWritePointer(c), kLevel, count);
    midi.clear();
    for (int64_t note : notes)
      if (note >= done && note < done + count)
        midi.addEvent(juce::MidiMessage::noteOn(1, 60, static_cast<juce::uint8>(100)), static_cast<int>(note - done));
    head.frame = done;
    plugin.processBlock(buffer, midi);
    for (int c = 0; c < 2; ++c) out[c].insert(out[c].end(), buffer.getReadPointer(c), buffer.getReadPointer(c) + count);
    done += count;
  }
  return out;
}

// Frames where the output starts to rise (+) or fall (-), past `from`.
std::vector<int64_t> Turns(const std::vector<double>& out, int64_t from) {
  std::vector<int64_t> turns;
  int direction = 0;
  for (int64_t i = 1; i < static_cast<int64_t>(out.size()); ++i) {
    const int step = (out[i] > out[i - 1]) - (out[i] < out[i - 1]);
    if (step == 0 || step == direction) continue;
    if (direction != 0 && i > from) turns.push_back(step * i);
    direction = step;
  }
  return turns;
}

// The edges of cycles `length` long whose lines lie at `line` + k lengths,
// within [from, to): each step opens at (k + swing if k is odd) steps and
// closes GATE of its length later, on the frame nearest the exact time. The
// level the cycles stand at on `from` counts as an edge there.
void Edges(double line, double length, int64_t from, int64_t to, std::vector<std::pair<int64_t, int>>& edges) {
  const auto start = [](int k) { return k + (k % 2 == 1 && k < kSteps ? kSwing : 0.0); };
  const double step = length / kSteps;
  std::vector<std::pair<int64_t, int>> all;
  for (double at = line + std::floor((from - line) / length - 1.0) * length; at < to; at += length)
    for (int k = 0; k < kSteps; ++k)
      for (const auto& [time, sign] : {std::pair{start(k), 1}, {start(k) + kGate * (start(k + 1) - start(k)), -1}})
        all.push_back({static_cast<int64_t>(std::ceil(at + time * step - 0.5)), sign});
  int standing = 0;
  for (const auto& [frame, sign] : all)
    if (frame <= from) standing = sign;
  if (standing != 0) edges.push_back({from, standing});
  for (const auto& edge : all)
    if (edge.first > from && edge.first < to) edges.push_back(edge);
}

// The turns of a channel running `behind` frames late, restarted at each note.
std::vector<int64_t> Expected(double length, double behind, const std::vector<int64_t>& notes, int64_t frames,
                              int64_t from) {
  std::vector<std::pair<int64_t, int>> edges;
  std::vector<int64_t> starts = {0};
  starts.insert(starts.end(), notes.begin(), notes.end());
  starts.push_back(frames);
  for (size_t i = 0; i + 1 < starts.size(); ++i)
    Edges(static_cast<double>(starts[i]) + behind, length, starts[i], starts[i + 1], edges);
  std::vector<int64_t> turns;
  int direction = 0;
  for (const auto& [frame, sign] : edges) {
    if (sign == direction) continue;  // a restart that keeps the level's direction turns nothing
    direction = sign;
    if (frame > from) turns.push_back(sign * frame);
  }
  return turns;
}

// At three tempi, in blocks of three sizes, with note-ons between lines:
// both channels turn on the exact frames and every block size gives the same bits.
TEST(JucePattern, SwungOffsetAndRetriggeredEdgesOnTheirExactFrames) {
  for (double bpm : {120.0, 97.0, 140.0}) {
    const double length = 2.0 * kRate * 60.0 / bpm;  // NOTE 1/2
    const auto frames = static_cast<int64_t>(6.3 * length);
    const std::vector<int64_t> notes = {static_cast<int64_t>(2.41 * length), static_cast<int64_t>(4.07 * length) + 3};
    std::vector<std::vector<double>> first;
    for (int block : {512, 441, 1024}) {
      SteadyPlayHead head(bpm);
      auto plugin = PatternInstance(head, block);
      ASSERT_TRUE(plugin);
      const auto out = Play(*plugin, head, frames, block, notes);
      const auto from = static_cast<int64_t>(length);
      EXPECT_EQ(Turns(out[0], from), Expected(length, 0.0, notes, frames, from)) << bpm << " BPM, left";
      EXPECT_EQ(Turns(out[1], from), Expected(length, kOffset * length, notes, frames, from)) << bpm << " BPM, right";
      if (first.empty()) first = out;
      EXPECT_TRUE(out == first) << bpm << " BPM: blocks of " << block << " differ from blocks of 512";
    }
    std::cout << bpm << " BPM: " << Turns(first[0], 0).size() << " + " << Turns(first[1], 0).size()
              << " turns on their frames, notes at " << notes[0] << " and " << notes[1] << "\n";
  }
}

}  // namespace
}  // namespace vellox::juce_host
