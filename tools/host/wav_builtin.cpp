// File access through the built-in RIFF codec, for builds without libsndfile.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "audio_stream.h"
#include "platform.h"
#include "wav_io.h"
#include "wav_samples.h"

namespace vellox::cli {
namespace {

class WavReader : public AudioReader {
public:
  WavReader(FILE* file, const WavLayout& layout) : mFile(file), mLayout(layout), mLeft(layout.dataBytes) {
    mInfo = layout.info;
  }
  ~WavReader() override { std::fclose(mFile); }
  int64_t Read(float* out, int64_t frames) override { return Decode(out, frames); }
  int64_t Read(double* out, int64_t frames) override { return Decode(out, frames); }

private:
  template <class Sample>
  int64_t Decode(Sample* out, int64_t frames) {
    const size_t frameBytes = mLayout.blockAlign;
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(frames) * frameBytes, mLeft));
    mBytes.resize(wanted);
    const size_t got = std::fread(mBytes.data(), 1, wanted, mFile) / frameBytes;
    mLeft -= got * frameBytes;
    DecodeWavSamples(mBytes.data(), got * static_cast<size_t>(mInfo.channels), mLayout.formatTag, mLayout.bits, out);
    return static_cast<int64_t>(got);
  }
  FILE* mFile;
  WavLayout mLayout;
  uint64_t mLeft;  // a file written as a stream is read to its end
  std::vector<uint8_t> mBytes;
};

// Writes a WAV that becomes RF64 at the end when its data outgrew a WAV.
class WavWriter : public AudioWriter {
public:
  WavWriter(FILE* file, SampleEncoding encoding, double rate, int channels)
      : mFile(file), mEncoding(encoding), mRate(rate), mChannels(static_cast<unsigned>(channels)) {
    const std::vector<uint8_t> header = GrowableWavHeader(rate, mChannels, encoding, 0, WavDataLimit());
    mFailed = std::fwrite(header.data(), 1, header.size(), mFile) != header.size();
  }
  ~WavWriter() override { Close(); }
  bool Write(const float* in, int64_t frames) override { return Encode(in, frames); }
  bool Write(const double* in, int64_t frames) override { return Encode(in, frames); }
  bool Close() override {
    if (!mFile) return !mFailed;
    if (mDataBytes & 1) mFailed |= std::fputc(0, mFile) == EOF;  // chunks are padded to an even size
    const std::vector<uint8_t> header = GrowableWavHeader(mRate, mChannels, mEncoding, mDataBytes, WavDataLimit());
    mFailed |= std::fseek(mFile, 0, SEEK_SET) != 0;
    mFailed |= std::fwrite(header.data(), 1, header.size(), mFile) != header.size();
    mFailed |= std::fclose(mFile) != 0;
    mFile = nullptr;
    return !mFailed;
  }

private:
  template <class Sample>
  bool Encode(const Sample* in, int64_t frames) {
    const unsigned sampleBytes = WavBytesPerSample(mEncoding);
    const size_t samples = static_cast<size_t>(frames) * mChannels;
    mBytes.resize(samples * sampleBytes);
    EncodeWavSamples(in, samples, mEncoding, mBytes.data());
    mFailed |= std::fwrite(mBytes.data(), 1, mBytes.size(), mFile) != mBytes.size();
    mDataBytes += mBytes.size();
    return !mFailed;
  }
  FILE* mFile;
  SampleEncoding mEncoding;
  double mRate;
  unsigned mChannels;
  uint64_t mDataBytes = 0;
  bool mFailed = false;
  std::vector<uint8_t> mBytes;
};

}  // namespace

std::unique_ptr<AudioReader> OpenAudioReader(const std::string& path, std::string& error) {
  const std::string prefix = "cannot read " + path + ": ";
  if (platform::IsFolder(path)) {
    error = prefix + OpenFailure(EISDIR);
    return nullptr;
  }
  FILE* file = platform::OpenFile(path, false);
  if (!file) {
    error = prefix + OpenFailure(errno);
    return nullptr;
  }
  uint8_t head[12];
  WavLayout layout;
  const bool riff = std::fread(head, 1, 12, file) == 12 && IsWavHead(head);
  const bool found = riff && ReadWavChunks(file, layout);
  const bool pcm = layout.formatTag == 1 && (layout.bits == 16 || layout.bits == 24 || layout.bits == 32);
  const bool flt = layout.formatTag == 3 && (layout.bits == 32 || layout.bits == 64);
  std::string why;
  if (!riff)
    why = "it is not a WAV file (this build reads WAV only)";
  else if (!found)
    why = "the WAV file has no format or no data chunk";
  else if (layout.info.sampleRate < 1.0)
    why = "its header gives a sample rate of 0 Hz";
  else if (layout.info.channels == 0)
    why = "its header gives no channels";
  else if (!(pcm || flt) || layout.blockAlign != layout.info.channels * layout.bits / 8)
    why = "its sample encoding is not supported";
  if (!why.empty()) {
    std::fclose(file);
    error = prefix + why;
    return nullptr;
  }
  return std::make_unique<WavReader>(file, layout);
}

std::unique_ptr<AudioWriter> OpenAudioWriter(const std::string& path, const std::string& shownPath,
                                             const OutputFormat& format, double sampleRate, int channels,
                                             int64_t /*expectedFrames: the header becomes RF64 at the end if need be*/,
                                             std::string& error) {
  FILE* file = platform::OpenFile(path, true);
  if (!file) {
    error = "cannot write " + shownPath + ": " + OpenFailure(errno);
    return nullptr;
  }
  return std::make_unique<WavWriter>(file, format.encoding, sampleRate, channels);
}

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error) {
  FILE* file = platform::OpenFile(path, false);
  if (!file) {
    error = "cannot read " + path + ": " + OpenFailure(errno);
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  std::fclose(file);
  if (!DecodeWav(bytes, audio, error)) {
    error = "cannot read " + path + ": " + error;
    return false;
  }
  return true;
}

bool CodecWrites(Container container) { return container == Container::kWav; }

const char* CodecHelp() {
  return "This build has no libsndfile: its built-in codec reads WAV files (16-, 24-,\n"
         "32-bit integer, 32- and 64-bit float) and writes WAV only.\n";
}

bool WriteAudioFile(const std::string& path, const AudioData& audio, std::string& error, const OutputFormat& format) {
  FILE* file = platform::OpenFile(path, true);
  if (!file) {
    error = "cannot write " + path + ": cannot create the file";
    return false;
  }
  const std::vector<uint8_t> bytes = EncodeWav(audio, format.encoding);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) {
    error = "cannot write " + path + ": the disk refused the data";
    return false;
  }
  return true;
}

}  // namespace vellox::cli
