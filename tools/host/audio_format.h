#pragma once
// The output file's kind (from its extension) and sample encoding (--format).
#include <string>

namespace vellox::cli {

enum class Container { kWav, kAiff, kFlac, kOgg };
enum class SampleEncoding { kPcm16, kPcm24, kPcm32, kFloat32, kVorbis };

struct OutputFormat {
  Container container = Container::kWav;
  SampleEncoding encoding = SampleEncoding::kFloat32;
};

// Picks the format for `path`. `formatOption` is the --format value ("16",
// "24", "32", "float") or empty for the container's default: 32-bit float for
// WAV and AIFF, 24-bit for FLAC, Vorbis for Ogg. False with `error` set when
// the extension is unknown, the codec cannot write it, or the container cannot
// hold the encoding.
bool ChooseOutputFormat(const std::string& path, const std::string& formatOption, OutputFormat& format,
                        std::string& error);

// "32-bit float WAV", for the report line.
std::string DescribeFormat(const OutputFormat& format);

// Implemented by the codec in use: whether it can write `container`.
bool CodecWrites(Container container);

// One help paragraph naming what this build reads and writes.
const char* CodecHelp();

}  // namespace vellox::cli
