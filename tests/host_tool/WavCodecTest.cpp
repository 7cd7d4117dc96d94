// The built-in WAV codec and the demo signal.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "demo_signal.h"
#include "audio_stream.h"
#include "wav_io.h"
#include "wav_samples.h"

namespace vellox::cli {
namespace {

std::vector<uint8_t> PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto tag = [&](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
  };
  tag("RIFF");
  put(4 + 26 + 8 + 8 + static_cast<uint32_t>(data.size()), 4);
  tag("WAVE");
  tag("LIST");  // a chunk the reader must step over (odd size, padded)
  put(1, 4);
  out.push_back('x');
  out.push_back(0);
  tag("fmt ");
  put(16, 4);
  put(1, 2);
  put(channels, 2);
  put(rate, 4);
  put(rate * channels * bits / 8, 4);
  put(channels * bits / 8, 2);
  put(bits, 2);
  tag("data");
  put(static_cast<uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

TEST(WavCodecTest, FloatRoundTripKeepsEverySample) {
  AudioData audio;
  audio.sampleRate = 48000;
  audio.channels = {{0.5, -0.25, 1.0}, {0.0, 0.125, -1.0}};
  AudioData back;
  std::string error;
  ASSERT_TRUE(DecodeWav(EncodeWavFloat32(audio), back, error)) << error;
  EXPECT_EQ(back.sampleRate, 48000.0);
  EXPECT_EQ(back.channels, audio.channels);
  EXPECT_EQ(EncodeWavFloat32(audio).size(), 44u + 3 * 2 * 4);
}

TEST(WavCodecTest, DecodesIntegerPcm) {
  AudioData audio;
  std::string error;
  ASSERT_TRUE(DecodeWav(PcmWav(2, 8000, 16, {0x00, 0x40, 0x00, 0x80, 0xFF, 0x7F, 0x00, 0x00}), audio, error)) << error;
  ASSERT_EQ(audio.channels.size(), 2u);
  EXPECT_EQ(audio.channels[0], (std::vector<double>{0.5, 32767.0 / 32768.0}));
  EXPECT_EQ(audio.channels[1], (std::vector<double>{-1.0, 0.0}));
  ASSERT_TRUE(DecodeWav(PcmWav(1, 8000, 24, {0x00, 0x00, 0xC0, 0x00, 0x00, 0x40}), audio, error)) << error;
  EXPECT_EQ(audio.channels[0], (std::vector<double>{-0.5, 0.5}));
}

TEST(WavCodecTest, RefusesWhatItCannotRead) {
  AudioData audio;
  std::string error;
  EXPECT_FALSE(DecodeWav({'R', 'I', 'F', 'F'}, audio, error));
  EXPECT_EQ(error, "not a WAV file");
  EXPECT_FALSE(DecodeWav(PcmWav(1, 8000, 8, {1, 2}), audio, error));
  EXPECT_EQ(error, "unsupported WAV sample format");
  std::vector<uint8_t> noData = PcmWav(1, 8000, 16, {});
  noData.resize(noData.size() - 8);
  EXPECT_FALSE(DecodeWav(noData, audio, error));
  EXPECT_EQ(error, "WAV file has no audio data");
  // A data chunk that claims more than the file holds yields what is there.
  std::vector<uint8_t> truncated = PcmWav(1, 8000, 16, {0, 0x40, 0, 0x40});
  truncated.resize(truncated.size() - 1);
  ASSERT_TRUE(DecodeWav(truncated, audio, error));
  EXPECT_EQ(audio.Frames(), 1u);
}

// The built-in writer's header becomes RF64 only past the limit, and reads back whole either way.
TEST(WavCodecTest, GrowableHeadersReadBackWholeOnEitherSideOfTheLimit) {
  AudioData audio;
  audio.channels.assign(2, std::vector<double>(300, 0.5));
  const std::vector<uint8_t> plain = EncodeWav(audio, SampleEncoding::kPcm24);
  for (const uint64_t limit : {uint64_t{1799}, uint64_t{1800}}) {
    std::vector<uint8_t> file = GrowableWavHeader(44100, 2, SampleEncoding::kPcm24, 1800, limit);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), limit < 1800 ? "RF64" : "RIFF");
    file.insert(file.end(), plain.begin() + 44, plain.end());
    AudioData back;
    std::string error;
    ASSERT_TRUE(DecodeWav(file, back, error)) << error;
    EXPECT_EQ(back.channels, audio.channels);
  }
}

// Whole buffers convert to the same bytes and values as one sample at a time,
// at and beyond full scale, on the halves between steps and for NaN.
TEST(WavCodecTest, BufferConversionsMatchTheSampleAtATimeCodec) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> level(-1.2, 1.2);
  std::vector<double> samples = {
      0.0, -0.0, 1.0, -1.0, 2.0, -2.0, std::nan(""), 0.5 / 32768, -1.5 / 8388608, 8388607.5 / 8388608, 32767.5 / 32768};
  for (int i = 0; i < 500; ++i) samples.push_back(level(random));
  const std::vector<float> floats(samples.begin(), samples.end());
  for (const SampleEncoding encoding :
       {SampleEncoding::kPcm16, SampleEncoding::kPcm24, SampleEncoding::kPcm32, SampleEncoding::kFloat32}) {
    SCOPED_TRACE(static_cast<int>(encoding));
    const unsigned size = WavBytesPerSample(encoding), tag = encoding == SampleEncoding::kFloat32 ? 3 : 1;
    const auto encodes = [&](const auto& in) {
      std::vector<uint8_t> one(in.size() * size), whole(in.size() * size);
      for (size_t i = 0; i < in.size(); ++i) EncodeWavSample(in[i], encoding, one.data() + i * size);
      EncodeWavSamples(in.data(), in.size(), encoding, whole.data());
      EXPECT_EQ(whole, one);
      return whole;
    };
    encodes(floats);
    const std::vector<uint8_t> bytes = encodes(samples);
    std::vector<double> backDouble(samples.size());
    std::vector<float> backFloat(samples.size());
    DecodeWavSamples(bytes.data(), samples.size(), tag, size * 8, backDouble.data());
    DecodeWavSamples(bytes.data(), samples.size(), tag, size * 8, backFloat.data());
    for (size_t i = 0; i < samples.size(); ++i) {
      const double expected = DecodeWavSample(bytes.data() + i * size, tag, size * 8);
      if (std::isnan(expected)) continue;
      EXPECT_EQ(backDouble[i], expected) << i;
      EXPECT_EQ(backFloat[i], static_cast<float>(expected)) << i;
    }
  }
}

TEST(DemoSignalTest, IsStereoMusicWithinFullScale) {
  const AudioData demo = MakeDemoSignal(44100.0);
  ASSERT_EQ(demo.channels.size(), 2u);
  EXPECT_EQ(demo.Frames(), 176400u);
  const double peak = PeakLevel(demo);
  EXPECT_GT(peak, 0.3);
  EXPECT_LT(peak, 1.0);
  EXPECT_NE(demo.channels[0], demo.channels[1]);
  // Something sounds in every second of it.
  for (size_t second = 0; second < 4; ++second) {
    double energy = 0.0;
    for (size_t i = second * 44100; i < (second + 1) * 44100; ++i) energy += demo.channels[0][i] * demo.channels[0][i];
    EXPECT_GT(energy / 44100.0, 1e-3) << "second " << second;
  }
  EXPECT_EQ(MakeDemoSignal(22050.0).Frames(), 88200u);
}

}  // namespace
}  // namespace vellox::cli
