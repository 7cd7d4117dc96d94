#include "wav_samples.h"

#include <cstring>

namespace vellox::cli {

namespace {

// In double, where the scaled value and its half are exact.
inline int32_t Quantize(double sample, double scale) {
  double v = sample * scale;
  v = v == v ? v : 0.0;  // NaN
  v = v > scale - 1.0 ? scale - 1.0 : v;
  v = v < -scale ? -scale : v;
  return static_cast<int32_t>(v + (v >= 0.0 ? 0.5 : -0.5));
}

template <class Sample>
void Encode(const Sample* in, size_t count, SampleEncoding encoding, uint8_t* out) {
  switch (encoding) {
    case SampleEncoding::kPcm16:
      for (size_t i = 0; i < count; ++i) {
        const int32_t q = Quantize(in[i], 32768.0);
        out[2 * i] = static_cast<uint8_t>(q);
        out[2 * i + 1] = static_cast<uint8_t>(q >> 8);
      }
      break;
    case SampleEncoding::kPcm24:
      for (size_t i = 0; i < count; ++i) {
        const int32_t q = Quantize(in[i], 8388608.0);
        out[3 * i] = static_cast<uint8_t>(q);
        out[3 * i + 1] = static_cast<uint8_t>(q >> 8);
        out[3 * i + 2] = static_cast<uint8_t>(q >> 16);
      }
      break;
    case SampleEncoding::kPcm32:
      for (size_t i = 0; i < count; ++i) {
        const auto q = static_cast<uint32_t>(Quantize(in[i], 2147483648.0));
        for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<uint8_t>(q >> (8 * b));
      }
      break;
    case SampleEncoding::kFloat32:
    case SampleEncoding::kVorbis:
      for (size_t i = 0; i < count; ++i) {
        const auto value = static_cast<float>(in[i]);
        uint32_t word;
        std::memcpy(&word, &value, 4);
        for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<uint8_t>(word >> (8 * b));
      }
      break;
  }
}

template <class Sample>
void Decode(const uint8_t* in, size_t count, unsigned formatTag, unsigned bits, Sample* out) {
  if (formatTag == 3 && bits == 32) {
    for (size_t i = 0; i < count; ++i) {
      const uint32_t word = in[4 * i] | in[4 * i + 1] << 8 | in[4 * i + 2] << 16 | uint32_t{in[4 * i + 3]} << 24;
      float value;
      std::memcpy(&value, &word, 4);
      out[i] = static_cast<Sample>(value);
    }
  } else if (formatTag == 3 && bits == 64) {
    for (size_t i = 0; i < count; ++i) {
      uint64_t word = 0;
      for (int b = 7; b >= 0; --b) word = word << 8 | in[8 * i + b];
      double value;
      std::memcpy(&value, &word, 8);
      out[i] = static_cast<Sample>(value);
    }
  } else if (bits == 16) {
    for (size_t i = 0; i < count; ++i)
      out[i] = static_cast<Sample>(static_cast<int16_t>(in[2 * i] | in[2 * i + 1] << 8)) * Sample(1.0 / 32768);
  } else if (bits == 24) {
    for (size_t i = 0; i < count; ++i)
      out[i] = static_cast<Sample>(
                   static_cast<int32_t>(in[3 * i] << 8 | in[3 * i + 1] << 16 | uint32_t{in[3 * i + 2]} << 24) >> 8) *
               Sample(1.0 / 8388608);
  } else {
    for (size_t i = 0; i < count; ++i)
      out[i] = static_cast<Sample>(static_cast<int32_t>(in[4 * i] | in[4 * i + 1] << 8 | in[4 * i + 2] << 16 |
                                                        uint32_t{in[4 * i + 3]} << 24)) *
               Sample(1.0 / 2147483648.0);
  }
}

}  // namespace

void EncodeWavSamples(const float* in, size_t count, SampleEncoding encoding, uint8_t* out) {
  Encode(in, count, encoding, out);
}
void EncodeWavSamples(const double* in, size_t count, SampleEncoding encoding, uint8_t* out) {
  Encode(in, count, encoding, out);
}
void DecodeWavSamples(const uint8_t* in, size_t count, unsigned formatTag, unsigned bits, float* out) {
  Decode(in, count, formatTag, bits, out);
}
void DecodeWavSamples(const uint8_t* in, size_t count, unsigned formatTag, unsigned bits, double* out) {
  Decode(in, count, formatTag, bits, out);
}

}  // namespace vellox::cli
