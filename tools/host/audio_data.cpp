#include "audio_data.h"

#include <cmath>

namespace vellox::cli {

double PeakLevel(const AudioData& audio) {
  double peak = 0.0;
  for (const auto& channel : audio.channels)
    for (double s : channel) peak = std::fmax(peak, std::fabs(s));
  return peak;
}

}  // namespace vellox::cli
