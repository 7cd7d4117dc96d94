#pragma once
// Audio files read and written a block at a time, so that a render holds only
// a few blocks whatever the file's length. Samples are interleaved.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "audio_data.h"
#include "audio_format.h"

namespace vellox::cli {

struct StreamInfo {
  double sampleRate = 0.0;
  int channels = 0;
  int64_t claimedFrames = -1;  // what the header promises; -1 when it does not say
};

class AudioReader {
public:
  virtual ~AudioReader() = default;
  const StreamInfo& Info() const { return mInfo; }
  // Up to `frames` frames; fewer only at the end of the data (0 there).
  virtual int64_t Read(float* interleaved, int64_t frames) = 0;
  virtual int64_t Read(double* interleaved, int64_t frames) = 0;

protected:
  StreamInfo mInfo;
};

class AudioWriter {
public:
  virtual ~AudioWriter() = default;
  virtual bool Write(const float* interleaved, int64_t frames) = 0;
  virtual bool Write(const double* interleaved, int64_t frames) = 0;
  // Completes the file; false when any write or the close failed.
  virtual bool Close() = 0;
};

// Null with `error` set to "cannot read PATH: <why>".
std::unique_ptr<AudioReader> OpenAudioReader(const std::string& path, std::string& error);
// Creates `path`; `shownPath` is the name the error message uses.
std::unique_ptr<AudioWriter> OpenAudioWriter(const std::string& path, const std::string& shownPath,
                                             const OutputFormat& format, double sampleRate, int channels,
                                             std::string& error);

// Audio already in memory (the built-in demo) as a stream.
std::unique_ptr<AudioReader> MemoryReader(AudioData audio);

// Why a file cannot be opened, in the tool's words, from an errno value.
std::string OpenFailure(int errorNumber);

// What the header of a WAV or AIFF file says, read without an audio library:
// rate, channels and the frame count it promises. False for other files.
bool ProbeHeader(const std::string& path, StreamInfo& info);

// A WAV file's format and data chunk. ReadWavChunks reads the chunks after
// the 12-byte RIFF header and stops at the start of the samples; false when
// there is no format or no data chunk.
struct WavLayout {
  StreamInfo info;
  unsigned formatTag = 0;
  unsigned bits = 0;
  unsigned blockAlign = 0;
  uint32_t dataBytes = 0;
  bool dataFound = false;
};
bool ReadWavChunks(std::FILE* file, WavLayout& layout);

}  // namespace vellox::cli
