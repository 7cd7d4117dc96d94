#pragma once
// Audio file reading and writing, through libsndfile where the build has it
// and through the built-in WAV codec otherwise.
#include <cstdint>
#include <string>
#include <vector>

#include "audio_data.h"
#include "audio_format.h"

namespace vellox::cli {

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error);
// Writes `path` directly; callers that must not leave a partial file behind
// write to a temporary name first (see TemporaryOutput).
bool WriteAudioFile(const std::string& path, const AudioData& audio, std::string& error,
                    const OutputFormat& format = {});

// The self-contained RIFF codec used where no audio library is available.
// Integer encodings clip to full scale and round to nearest.
std::vector<uint8_t> EncodeWav(const AudioData& audio, SampleEncoding encoding);
inline std::vector<uint8_t> EncodeWavFloat32(const AudioData& audio) {
  return EncodeWav(audio, SampleEncoding::kFloat32);
}
// One sample in a WAV file's data chunk and the 44-byte header the encoder writes.
double DecodeWavSample(const uint8_t* bytes, unsigned formatTag, unsigned bits);
void EncodeWavSample(double sample, SampleEncoding encoding, uint8_t* out);
unsigned WavBytesPerSample(SampleEncoding encoding);
std::vector<uint8_t> WavHeader(double sampleRate, unsigned channels, SampleEncoding encoding, uint32_t dataBytes);
// The header of a WAV written as it goes, which has room to become RF64 once
// its length is known: a JUNK chunk that an RF64 file's ds64 chunk takes the
// place of when `dataBytes` exceeds `wavLimit`.
inline constexpr unsigned kGrowableWavHeaderBytes = 80;
std::vector<uint8_t> GrowableWavHeader(double sampleRate, unsigned channels, SampleEncoding encoding,
                                       uint64_t dataBytes, uint64_t wavLimit);
// Decodes PCM 16/24/32-bit and float 32/64-bit WAV and RF64 data.
bool DecodeWav(const std::vector<uint8_t>& bytes, AudioData& audio, std::string& error);

}  // namespace vellox::cli
