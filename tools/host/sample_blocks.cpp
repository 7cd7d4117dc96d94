#include "sample_blocks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vellox::cli {

void MeasureLevels(const float* samples, size_t count, Levels& levels) {
  // A float's magnitude bits order as its value does, so integer compares
  // (which vectorise, unlike float ones under strict rules) find the peak and
  // the overs. Bits above infinity's are NaN, which counts as silence.
  constexpr int32_t kInfinity = 0x7F800000, kOne = 0x3F800000;
  int32_t peak = 0, overs = 0;
  for (size_t i = 0; i < count; ++i) {
    int32_t bits;
    std::memcpy(&bits, samples + i, sizeof bits);
    bits &= 0x7FFFFFFF;
    bits = bits > kInfinity ? 0 : bits;
    peak = bits > peak ? bits : peak;
    overs += bits > kOne;
  }
  float value;
  std::memcpy(&value, &peak, sizeof value);
  levels.peak = std::max(levels.peak, static_cast<double>(value));
  levels.overs += overs;
}

void MeasureLevels(const double* samples, size_t count, Levels& levels) {
  // Four running peaks, so that the comparisons do not wait on each other.
  double peak[4] = {};
  int64_t overs = 0;
  size_t i = 0;
  for (; i + 4 <= count; i += 4)
    for (size_t k = 0; k < 4; ++k) {
      const double magnitude = std::fabs(samples[i + k]);
      peak[k] = magnitude > peak[k] ? magnitude : peak[k];
      overs += magnitude > 1.0;
    }
  for (; i < count; ++i) {
    const double magnitude = std::fabs(samples[i]);
    peak[0] = magnitude > peak[0] ? magnitude : peak[0];
    overs += magnitude > 1.0;
  }
  levels.peak = std::max({levels.peak, peak[0], peak[1], peak[2], peak[3]});
  levels.overs += overs;
}

}  // namespace vellox::cli
