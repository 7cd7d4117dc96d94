#include "demo_signal.h"

#include <cmath>

namespace vellox::cli {
namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Bar {
  double chord[3];  // Hz, spread across the stereo field
  double bass[2];   // Hz, two notes per bar
};

// Am - F - C - G, one bar per second.
constexpr Bar kBars[] = {
    {{220.00, 261.63, 329.63}, {110.00, 82.41}},
    {{174.61, 220.00, 261.63}, {87.31, 130.81}},
    {{261.63, 329.63, 392.00}, {130.81, 98.00}},
    {{196.00, 246.94, 293.66}, {98.00, 123.47}},
};

// A soft tone with a few harmonics.
double Voice(double hz, double t) {
  const double p = kTwoPi * hz * t;
  return std::sin(p) + 0.35 * std::sin(2 * p) + 0.15 * std::sin(3 * p);
}

// Short attack, exponential decay, released before the next note.
double Envelope(double t, double length) {
  const double attack = std::fmin(1.0, t / 0.01);
  const double release = std::fmin(1.0, (length - t) / 0.02);
  return attack * std::fmax(0.0, release) * std::exp(-1.5 * t);
}

}  // namespace

AudioData MakeDemoSignal(double sampleRate) {
  AudioData audio;
  audio.sampleRate = sampleRate;
  const auto frames = static_cast<size_t>(std::lround(kDemoSeconds * sampleRate));
  audio.channels.assign(2, std::vector<double>(frames));
  constexpr double kPan[3] = {0.25, 0.5, 0.75};  // share of each chord voice on the right
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    const auto bar = static_cast<size_t>(t) % (sizeof kBars / sizeof kBars[0]);
    const double inBar = t - std::floor(t);
    double left = 0.0;
    double right = 0.0;
    for (int v = 0; v < 3; ++v) {
      const double s = 0.12 * Envelope(inBar, 1.0) * Voice(kBars[bar].chord[v], t);
      left += (1.0 - kPan[v]) * s * 2.0;
      right += kPan[v] * s * 2.0;
    }
    const double half = inBar < 0.5 ? inBar : inBar - 0.5;
    const double bass = 0.25 * Envelope(half, 0.5) * Voice(kBars[bar].bass[inBar < 0.5 ? 0 : 1], t);
    audio.channels[0][i] = left + bass;
    audio.channels[1][i] = right + bass;
  }
  return audio;
}

}  // namespace vellox::cli
