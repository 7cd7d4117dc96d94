// The cycle the editor draws against the audio the engine makes: away from
// the edges, where the smoother has settled, the drawn target is the gain
// every frame gets, for straight, swung, short and dipped settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ChopperState.h"
#include "VelloxCycleCurve.h"
#include "VelloxParams.h"

namespace {

constexpr double kRate = 48000.0;

struct Case {
  bool pattern;
  int steps;
  double gate, swing, dry;  // GATE and SWING in percent
  double levels[4];         // repeated over the steps
};

ChopperState StateFor(const Case& c) {
  ChopperState s;
  ChopperApplyParam(s, kVelloxFade, 50.0);
  ChopperApplyParam(s, kVelloxChop, 1.0);
  ChopperApplyParam(s, kVelloxDry, c.dry);
  ChopperApplyParam(s, kVelloxPattern, c.pattern ? 1.0 : 0.0);
  ChopperApplyParam(s, kVelloxSteps, c.steps);
  ChopperApplyParam(s, kVelloxGate, c.gate);
  ChopperApplyParam(s, kVelloxSwing, c.swing);
  for (int k = 0; k < kVelloxMaxSteps; ++k) ChopperApplyParam(s, kVelloxStep1 + k, c.levels[k % 4]);
  return s;
}

TEST(CycleCurve, TheDrawnTargetIsTheGainTheAudioSettlesAt) {
  const Case cases[] = {
      {true, 8, 50, 0, 0.0, {1, 1, 1, 1}},      {true, 16, 30, 40, 0.2, {1, 0.5, 0, 0.75}},
      {true, 5, 90, 75, 0.1, {0.3, 1, 0.6, 0}}, {true, 1, 5, 0, 0.0, {1, 1, 1, 1}},
      {false, 8, 50, 0, 0.25, {1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "steps " << c.steps << ", gate " << c.gate << ", swing " << c.swing
                                    << (c.pattern ? "" : ", no pattern"));
    ChopperState state = StateFor(c);
    const double seconds = VelloxCycleSeconds(state.settings, 120.0);
    const int length = int(std::lround(seconds * kRate));
    // Two cycles to settle, the third is compared; the free cycle without the
    // pattern starts 0.1 s into its clock.
    const int frames = 3 * length + (c.pattern ? 0 : int(0.1 * kRate));
    std::vector<double> ones(frames, 1.0), left(frames), right(frames);
    double* in[] = {ones.data(), ones.data()};
    double* out[] = {left.data(), right.data()};
    ChopperProcess(state, kRate, false, in, out, frames);
    const int first = frames - length;
    // Seconds kept from every edge, around the cycle's end too: the smoother settles in far less.
    const double margin = 0.02;
    int compared = 0;
    for (int i = 0; i < 1000; ++i) {
      const double phase = (i + 0.5) / 1000.0;
      const double target = VelloxCycleTarget(state.settings, seconds, phase);
      bool settled = true;
      for (int k = -40; k <= 40 && settled; ++k)
        settled = VelloxCycleTarget(state.settings, seconds,
                                    std::fmod(phase + k * margin / 40.0 / seconds + 1.0, 1.0)) == target;
      if (!settled) continue;
      const int frame = first + int(phase * length);
      EXPECT_NEAR(left[frame], target, 1e-3) << "at phase " << phase;
      ++compared;
    }
    EXPECT_GT(compared, 300);
  }
}

// The curve drawn: the settled smoothing of the targets, within the levels.
TEST(CycleCurve, TheCurveSettlesOnTheTargetsAndRepeats) {
  ChopperState state = StateFor({true, 4, 50, 0, 0.0, {1, 0, 1, 0.5}});
  std::vector<float> curve(400);
  VelloxCycleCurve(state.settings, 1.0, curve.data(), 400);
  // Steps of a quarter cycle, each open for its first half: a fast FADE
  // reaches every level within its half.
  EXPECT_NEAR(curve[45], 1.0f, 1e-3f);
  EXPECT_NEAR(curve[95], 0.0f, 1e-3f);
  EXPECT_NEAR(curve[145], 0.0f, 1e-3f);
  EXPECT_NEAR(curve[245], 1.0f, 1e-3f);
  EXPECT_NEAR(curve[345], 0.5f, 1e-3f);
  // A slow FADE never reaches them, but the cycle still starts where it ends.
  ChopperApplyParam(state, kVelloxFade, 5.0);
  VelloxCycleCurve(state.settings, 0.22, curve.data(), 400);
  EXPECT_LT(*std::max_element(curve.begin(), curve.end()), 0.99f);
  EXPECT_NEAR(curve.front(), curve.back(), 0.05f);
}

}  // namespace
