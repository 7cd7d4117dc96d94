// The synced cycle through the adapter: the chops belong to the song
// position, whatever the host's blocks, start point, loops or tempo. Absurd
// tempi are left to the process fuzzing.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "EffectRig.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr double kRate = 48000.0;  // a cycle at 140 BPM is no whole number of frames

struct Segment {
  long songFrame, frames;  // song position of the first frame, in frames at the tempo
  bool withContext;
};

// Renders a constant input of 1 in host blocks of blockSize frames (0:
// random sizes); NOTE changes to 1/8T at song frame noteChange by a queue
// point at its offset. Returns channel 0.
std::vector<double> Render(double tempo, const std::vector<Segment>& segments, int blockSize, long noteChange = -1) {
  EffectRig rig;
  rig.Setup(kSample64, 4096, kRate);
  std::mt19937 random(7);
  bool first = true;
  std::vector<double> out;
  for (const Segment& segment : segments)
    for (long done = 0; done < segment.frames;) {
      const int n = static_cast<int>(std::min<long>(
          blockSize > 0 ? blockSize : std::uniform_int_distribution<int>(1, 4096)(random), segment.frames - done));
      const long song = segment.songFrame + done;
      ProcessContext context{};
      context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kProjectTimeMusicValid;
      context.tempo = tempo;
      context.projectTimeMusic = static_cast<double>(song) * tempo / (60.0 * kRate);
      FakeParamChanges changes;
      if (first)  // FADE 50 Hz, SYNC on, NOTE 1/8
        for (auto [id, value] : {std::pair<ParamID, double>{0, 1.0}, {5, 1.0}, {6, 5.0 / 14.0}})
          changes.Add(id, {{0, value}});
      first = false;
      if (noteChange >= song && noteChange < song + n)
        changes.Add(6, {{static_cast<int32>(noteChange - song), 3.0 / 14.0}});
      HostBus<double> in(2, n, 1.0), bus(2, n);
      ProcessData data = MakeProcessData(kSample64, n, &in.buffers, 1, &bus.buffers, 1);
      data.processContext = segment.withContext ? &context : nullptr;
      data.inputParameterChanges = &changes;
      EXPECT_EQ(rig.Process(data), kResultOk);
      out.insert(out.end(), bus.samples[0].begin(), bus.samples[0].end());
      done += n;
    }
  return out;
}

// Song frames where the level turns: the output rises at a cycle's start and
// falls where the chopped phase begins. Before the first frame, silence.
std::vector<long> Turns(const std::vector<double>& out, long firstSongFrame) {
  std::vector<long> turns;
  int way = -1;
  for (size_t i = 0; i < out.size(); ++i) {
    const double before = i > 0 ? out[i - 1] : 0.0;
    const int now = (out[i] > before) - (out[i] < before);
    if (now != 0 && now != way) turns.push_back(firstSongFrame + static_cast<long>(i));
    if (now != 0) way = now;
  }
  return turns;
}

// Each start of a 1/8 cycle or its chopped phase: the frame nearest the time.
std::vector<long> GridTurns(double tempo, long from, long to) {
  const double cycle = 0.5 * 60.0 * kRate / tempo;
  const double chopped = std::min(0.1 * kRate, cycle / 2);
  std::vector<long> turns;
  for (long n = 0; n * cycle - 0.5 < to; ++n)
    for (double t : {n * cycle - chopped, n * cycle}) {
      const long frame = static_cast<long>(std::ceil(t - 0.5));
      if (frame >= from && frame < to) turns.push_back(frame);
    }
  return turns;
}

}  // namespace

TEST(TempoSync, ChopsBelongToTheSongPosition) {
  for (double tempo : {90.0, 120.0, 140.0}) {
    SCOPED_TRACE(tempo);
    const long bar = std::lround(4 * 60.0 * kRate / tempo);
    const long length = 4 * bar;  // bars 1-4
    const std::vector<double> whole = Render(tempo, {{0, length, true}}, 4096);
    const std::vector<long> turns = Turns(whole, 0);
    EXPECT_EQ(turns, GridTurns(tempo, 0, length));

    // Any partition, with a NOTE point inside, gives the same bits.
    const std::vector<double> noted = Render(tempo, {{0, length, true}}, 4096, 3 * bar + 777);
    for (int blockSize : {1, 37, 512, 0})
      EXPECT_EQ(Render(tempo, {{0, length, true}}, blockSize, 3 * bar + 777), noted);

    // From bar 3, from any frame, or looping from bar 4 back to bar 3: the
    // same turns, and once the smoother has settled the same samples.
    auto expectSameFrom = [&](long start, const std::vector<double>& later) {
      std::vector<long> expected;
      for (long t : turns)
        if (t >= start && t < start + static_cast<long>(later.size())) expected.push_back(t);
      std::vector<long> seen = Turns(later, start);
      if (seen.front() == start && expected.front() != start) seen.erase(seen.begin());  // a fade in mid-phase
      EXPECT_EQ(seen, expected) << start;
      for (long song = expected[1]; song - start < static_cast<long>(later.size()); ++song)
        ASSERT_NEAR(whole[song], later[song - start], 1e-12) << "song frame " << song;
    };
    for (long start : {2 * bar, bar + 12345})
      expectSameFrom(start, Render(tempo, {{start, length - start, true}}, 512));
    const std::vector<double> looped = Render(tempo, {{2 * bar, 2 * bar, true}, {2 * bar, 2 * bar, true}}, 1000);
    expectSameFrom(2 * bar, std::vector<double>(looped.begin() + 2 * bar, looped.end()));
    // Blocks without a song position run on at the last tempo.
    EXPECT_EQ(Render(tempo, {{0, bar, true}, {bar, 3 * bar, false}}, 4096), whole);
  }
}
