#pragma once
// Planar audio held by the command-line tool between file and effect.
#include <cstddef>
#include <vector>

namespace vellox::cli {

struct AudioData {
  double sampleRate = 44100.0;
  std::vector<std::vector<double>> channels;

  size_t Frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

// Largest absolute sample over all channels.
double PeakLevel(const AudioData& audio);

}  // namespace vellox::cli
