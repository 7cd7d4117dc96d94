#include "wav_samples.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace vellox::cli {

// WAV data is little-endian, as the machines the tool runs on are.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);

namespace {

// Branch-free, so that it costs the same on noise as on silence. In float for
// float samples at 16 and 24 bits (scaling is exact there and so is the
// fraction after truncation), in double otherwise.
template <class F>
inline int32_t Quantize(F sample, F scale) {
  F v = sample * scale;
  v = v == v ? v : F(0);  // NaN
  v = std::min(v, scale - F(1));
  v = std::max(v, -scale);
  const auto whole = static_cast<int32_t>(v);
  const F fraction = v - static_cast<F>(whole);
  return whole + (fraction >= F(0.5)) - (fraction <= F(-0.5));
}

template <class Sample>
using Narrow = std::conditional_t<std::is_same_v<Sample, float>, float, double>;

inline uint32_t Load32(const uint8_t* p) {
  uint32_t word;
  std::memcpy(&word, p, 4);
  return word;  // the file's byte order, which is this machine's
}

template <class Sample>
void Encode(const Sample* in, size_t count, SampleEncoding encoding, uint8_t* out) {
  using F = Narrow<Sample>;
  switch (encoding) {
    case SampleEncoding::kPcm16:
      for (size_t i = 0; i < count; ++i) {
        const auto q = static_cast<int16_t>(Quantize<F>(static_cast<F>(in[i]), F(32768)));
        std::memcpy(out + 2 * i, &q, 2);
      }
      break;
    case SampleEncoding::kPcm24:
      // Four bytes at a time; each store's fourth byte is the next sample's
      // first, which the next store writes. The last sample is stored alone.
      for (size_t i = 0; i + 1 < count; ++i) {
        const auto q = static_cast<uint32_t>(Quantize<F>(static_cast<F>(in[i]), F(8388608)));
        std::memcpy(out + 3 * i, &q, 4);
      }
      if (count > 0) {
        const auto q = static_cast<uint32_t>(Quantize<F>(static_cast<F>(in[count - 1]), F(8388608)));
        std::memcpy(out + 3 * (count - 1), &q, 3);
      }
      break;
    case SampleEncoding::kPcm32:
      for (size_t i = 0; i < count; ++i) {
        const int32_t q = Quantize<double>(in[i], 2147483648.0);
        std::memcpy(out + 4 * i, &q, 4);
      }
      break;
    case SampleEncoding::kFloat32:
    case SampleEncoding::kVorbis:
      for (size_t i = 0; i < count; ++i) {
        const auto value = static_cast<float>(in[i]);
        std::memcpy(out + 4 * i, &value, 4);
      }
      break;
  }
}

template <class Sample>
void Decode(const uint8_t* in, size_t count, unsigned formatTag, unsigned bits, Sample* out) {
  if (formatTag == 3 && bits == 32) {
    for (size_t i = 0; i < count; ++i) {
      float value;
      std::memcpy(&value, in + 4 * i, 4);
      out[i] = static_cast<Sample>(value);
    }
  } else if (formatTag == 3 && bits == 64) {
    for (size_t i = 0; i < count; ++i) {
      double value;
      std::memcpy(&value, in + 8 * i, 8);
      out[i] = static_cast<Sample>(value);
    }
  } else if (bits == 16) {
    for (size_t i = 0; i < count; ++i) {
      int16_t value;
      std::memcpy(&value, in + 2 * i, 2);
      out[i] = static_cast<Sample>(value) * Sample(1.0 / 32768);
    }
  } else if (bits == 24) {
    // Four bytes at a time, the fourth (the next sample's) shifted out.
    for (size_t i = 0; i + 1 < count; ++i)
      out[i] = static_cast<Sample>(static_cast<int32_t>(Load32(in + 3 * i) << 8) >> 8) * Sample(1.0 / 8388608);
    if (count > 0) {
      const uint8_t* p = in + 3 * (count - 1);
      const auto value = static_cast<int32_t>(p[0] << 8 | p[1] << 16 | uint32_t{p[2]} << 24) >> 8;
      out[count - 1] = static_cast<Sample>(value) * Sample(1.0 / 8388608);
    }
  } else {
    for (size_t i = 0; i < count; ++i)
      out[i] = static_cast<Sample>(static_cast<int32_t>(Load32(in + 4 * i))) * Sample(1.0 / 2147483648.0);
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
