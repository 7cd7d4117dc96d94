#include "sample_blocks.h"

#include <algorithm>
#include <cstring>

namespace vellox::cli {

namespace {

// An IEEE magnitude's bits order as its value does, so integer compares (which
// vectorise without relaxed float rules) find the peak and the overs.
template <class Sample, class Bits>
void Measure(const Sample* samples, size_t count, Levels& levels, Bits infinity, Bits one) {
  const Bits magnitude = ~(Bits(1) << (sizeof(Bits) * 8 - 1));  // all but the sign
  Bits peak = 0;
  Bits overs = 0;
  for (size_t i = 0; i < count; ++i) {
    Bits bits;
    std::memcpy(&bits, samples + i, sizeof bits);
    bits &= magnitude;
    bits = bits > infinity ? 0 : bits;  // NaN
    peak = std::max(peak, bits);
    overs += bits > one;
  }
  Sample value;
  std::memcpy(&value, &peak, sizeof value);
  levels.peak = std::max(levels.peak, static_cast<double>(value));
  levels.overs += static_cast<int64_t>(overs);
}

}  // namespace

void MeasureLevels(const float* samples, size_t count, Levels& levels) {
  Measure<float, uint32_t>(samples, count, levels, 0x7F800000u, 0x3F800000u);
}

void MeasureLevels(const double* samples, size_t count, Levels& levels) {
  Measure<double, uint64_t>(samples, count, levels, 0x7FF0000000000000ull, 0x3FF0000000000000ull);
}

}  // namespace vellox::cli
