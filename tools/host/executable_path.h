#pragma once
#include <string>

namespace vellox::cli {

// The bundle the tool loads when none is named: Vellox.vst3 beside the program.
std::string DefaultPluginPath();

}  // namespace vellox::cli
