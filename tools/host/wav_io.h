#pragma once
// WAV reading and writing. Output is always 32-bit float WAV.
#include <cstdint>
#include <string>
#include <vector>

#include "audio_data.h"

namespace vellox::cli {

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error);
bool WriteAudioFile(const std::string& path, const AudioData& audio, std::string& error);

// The self-contained RIFF codec used where no audio library is available.
std::vector<uint8_t> EncodeWavFloat32(const AudioData& audio);
// Decodes PCM 16/24/32-bit and float 32/64-bit WAV data.
bool DecodeWav(const std::vector<uint8_t>& bytes, AudioData& audio, std::string& error);

}  // namespace vellox::cli
