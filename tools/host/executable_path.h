#pragma once
#include <string>

namespace vellox::cli {

// Directory of the running program (UTF-8), empty if it cannot be found.
std::string ExecutableDirectory();

// The bundle the tool loads when none is named: Vellox.vst3 beside the program.
std::string DefaultPluginPath();

}  // namespace vellox::cli
