#include "audio_stream.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vellox::cli {

namespace {

class InMemoryReader : public AudioReader {
public:
  explicit InMemoryReader(AudioData audio) : mAudio(std::move(audio)) {
    mInfo.sampleRate = mAudio.sampleRate;
    mInfo.channels = static_cast<int>(mAudio.channels.size());
    mInfo.claimedFrames = static_cast<int64_t>(mAudio.Frames());
  }
  int64_t Read(float* out, int64_t frames) override { return Copy(out, frames); }
  int64_t Read(double* out, int64_t frames) override { return Copy(out, frames); }

private:
  template <class Sample>
  int64_t Copy(Sample* out, int64_t frames) {
    const size_t count = std::min(static_cast<size_t>(frames), mAudio.Frames() - mPosition);
    const size_t channels = mAudio.channels.size();
    for (size_t i = 0; i < count; ++i)
      for (size_t c = 0; c < channels; ++c)
        out[i * channels + c] = static_cast<Sample>(mAudio.channels[c][mPosition + i]);
    mPosition += count;
    return static_cast<int64_t>(count);
  }
  AudioData mAudio;
  size_t mPosition = 0;
};

uint32_t Little32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t Little16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Big32(const uint8_t* p) { return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
uint16_t Big16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// The 80-bit extended float AIFF stores its rate in.
double Extended80(const uint8_t* p) {
  const int exponent = ((p[0] & 0x7F) << 8 | p[1]) - 16383 - 63;
  uint64_t mantissa = 0;
  for (int i = 2; i < 10; ++i) mantissa = mantissa << 8 | p[i];
  return static_cast<double>(mantissa) * std::ldexp(1.0, exponent) * ((p[0] & 0x80) ? -1 : 1);
}

}  // namespace

bool IsWavHead(const uint8_t* head) {
  return (std::memcmp(head, "RIFF", 4) == 0 || std::memcmp(head, "RF64", 4) == 0) &&
         std::memcmp(head + 8, "WAVE", 4) == 0;
}

bool ReadWavChunks(FILE* file, WavLayout& layout) {
  uint8_t head[8];
  bool haveFormat = false;
  uint64_t rf64DataBytes = 0;
  bool rf64 = false;
  while (std::fread(head, 1, 8, file) == 8) {
    const uint32_t size = Little32(head + 4);
    if (std::memcmp(head, "ds64", 4) == 0 && size >= 16) {
      uint8_t ds64[16];
      if (std::fread(ds64, 1, 16, file) != 16) return false;
      rf64DataBytes = Little32(ds64 + 8) | static_cast<uint64_t>(Little32(ds64 + 12)) << 32;
      rf64 = true;
      if (std::fseek(file, static_cast<long>(size - 16 + (size & 1)), SEEK_CUR) != 0) return false;
    } else if (std::memcmp(head, "fmt ", 4) == 0 && size >= 16) {
      uint8_t fmt[40] = {};
      const uint32_t kept = std::min<uint32_t>(size, sizeof fmt);
      if (std::fread(fmt, 1, kept, file) != kept) return false;
      layout.formatTag = Little16(fmt);
      layout.info.channels = Little16(fmt + 2);
      layout.info.sampleRate = Little32(fmt + 4);
      layout.blockAlign = Little16(fmt + 12);
      layout.bits = Little16(fmt + 14);
      if (layout.formatTag == 0xFFFE && size >= 26) layout.formatTag = Little16(fmt + 24);
      haveFormat = true;
      if (std::fseek(file, static_cast<long>(size - kept + (size & 1)), SEEK_CUR) != 0) return false;
    } else if (std::memcmp(head, "data", 4) == 0) {
      layout.dataSizeAt = std::ftell(file) - 4;
      layout.dataBytes = rf64 && size == 0xFFFFFFFFu ? rf64DataBytes : size;
      // 0 and 0xFFFFFFFF stand for "unknown" in files written as streams.
      layout.streamed = layout.dataBytes == 0 || layout.dataBytes == 0xFFFFFFFFu;
      if (layout.streamed) layout.dataBytes = UINT64_MAX;
      if (haveFormat && layout.blockAlign > 0 && !layout.streamed)
        layout.info.claimedFrames = static_cast<int64_t>(layout.dataBytes / layout.blockAlign);
      layout.dataFound = true;
      return haveFormat;
    } else if (std::fseek(file, static_cast<long>(size + (size & 1)), SEEK_CUR) != 0) {
      return false;
    }
  }
  return false;
}

namespace {

bool ProbeAiff(FILE* file, StreamInfo& info) {
  uint8_t head[8];
  while (std::fread(head, 1, 8, file) == 8) {
    const uint32_t size = Big32(head + 4);
    if (std::memcmp(head, "COMM", 4) == 0 && size >= 18) {
      uint8_t comm[18];
      if (std::fread(comm, 1, 18, file) != 18) return false;
      info.channels = Big16(comm);
      info.claimedFrames = Big32(comm + 2);
      info.sampleRate = Extended80(comm + 8);
      return true;
    }
    if (std::fseek(file, static_cast<long>(size + (size & 1)), SEEK_CUR) != 0) return false;
  }
  return false;
}

}  // namespace

std::unique_ptr<AudioReader> MemoryReader(AudioData audio) {
  return std::make_unique<InMemoryReader>(std::move(audio));
}

std::string OpenFailure(int errorNumber) {
  switch (errorNumber) {
    case ENOENT: return "no such file";
    case EACCES:
    case EPERM: return "permission denied";
    case EISDIR: return "it is a folder, not a file";
    case ENOTDIR: return "a part of the path is not a folder";
    case ENOSPC: return "the disk is full";
    case EROFS: return "the file system is read-only";
    case ENAMETOOLONG: return "the name is too long";
    default: return std::strerror(errorNumber);
  }
}

uint64_t WavDataLimit() {
  // Room for the header and a pad byte within the 32-bit RIFF size.
  constexpr uint64_t kLimit = 0xFFFFFFFFull - 1024;
  const char* lowered = std::getenv("VELLOX_RF64_THRESHOLD");
  if (!lowered || !*lowered) return kLimit;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(lowered, &end, 10);
  return *end == '\0' && value < kLimit ? value : kLimit;
}

bool ProbeHeader(const std::string& path, StreamInfo& info, WavLayout* wav) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  uint8_t head[12];
  bool known = false;
  if (std::fread(head, 1, 12, file) == 12) {
    if (IsWavHead(head)) {
      WavLayout layout;
      known = ReadWavChunks(file, layout) || layout.info.channels > 0;
      info = layout.info;
      if (wav) *wav = layout;
    } else if (std::memcmp(head, "FORM", 4) == 0 &&
               (std::memcmp(head + 8, "AIFF", 4) == 0 || std::memcmp(head + 8, "AIFC", 4) == 0))
      known = ProbeAiff(file, info);
  }
  std::fclose(file);
  return known;
}

}  // namespace vellox::cli
