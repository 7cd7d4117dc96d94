// File access through the built-in RIFF codec, for builds without libsndfile.
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

#include "wav_io.h"

namespace vellox::cli {
namespace {

FILE* OpenFile(const std::string& path, bool write) {
#ifdef _WIN32
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0)), L'\0');
  if (wide.empty()) return nullptr;
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  return _wfopen(wide.c_str(), write ? L"wb" : L"rb");
#else
  return std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

}  // namespace

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error) {
  FILE* file = OpenFile(path, false);
  if (!file) {
    error = "cannot read " + path + ": cannot open the file";
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
  FILE* file = OpenFile(path, true);
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
