#pragma once
// The render loop's per-sample work, written so the compiler can vectorise
// it: interleaved chunks to planar blocks and back, and the peak and the
// count of samples beyond full scale.
#include <cstddef>
#include <cstdint>

namespace vellox::cli {

template <class Sample>
void Deinterleave(const Sample* in, size_t frames, size_t channels, Sample* const* planar) {
  if (channels == 1) {
    for (size_t i = 0; i < frames; ++i) planar[0][i] = in[i];
  } else if (channels == 2) {
    Sample* left = planar[0];
    Sample* right = planar[1];
    for (size_t i = 0; i < frames; ++i) {
      left[i] = in[2 * i];
      right[i] = in[2 * i + 1];
    }
  } else {
    for (size_t c = 0; c < channels; ++c)
      for (size_t i = 0; i < frames; ++i) planar[c][i] = in[i * channels + c];
  }
}

template <class Sample>
void Interleave(const Sample* const* planar, size_t frames, size_t channels, Sample* out) {
  if (channels == 1) {
    for (size_t i = 0; i < frames; ++i) out[i] = planar[0][i];
  } else if (channels == 2) {
    const Sample* left = planar[0];
    const Sample* right = planar[1];
    for (size_t i = 0; i < frames; ++i) {
      out[2 * i] = left[i];
      out[2 * i + 1] = right[i];
    }
  } else {
    for (size_t c = 0; c < channels; ++c)
      for (size_t i = 0; i < frames; ++i) out[i * channels + c] = planar[c][i];
  }
}

// The largest magnitude (NaN ignored) and how many samples lie beyond
// full scale, accumulated over calls.
struct Levels {
  double peak = 0.0;
  int64_t overs = 0;
};
void MeasureLevels(const float* samples, size_t count, Levels& levels);
void MeasureLevels(const double* samples, size_t count, Levels& levels);

}  // namespace vellox::cli
