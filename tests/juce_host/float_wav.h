#pragma once
// Minimal 32-bit float WAV files, written for `vellox render --in` and read
// back from its --out, so the comparison does not rest on the tool's own codec.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vellox::juce_host {

using Planar = std::vector<std::vector<float>>;  // one vector per channel

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline uint32_t GetLe(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(p[i]) << (8 * i);
  return value;
}

inline bool WriteFloatWav(const std::string& path, const Planar& audio, uint32_t rate) {
  const uint32_t channels = static_cast<uint32_t>(audio.size());
  const uint32_t frames = audio.empty() ? 0 : static_cast<uint32_t>(audio[0].size());
  const uint32_t dataBytes = frames * channels * 4;
  std::vector<uint8_t> bytes;
  bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
  PutLe(bytes, 36 + dataBytes, 4);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(bytes, 16, 4);
  PutLe(bytes, 3, 2);  // IEEE float
  PutLe(bytes, channels, 2);
  PutLe(bytes, rate, 4);
  PutLe(bytes, rate * channels * 4, 4);
  PutLe(bytes, channels * 4, 2);
  PutLe(bytes, 32, 2);
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  PutLe(bytes, dataBytes, 4);
  for (uint32_t i = 0; i < frames; ++i)
    for (uint32_t c = 0; c < channels; ++c) {
      uint32_t word;
      std::memcpy(&word, &audio[c][i], 4);
      PutLe(bytes, word, 4);
    }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// Accepts plain and extensible float WAV files with any extra chunks.
inline bool ReadFloatWav(const std::string& path, Planar& audio, uint32_t& rate) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return false;
  uint32_t channels = 0, bits = 0, format = 0;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const uint8_t* chunk = bytes.data() + at;
    const size_t size = GetLe(chunk + 4, 4);
    if (at + 8 + size > bytes.size()) return false;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
      format = GetLe(chunk + 8, 2);
      channels = GetLe(chunk + 10, 2);
      rate = GetLe(chunk + 12, 4);
      bits = GetLe(chunk + 22, 2);
      if (format == 0xFFFE && size >= 40) format = GetLe(chunk + 32, 2);  // sub-format's first word
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (format != 3 || bits != 32 || channels == 0) return false;
      const size_t frames = size / (channels * 4);
      audio.assign(channels, std::vector<float>(frames));
      for (size_t i = 0; i < frames; ++i)
        for (uint32_t c = 0; c < channels; ++c) {
          const uint32_t word = GetLe(chunk + 8 + (i * channels + c) * 4, 4);
          std::memcpy(&audio[c][i], &word, 4);
        }
      return true;
    }
    at += 8 + size + (size & 1);
  }
  return false;
}

}  // namespace vellox::juce_host
