#include "audio_format.h"

#include "platform.h"

#include <algorithm>
#include <cctype>

namespace vellox::cli {

namespace {

std::string LowerExtension(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

bool ContainerFor(const std::string& ext, Container& container) {
  if (ext == "wav" || ext == "wave")
    container = Container::kWav;
  else if (ext == "aif" || ext == "aiff")
    container = Container::kAiff;
  else if (ext == "flac")
    container = Container::kFlac;
  else if (ext == "ogg" || ext == "oga")
    container = Container::kOgg;
  else
    return false;
  return true;
}

const char* ContainerName(Container container) {
  switch (container) {
    case Container::kWav: return "WAV";
    case Container::kAiff: return "AIFF";
    case Container::kFlac: return "FLAC";
    case Container::kOgg: return "Ogg Vorbis";
  }
  return "";
}

}  // namespace

bool ChooseOutputFormat(const std::string& path, const std::string& formatOption, OutputFormat& format,
                        std::string& error) {
  const std::string ext = LowerExtension(path);
  // A pipe or a device (/dev/stdout) has no extension to tell: it gets WAV.
  if (!ContainerFor(ext, format.container) && platform::IsPipeOrDevice(path))
    format.container = Container::kWav;
  else if (!ContainerFor(ext, format.container)) {
    error = "cannot tell the output format from \"" + path + "\": use .wav, .aif, .aiff, .flac or .ogg";
    return false;
  }
  if (!CodecWrites(format.container)) {
    error = std::string("this build writes WAV only, not ") + ContainerName(format.container) + " (" + path + ")";
    return false;
  }
  if (format.container == Container::kOgg) {
    if (!formatOption.empty()) {
      error = "--format does not apply to Ogg Vorbis output, which is always compressed";
      return false;
    }
    format.encoding = SampleEncoding::kVorbis;
    return true;
  }
  if (formatOption.empty()) {
    format.encoding = format.container == Container::kFlac ? SampleEncoding::kPcm24 : SampleEncoding::kFloat32;
    return true;
  }
  if (formatOption == "16")
    format.encoding = SampleEncoding::kPcm16;
  else if (formatOption == "24")
    format.encoding = SampleEncoding::kPcm24;
  else if (formatOption == "32")
    format.encoding = SampleEncoding::kPcm32;
  else if (formatOption == "float")
    format.encoding = SampleEncoding::kFloat32;
  else {
    error = "--format takes 16, 24, 32 or float, got \"" + formatOption + "\"";
    return false;
  }
  if (format.container == Container::kFlac &&
      (format.encoding == SampleEncoding::kPcm32 || format.encoding == SampleEncoding::kFloat32)) {
    error = "FLAC holds 16- or 24-bit samples only, not --format " + formatOption;
    return false;
  }
  return true;
}

std::string DescribeFormat(const OutputFormat& format) {
  const char* encoding = "";
  switch (format.encoding) {
    case SampleEncoding::kPcm16: encoding = "16-bit "; break;
    case SampleEncoding::kPcm24: encoding = "24-bit "; break;
    case SampleEncoding::kPcm32: encoding = "32-bit integer "; break;
    case SampleEncoding::kFloat32: encoding = "32-bit float "; break;
    case SampleEncoding::kVorbis: break;
  }
  return encoding + std::string(ContainerName(format.container));
}

}  // namespace vellox::cli
