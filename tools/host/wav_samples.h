#pragma once
// Interleaved samples to and from a WAV file's little-endian data bytes, a
// whole buffer at a time in loops the compiler vectorises. The same values
// as EncodeWavSample and DecodeWavSample give one sample at a time.
#include <cstddef>
#include <cstdint>

#include "audio_format.h"

namespace vellox::cli {

// Integer encodings clip to full scale and round to nearest (halves away from
// zero); NaN becomes 0.
void EncodeWavSamples(const float* in, size_t count, SampleEncoding encoding, uint8_t* out);
void EncodeWavSamples(const double* in, size_t count, SampleEncoding encoding, uint8_t* out);
// `formatTag` 1 (PCM, 16, 24 or 32 bits) or 3 (float, 32 or 64 bits).
void DecodeWavSamples(const uint8_t* in, size_t count, unsigned formatTag, unsigned bits, float* out);
void DecodeWavSamples(const uint8_t* in, size_t count, unsigned formatTag, unsigned bits, double* out);

}  // namespace vellox::cli
