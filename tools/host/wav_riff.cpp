#include <cmath>
#include <cstring>

#include "wav_io.h"

namespace vellox::cli {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Put64(std::vector<uint8_t>& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v));
  Put32(out, static_cast<uint32_t>(v >> 32));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }
uint64_t Get64(const uint8_t* p) { return Get32(p) | static_cast<uint64_t>(Get32(p + 4)) << 32; }

void PutFormat(std::vector<uint8_t>& out, double sampleRate, unsigned channels, SampleEncoding encoding) {
  const bool isFloat = encoding == SampleEncoding::kFloat32 || encoding == SampleEncoding::kVorbis;
  const uint32_t bytesPerSample = WavBytesPerSample(encoding);
  const auto rate = static_cast<uint32_t>(std::lround(sampleRate));
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, isFloat ? kFormatFloat : kFormatPcm);
  Put16(out, channels);
  Put32(out, rate);
  Put32(out, rate * channels * bytesPerSample);
  Put16(out, channels * bytesPerSample);
  Put16(out, bytesPerSample * 8);
}

}  // namespace

double DecodeWavSample(const uint8_t* p, unsigned format, unsigned bits) {
  if (format == kFormatFloat && bits == 32) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
  }
  if (format == kFormatFloat && bits == 64) {
    double d;
    std::memcpy(&d, p, 8);
    return d;
  }
  if (bits == 16) return static_cast<int16_t>(Get16(p)) / 32768.0;
  if (bits == 24) {
    int32_t v = static_cast<int32_t>((p[0] << 8) | (p[1] << 16) | (static_cast<uint32_t>(p[2]) << 24)) >> 8;
    return v / 8388608.0;
  }
  return static_cast<int32_t>(Get32(p)) / 2147483648.0;
}

namespace {

// Two's complement bits of `sample` at `bits` resolution, clipped to full
// scale, halves rounded away from zero.
uint32_t Quantize(double sample, uint32_t bits) {
  const double scale = std::ldexp(1.0, static_cast<int>(bits) - 1);
  const double v = std::fmin(std::fmax((std::isnan(sample) ? 0.0 : sample) * scale, -scale), scale - 1.0);
  return static_cast<uint32_t>(static_cast<int64_t>(std::round(v)));
}

}  // namespace

unsigned WavBytesPerSample(SampleEncoding encoding) {
  return encoding == SampleEncoding::kPcm16 ? 2 : encoding == SampleEncoding::kPcm24 ? 3 : 4;
}

std::vector<uint8_t> WavHeader(double sampleRate, unsigned channels, SampleEncoding encoding, uint32_t dataBytes) {
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes + (dataBytes & 1));
  PutTag(out, "WAVE");
  PutFormat(out, sampleRate, channels, encoding);
  PutTag(out, "data");
  Put32(out, dataBytes);
  return out;
}

std::vector<uint8_t> GrowableWavHeader(double sampleRate, unsigned channels, SampleEncoding encoding,
                                       uint64_t dataBytes, uint64_t wavLimit) {
  constexpr uint32_t kDs64Bytes = 28;
  const uint64_t fileBytes = kGrowableWavHeaderBytes + dataBytes + (dataBytes & 1);
  const bool rf64 = dataBytes > wavLimit;
  std::vector<uint8_t> out;
  PutTag(out, rf64 ? "RF64" : "RIFF");
  Put32(out, rf64 ? 0xFFFFFFFFu : static_cast<uint32_t>(fileBytes - 8));
  PutTag(out, "WAVE");
  PutTag(out, rf64 ? "ds64" : "JUNK");
  Put32(out, kDs64Bytes);
  const uint32_t frameBytes = channels * WavBytesPerSample(encoding);
  Put64(out, rf64 ? fileBytes - 8 : 0);
  Put64(out, rf64 ? dataBytes : 0);
  Put64(out, rf64 && frameBytes ? dataBytes / frameBytes : 0);
  Put32(out, 0);  // no table of further sizes
  PutFormat(out, sampleRate, channels, encoding);
  PutTag(out, "data");
  Put32(out, rf64 ? 0xFFFFFFFFu : static_cast<uint32_t>(dataBytes));
  return out;
}

void EncodeWavSample(double sample, SampleEncoding encoding, uint8_t* out) {
  const unsigned bytes = WavBytesPerSample(encoding);
  uint32_t word;
  if (encoding == SampleEncoding::kFloat32 || encoding == SampleEncoding::kVorbis) {
    const auto value = static_cast<float>(sample);
    std::memcpy(&word, &value, 4);
  } else {
    word = Quantize(sample, bytes * 8);
  }
  for (unsigned b = 0; b < bytes; ++b) out[b] = static_cast<uint8_t>(word >> (8 * b));
}

std::vector<uint8_t> EncodeWav(const AudioData& audio, SampleEncoding encoding) {
  const uint32_t bytesPerSample = WavBytesPerSample(encoding);
  const auto channels = static_cast<uint32_t>(audio.channels.size());
  const auto frames = static_cast<uint32_t>(audio.Frames());
  const uint32_t dataBytes = frames * channels * bytesPerSample;
  std::vector<uint8_t> out = WavHeader(audio.sampleRate, channels, encoding, dataBytes);
  out.resize(44 + dataBytes + (dataBytes & 1));  // chunks are padded to an even size
  uint8_t* at = out.data() + 44;
  for (uint32_t i = 0; i < frames; ++i)
    for (const auto& channel : audio.channels) {
      EncodeWavSample(channel[i], encoding, at);
      at += bytesPerSample;
    }
  return out;
}

bool DecodeWav(const std::vector<uint8_t>& bytes, AudioData& audio, std::string& error) {
  if (bytes.size() < 12 || (std::memcmp(bytes.data(), "RIFF", 4) != 0 && std::memcmp(bytes.data(), "RF64", 4) != 0) ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = "not a WAV file";
    return false;
  }
  uint16_t format = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  const uint8_t* data = nullptr;
  size_t dataSize = 0;
  uint64_t rf64DataSize = UINT64_MAX;
  size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    const uint8_t* chunk = bytes.data() + pos;
    const size_t size = Get32(chunk + 4);
    const size_t available = bytes.size() - pos - 8;
    if (std::memcmp(chunk, "ds64", 4) == 0 && size >= 16 && size <= available) {
      rf64DataSize = Get64(chunk + 16);
    } else if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16 && size <= available) {
      format = static_cast<uint16_t>(Get16(chunk + 8));
      channels = static_cast<uint16_t>(Get16(chunk + 10));
      rate = Get32(chunk + 12);
      bits = static_cast<uint16_t>(Get16(chunk + 22));
      if (format == kFormatExtensible && size >= 26) format = static_cast<uint16_t>(Get16(chunk + 32));
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      data = chunk + 8;
      // RF64 keeps the size in ds64; 0 and 0xFFFFFFFF alone mean a file
      // written as a stream, whose data runs to the end.
      const uint64_t claimed = size == 0xFFFFFFFFu && rf64DataSize != UINT64_MAX ? rf64DataSize
                               : size == 0 || size == 0xFFFFFFFFu                ? UINT64_MAX
                                                                                 : size;
      dataSize =
          claimed < available ? static_cast<size_t>(claimed) : available;  // a truncated file keeps what it holds
      break;
    }
    pos += 8 + size + (size & 1);
  }
  const bool pcm = format == kFormatPcm && (bits == 16 || bits == 24 || bits == 32);
  const bool flt = format == kFormatFloat && (bits == 32 || bits == 64);
  if (!data || channels == 0 || rate == 0 || !(pcm || flt)) {
    error = data ? "unsupported WAV sample format" : "WAV file has no audio data";
    return false;
  }
  const size_t frameBytes = static_cast<size_t>(channels) * (bits / 8);
  const size_t frames = dataSize / frameBytes;
  audio.sampleRate = rate;
  audio.channels.assign(channels, std::vector<double>(frames));
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < channels; ++c)
      audio.channels[c][i] = DecodeWavSample(data + i * frameBytes + c * (bits / 8), format, bits);
  return true;
}

}  // namespace vellox::cli
