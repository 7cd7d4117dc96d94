// File access through libsndfile: every format it knows is readable.
#include <sndfile.h>

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

}  // namespace

bool CodecWrites(Container) { return true; }

const char* CodecHelp() {
  return "Audio files go through libsndfile: any file it reads is accepted as input\n"
         "(WAV, AIFF, FLAC, Ogg Vorbis and more); the output's extension picks WAV,\n"
         "AIFF (.aif/.aiff), FLAC or Ogg Vorbis (.ogg).\n";
}

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  std::vector<double> interleaved(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  const sf_count_t frames = sf_readf_double(file, interleaved.data(), info.frames);
  sf_close(file);
  audio.sampleRate = info.samplerate;
  audio.channels.assign(static_cast<size_t>(info.channels), std::vector<double>(static_cast<size_t>(frames)));
  for (sf_count_t i = 0; i < frames; ++i)
    for (int c = 0; c < info.channels; ++c)
      audio.channels[static_cast<size_t>(c)][static_cast<size_t>(i)] =
          interleaved[static_cast<size_t>(i) * static_cast<size_t>(info.channels) + static_cast<size_t>(c)];
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
    error = "cannot write " + path + ": " + sf_strerror(nullptr);
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
