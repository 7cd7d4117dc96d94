#include "wav_samples.h"

#include "wav_io.h"

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
  v = v < scale - F(1) ? v : scale - F(1);  // NaN too, made 0 below
  v = v > -scale ? v : -scale;
  v = sample == sample ? v : F(0);
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

// Quantises a piece of samples into `out`: one loop of arithmetic alone,
// which the compiler vectorises.
template <class F, class Sample>
void QuantizePiece(const Sample* in, size_t count, F scale, int32_t* out) {
  for (size_t i = 0; i < count; ++i) out[i] = Quantize<F>(static_cast<F>(in[i]), scale);
}

template <class Sample>
void Encode(const Sample* in, size_t count, SampleEncoding encoding, uint8_t* out) {
  using F = Narrow<Sample>;
  if (encoding == SampleEncoding::kFloat32 || encoding == SampleEncoding::kVorbis) {
    for (size_t i = 0; i < count; ++i) {
      const auto value = static_cast<float>(in[i]);
      std::memcpy(out + 4 * i, &value, 4);
    }
    return;
  }
  constexpr size_t kPiece = 1024;
  int32_t q[kPiece];
  for (size_t start = 0; start < count; start += kPiece) {
    const size_t n = std::min(kPiece, count - start);
    if (encoding == SampleEncoding::kPcm32)
      QuantizePiece<double>(in + start, n, 2147483648.0, q);
    else
      QuantizePiece<F>(in + start, n, F(encoding == SampleEncoding::kPcm16 ? 32768 : 8388608), q);
    uint8_t* at = out + start * WavBytesPerSample(encoding);
    if (encoding == SampleEncoding::kPcm16) {
      for (size_t i = 0; i < n; ++i) {
        const auto value = static_cast<int16_t>(q[i]);
        std::memcpy(at + 2 * i, &value, 2);
      }
    } else if (encoding == SampleEncoding::kPcm24) {
      // Four bytes at a time; each store's fourth byte is the next sample's
      // first, which the next store writes. The last one is stored alone.
      for (size_t i = 0; i + 1 < n; ++i) std::memcpy(at + 3 * i, &q[i], 4);
      std::memcpy(at + 3 * (n - 1), &q[n - 1], 3);
    } else {
      std::memcpy(at, q, 4 * n);
    }
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
