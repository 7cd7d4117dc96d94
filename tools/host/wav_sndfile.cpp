// File access through libsndfile: every format it knows is readable.
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "audio_stream.h"
#include "parameter_assignment.h"
#include "sndfile_io.h"
#include "wav_samples.h"
#include "wav_io.h"

namespace vellox::cli {

namespace {

int SndfileFormat(const OutputFormat& format) {
  int major = SF_FORMAT_WAV;
  switch (format.container) {
    case Container::kWav: major = SF_FORMAT_WAV; break;
    case Container::kAiff: major = SF_FORMAT_AIFF; break;
    case Container::kFlac: major = SF_FORMAT_FLAC; break;
    case Container::kOgg: major = SF_FORMAT_OGG; break;
  }
  int minor = SF_FORMAT_FLOAT;
  switch (format.encoding) {
    case SampleEncoding::kPcm16: minor = SF_FORMAT_PCM_16; break;
    case SampleEncoding::kPcm24: minor = SF_FORMAT_PCM_24; break;
    case SampleEncoding::kPcm32: minor = SF_FORMAT_PCM_32; break;
    case SampleEncoding::kFloat32: minor = SF_FORMAT_FLOAT; break;
    case SampleEncoding::kVorbis: minor = SF_FORMAT_VORBIS; break;
  }
  return major | minor;
}

// libsndfile's refusals, in the tool's words.
std::string OpenError(SNDFILE* file) {
  switch (sf_error(file)) {
    case SF_ERR_UNRECOGNISED_FORMAT: return "it is not an audio file in a format this tool reads";
    case SF_ERR_UNSUPPORTED_ENCODING: return "its sample encoding is not supported";
    default: return "the file is damaged or its header is invalid";
  }
}

// The data of a little-endian WAV file's PCM or float samples, which the tool
// converts itself (a whole buffer in vectorised loops) instead of the library.
struct RawWavLayout {
  unsigned formatTag = 0;  // 0: the library converts
  unsigned bits = 0;
};

RawWavLayout RawLayout(int format) {
  const int major = format & SF_FORMAT_TYPEMASK;
  if ((major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX && major != SF_FORMAT_RF64) ||
      (format & SF_FORMAT_ENDMASK) == SF_ENDIAN_BIG)
    return {};
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_16: return {1, 16};
    case SF_FORMAT_PCM_24: return {1, 24};
    case SF_FORMAT_PCM_32: return {1, 32};
    case SF_FORMAT_FLOAT: return {3, 32};
    case SF_FORMAT_DOUBLE: return {3, 64};
    default: return {};
  }
}

class SndfileReader : public AudioReader {
public:
  SndfileReader(SNDFILE* file, const SF_INFO& info, int64_t claimedFrames, std::unique_ptr<StreamedWavView> view)
      : mFile(file), mView(std::move(view)), mRaw(RawLayout(info.format)) {
    mInfo.sampleRate = info.samplerate;
    mInfo.channels = info.channels;
    mInfo.claimedFrames = claimedFrames;
    mInfo.lengthUnknown = info.frames >= SF_COUNT_MAX / 2;
  }
  ~SndfileReader() override { sf_close(mFile); }
  int64_t Read(float* out, int64_t frames) override {
    return mRaw.formatTag ? ReadRaw(out, frames) : sf_readf_float(mFile, out, frames);
  }
  int64_t Read(double* out, int64_t frames) override {
    return mRaw.formatTag ? ReadRaw(out, frames) : sf_readf_double(mFile, out, frames);
  }

private:
  template <class Sample>
  int64_t ReadRaw(Sample* out, int64_t frames) {
    const size_t samples = static_cast<size_t>(frames) * static_cast<size_t>(mInfo.channels);
    const size_t frameBytes = static_cast<size_t>(mInfo.channels) * mRaw.bits / 8;
    mBytes.resize(samples * mRaw.bits / 8);
    const sf_count_t got = sf_read_raw(mFile, mBytes.data(), static_cast<sf_count_t>(mBytes.size()));
    const size_t whole = got > 0 ? static_cast<size_t>(got) / frameBytes : 0;
    DecodeWavSamples(mBytes.data(), whole * static_cast<size_t>(mInfo.channels), mRaw.formatTag, mRaw.bits, out);
    return static_cast<int64_t>(whole);
  }
  SNDFILE* mFile;
  std::unique_ptr<StreamedWavView> mView;
  RawWavLayout mRaw;
  std::vector<uint8_t> mBytes;
};

unsigned SampleBytes(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 1;
  }
}

// The frame count the file promises, -1 when it does not say: libsndfile
// gives the largest count for a length it cannot tell (an Ogg cut short),
// and a WAV arriving through a pipe as a stream claims nearly 4 GiB.
int64_t ClaimedFrames(const SF_INFO& info, bool probed, const StreamInfo& header, bool seekable) {
  if (info.frames >= SF_COUNT_MAX / 2) return -1;
  if (probed) return header.claimedFrames < 0 ? -1 : std::max<int64_t>(header.claimedFrames, info.frames);
  const int major = info.format & SF_FORMAT_TYPEMASK;
  if (!seekable && (major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX) &&
      static_cast<uint64_t>(info.frames) * info.channels * SampleBytes(info.format) >= 0xFFFFFFFFull - 0x10000)
    return -1;
  return info.frames;
}

class SndfileWriter : public AudioWriter {
public:
  // `raw`: a WAV whose samples the tool encodes itself (the library writes
  // the header and the bytes).
  SndfileWriter(SNDFILE* file, std::unique_ptr<BufferedOutput> output, const OutputFormat& format, int channels,
                bool raw, uint64_t byteLimit)
      : mFile(file),
        mOutput(std::move(output)),
        mEncoding(format.encoding),
        mChannels(static_cast<size_t>(channels)),
        mRaw(raw),
        mFrameBytes(mChannels * WavBytesPerSample(format.encoding)),
        mByteLimit(byteLimit) {}
  ~SndfileWriter() override { Close(); }
  bool Write(const float* in, int64_t frames) override {
    return mRaw ? WriteRaw(in, frames) : Check(sf_writef_float(mFile, in, frames), frames);
  }
  bool Write(const double* in, int64_t frames) override {
    return mRaw ? WriteRaw(in, frames) : Check(sf_writef_double(mFile, in, frames), frames);
  }
  bool Close() override {
    if (mFile && sf_close(mFile) != 0) mFailed = true;
    mFile = nullptr;
    if (mOutput && !mOutput->Close()) mFailed = true;
    return !mFailed;
  }

private:
  bool Check(sf_count_t written, int64_t frames) {
    if (written != frames) mFailed = true;
    // A plain WAV's 32-bit sizes would wrap around: fail rather than write a file every reader cuts short.
    mBytes += static_cast<uint64_t>(frames) * mFrameBytes;
    if (mBytes > mByteLimit) mFailed = true;
    return !mFailed;
  }
  template <class Sample>
  bool WriteRaw(const Sample* in, int64_t frames) {
    mEncoded.resize(static_cast<size_t>(frames) * mFrameBytes);
    EncodeWavSamples(in, static_cast<size_t>(frames) * mChannels, mEncoding, mEncoded.data());
    const auto bytes = static_cast<sf_count_t>(mEncoded.size());
    return Check(sf_write_raw(mFile, mEncoded.data(), bytes) == bytes ? frames : 0, frames);
  }
  SNDFILE* mFile;
  std::unique_ptr<BufferedOutput> mOutput;  // null where the library writes the file itself
  SampleEncoding mEncoding;
  size_t mChannels;
  bool mRaw;
  std::vector<uint8_t> mEncoded;
  uint64_t mFrameBytes;
  uint64_t mByteLimit;  // for a plain WAV; otherwise no limit
  uint64_t mBytes = 0;
  bool mFailed = false;
};

// A WAV into a pipe, which the library does not write: the header goes first
// with the length expected, or with the sizes a stream leaves unknown.
class PipeWavWriter : public AudioWriter {
public:
  PipeWavWriter(int fd, const OutputFormat& format, double rate, int channels, int64_t expectedFrames)
      : mFd(fd), mEncoding(format.encoding), mChannels(static_cast<size_t>(channels)) {
    const uint64_t frameBytes = mChannels * WavBytesPerSample(mEncoding);
    const bool known = expectedFrames >= 0 && static_cast<uint64_t>(expectedFrames) <= WavDataLimit() / frameBytes;
    std::vector<uint8_t> header = WavHeader(rate, static_cast<unsigned>(channels), mEncoding,
                                            known ? static_cast<uint32_t>(expectedFrames * frameBytes) : 0xFFFFFFFFu);
    if (!known) std::fill(header.begin() + 4, header.begin() + 8, 0xFF);
    Put(header);
  }
  ~PipeWavWriter() override { Close(); }
  bool Write(const float* in, int64_t frames) override { return Encode(in, frames); }
  bool Write(const double* in, int64_t frames) override { return Encode(in, frames); }
  bool Close() override {
    if (mFd >= 0 && close(mFd) != 0) mFailed = true;
    mFd = -1;
    return !mFailed;
  }

private:
  template <class Sample>
  bool Encode(const Sample* in, int64_t frames) {
    const unsigned sampleBytes = WavBytesPerSample(mEncoding);
    mBytes.resize(static_cast<size_t>(frames) * mChannels * sampleBytes);
    EncodeWavSamples(in, static_cast<size_t>(frames) * mChannels, mEncoding, mBytes.data());
    Put(mBytes);
    return !mFailed;
  }
  void Put(const std::vector<uint8_t>& bytes) {
    for (size_t done = 0; done < bytes.size() && !mFailed;) {
      const ssize_t wrote = write(mFd, bytes.data() + done, bytes.size() - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) mFailed = true;
      done += wrote > 0 ? static_cast<size_t>(wrote) : 0;
    }
  }
  int mFd;
  SampleEncoding mEncoding;
  size_t mChannels;
  bool mFailed = false;
  std::vector<uint8_t> mBytes;
};

}  // namespace

std::unique_ptr<AudioReader> OpenAudioReader(const std::string& path, std::string& error) {
  const std::string prefix = "cannot read " + path + ": ";
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status {};
  if (fd < 0 || fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    const int why = fd < 0 ? errno : EISDIR;
    if (fd >= 0) close(fd);
    error = prefix + OpenFailure(why);
    return nullptr;
  }
  // A pipe is read once, by the library: its first bytes cannot be read again.
  const bool seekable = S_ISREG(status.st_mode);
  StreamInfo header;
  WavLayout wav;
  const bool probed = seekable && ProbeHeader(path, header, &wav);
  if (probed && header.sampleRate < 1.0) {
    close(fd);
    error =
        prefix + "its header gives a sample rate of " + std::to_string(static_cast<long>(header.sampleRate)) + " Hz";
    return nullptr;
  }
  if (probed && header.channels == 0) {
    close(fd);
    error = prefix + "its header gives no channels";
    return nullptr;
  }
  SF_INFO info{};
  SNDFILE* file = nullptr;
  std::unique_ptr<StreamedWavView> view;
  if (probed && wav.streamed && wav.dataSizeAt > 0) {
    view = std::make_unique<StreamedWavView>(fd, status.st_size, wav.dataSizeAt);
    SF_VIRTUAL_IO io = view->Io();
    file = sf_open_virtual(&io, SFM_READ, &info, view.get());
  } else {
    file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
  }
  if (!file) {
    error = prefix + (S_ISREG(status.st_mode) && status.st_size == 0 ? "the file is empty" : OpenError(nullptr));
    return nullptr;
  }
  if (info.samplerate <= 0 || info.channels <= 0) {
    sf_close(file);
    error = prefix + "its header gives no usable rate or channel count";
    return nullptr;
  }
  return std::make_unique<SndfileReader>(file, info, ClaimedFrames(info, probed, header, seekable), std::move(view));
}

std::unique_ptr<AudioWriter> OpenAudioWriter(const std::string& path, const std::string& shownPath,
                                             const OutputFormat& format, double sampleRate, int channels,
                                             int64_t expectedFrames, std::string& error) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(sampleRate);
  info.channels = channels;
  info.format = SndfileFormat(format);
  const uint64_t frameBytes = static_cast<uint64_t>(channels) * WavBytesPerSample(format.encoding);
  uint64_t byteLimit = UINT64_MAX;
  bool downgrade = false;
  if (format.container == Container::kWav) {
    // Audio too long for a WAV's 32-bit sizes goes to RF64; when the length
    // is unknown, the library writes RF64 and makes it a WAV at the end if it fits.
    const bool fits = expectedFrames >= 0 && static_cast<uint64_t>(expectedFrames) <= WavDataLimit() / frameBytes;
    downgrade = expectedFrames < 0;
    if (fits)
      byteLimit = WavDataLimit();
    else
      info.format = SF_FORMAT_RF64 | (info.format & SF_FORMAT_SUBMASK);
  }
  // The library accepts the format but fails to start the file.
  constexpr double kFlacMaxRate = 655350.0;
  if (format.container == Container::kFlac && sampleRate > kFlacMaxRate) {
    error = "cannot write " + shownPath + ": FLAC holds rates up to " + FormatNumber(kFlacMaxRate) + " Hz, not " +
            FormatNumber(sampleRate) + " Hz (use .wav, .aif or .aiff)";
    return nullptr;
  }
  if (!sf_format_check(&info)) {
    error = "cannot write " + shownPath + ": " + DescribeFormat(format) + " cannot hold " + std::to_string(channels) +
            (channels == 1 ? " channel" : " channels") + " at " + FormatNumber(sampleRate) + " Hz";
    return nullptr;
  }
  // A named pipe or a device is written as it is; a file is created afresh.
  struct stat status {};
  const bool special = stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
  const int fd = special ? open(path.c_str(), O_WRONLY | O_CLOEXEC)
                         : open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = "cannot write " + shownPath + ": " + OpenFailure(errno);
    return nullptr;
  }
  if (special && format.container == Container::kWav && lseek(fd, 0, SEEK_CUR) < 0)
    return std::make_unique<PipeWavWriter>(fd, format, sampleRate, channels, expectedFrames);
  std::unique_ptr<BufferedOutput> output;
  SNDFILE* file = nullptr;
  if (special) {
    file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  } else {
    output = std::make_unique<BufferedOutput>(fd);
    SF_VIRTUAL_IO io = output->Io();
    file = sf_open_virtual(&io, SFM_WRITE, &info, output.get());
  }
  if (!file) {
    error =
        "cannot write " + shownPath + ": the audio library refused to start the file (" + sf_strerror(nullptr) + ")";
    return nullptr;
  }
  if (downgrade) sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  // The library's PEAK chunk would not see the samples the tool encodes.
  const bool raw = format.container == Container::kWav && format.encoding != SampleEncoding::kVorbis;
  if (raw) sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  // Integer formats clip overs instead of wrapping them around.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return std::make_unique<SndfileWriter>(file, std::move(output), format, channels, raw, byteLimit);
}

bool CodecWrites(Container) { return true; }

const char* CodecHelp() {
  return "Audio files go through libsndfile: any file it reads is accepted as input\n"
         "(WAV, AIFF, FLAC, Ogg Vorbis and more); the output's extension picks WAV,\n"
         "AIFF (.aif/.aiff), FLAC or Ogg Vorbis (.ogg).\n";
}

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error) {
  std::unique_ptr<AudioReader> reader = OpenAudioReader(path, error);
  if (!reader) return false;
  const auto channels = static_cast<size_t>(reader->Info().channels);
  audio.sampleRate = reader->Info().sampleRate;
  audio.channels.assign(channels, {});
  std::vector<double> chunk(4096 * channels);
  int64_t got;
  while ((got = reader->Read(chunk.data(), 4096)) > 0)
    for (int64_t i = 0; i < got; ++i)
      for (size_t c = 0; c < channels; ++c) audio.channels[c].push_back(chunk[static_cast<size_t>(i) * channels + c]);
  return true;
}

bool WriteAudioFile(const std::string& path, const AudioData& audio, std::string& error, const OutputFormat& format) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(audio.sampleRate);
  info.channels = static_cast<int>(audio.channels.size());
  info.format = SndfileFormat(format);
  if (!sf_format_check(&info)) {
    error = "cannot write " + path + ": " + DescribeFormat(format) + " cannot hold " + std::to_string(info.channels) +
            " channel(s) at " + std::to_string(info.samplerate) + " Hz";
    return false;
  }
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    error = "cannot write " + path + ": " + OpenFailure(errno);
    return false;
  }
  // Integer formats clip overs instead of wrapping them around.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  const size_t frames = audio.Frames();
  std::vector<double> interleaved(frames * audio.channels.size());
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < audio.channels.size(); ++c)
      interleaved[i * audio.channels.size() + c] = audio.channels[c][i];
  const sf_count_t written = sf_writef_double(file, interleaved.data(), static_cast<sf_count_t>(frames));
  const int closed = sf_close(file);
  if (written != static_cast<sf_count_t>(frames) || closed != 0) {
    error = "cannot write " + path + ": the disk refused the data";
    return false;
  }
  return true;
}

}  // namespace vellox::cli
