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

class SndfileReader : public AudioReader {
public:
  SndfileReader(SNDFILE* file, const SF_INFO& info, int64_t claimedFrames) : mFile(file) {
    mInfo.sampleRate = info.samplerate;
    mInfo.channels = info.channels;
    // libsndfile shortens a header's count to what the file holds; the header's own promise is kept.
    mInfo.claimedFrames = std::max<int64_t>(claimedFrames, info.frames);
  }
  ~SndfileReader() override { sf_close(mFile); }
  int64_t Read(float* out, int64_t frames) override { return sf_readf_float(mFile, out, frames); }
  int64_t Read(double* out, int64_t frames) override { return sf_readf_double(mFile, out, frames); }

private:
  SNDFILE* mFile;
};

class SndfileWriter : public AudioWriter {
public:
  explicit SndfileWriter(SNDFILE* file) : mFile(file) {}
  ~SndfileWriter() override { Close(); }
  bool Write(const float* in, int64_t frames) override { return Check(sf_writef_float(mFile, in, frames), frames); }
  bool Write(const double* in, int64_t frames) override { return Check(sf_writef_double(mFile, in, frames), frames); }
  bool Close() override {
    if (mFile && sf_close(mFile) != 0) mFailed = true;
    mFile = nullptr;
    return !mFailed;
  }

private:
  bool Check(sf_count_t written, int64_t frames) {
    if (written != frames) mFailed = true;
    return !mFailed;
  }
  SNDFILE* mFile;
  bool mFailed = false;
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
  StreamInfo header;
  const bool probed = ProbeHeader(path, header);
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
  SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
  if (!file) {
    error = prefix + (S_ISREG(status.st_mode) && status.st_size == 0 ? "the file is empty" : OpenError(nullptr));
    return nullptr;
  }
  if (info.samplerate <= 0 || info.channels <= 0) {
    sf_close(file);
    error = prefix + "its header gives no usable rate or channel count";
    return nullptr;
  }
  return std::make_unique<SndfileReader>(file, info, probed ? header.claimedFrames : -1);
}

std::unique_ptr<AudioWriter> OpenAudioWriter(const std::string& path, const std::string& shownPath,
                                             const OutputFormat& format, double sampleRate, int channels,
                                             std::string& error) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(sampleRate);
  info.channels = channels;
  info.format = SndfileFormat(format);
  if (!sf_format_check(&info)) {
    error = "cannot write " + shownPath + ": " + DescribeFormat(format) + " cannot hold " + std::to_string(channels) +
            " channel(s) at " + std::to_string(info.samplerate) + " Hz";
    return nullptr;
  }
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = "cannot write " + shownPath + ": " + OpenFailure(errno);
    return nullptr;
  }
  SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (!file) {
    error = "cannot write " + shownPath + ": the audio library refused to start the file";
    return nullptr;
  }
  // Integer formats clip overs instead of wrapping them around.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return std::make_unique<SndfileWriter>(file);
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
