#pragma once
// The built-in test signal rendered when no input file is given: a stereo
// chord progression over a bass line, long enough to hear several chop cycles.
#include "audio_data.h"

namespace vellox::cli {

inline constexpr double kDemoSeconds = 4.0;

AudioData MakeDemoSignal(double sampleRate);

}  // namespace vellox::cli
