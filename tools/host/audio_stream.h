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
  bool lengthUnknown = false;  // a file whose length cannot be told (it may be cut short)
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
// `expectedFrames` (-1: unknown) lets a WAV writer choose RF64 up front.
std::unique_ptr<AudioWriter> OpenAudioWriter(const std::string& path, const std::string& shownPath,
                                             const OutputFormat& format, double sampleRate, int channels,
                                             int64_t expectedFrames, std::string& error);

// The most data bytes a plain WAV file is given; longer audio is written as
// RF64. The environment variable VELLOX_RF64_THRESHOLD lowers it (for tests).
uint64_t WavDataLimit();

// Audio already in memory (the built-in demo) as a stream.
std::unique_ptr<AudioReader> MemoryReader(AudioData audio);

// Why a file cannot be opened, in the tool's words, from an errno value.
std::string OpenFailure(int errorNumber);

// What the header of a WAV or AIFF file says, read without an audio library:
// rate, channels and the frame count it promises. False for other files.
// A WAV file's layout goes to `wav` when given.
struct WavLayout;
bool ProbeHeader(const std::string& path, StreamInfo& info, WavLayout* wav = nullptr);

// A WAV or RF64 file's format and data chunk. ReadWavChunks reads the chunks
// after the 12-byte RIFF/RF64 header and stops at the start of the samples;
// false when there is no format or no data chunk. A data size of 0 or
// 0xFFFFFFFF without an RF64 size is a file written as a stream: its data
// runs to the end of the file (`streamed`, and no frame count is claimed).
struct WavLayout {
  StreamInfo info;
  unsigned formatTag = 0;
  unsigned bits = 0;
  unsigned blockAlign = 0;
  uint64_t dataBytes = 0;
  long dataSizeAt = -1;  // file offset of the data chunk's 32-bit size
  bool dataFound = false;
  bool streamed = false;
};
// Whether 12 bytes open a WAV file, plain or RF64.
bool IsWavHead(const uint8_t* head);
bool ReadWavChunks(std::FILE* file, WavLayout& layout);

}  // namespace vellox::cli
