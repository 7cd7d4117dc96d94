#pragma once
#include <string>

namespace vellox::cli {

// Folder of the running program (UTF-8); empty if the system does not say.
std::string ExecutableDirectory();

// The bundle the tool loads when none is named: the first one found where a
// host looks, or Vellox.vst3 beside the program when there is none.
std::string DefaultPluginPath();

}  // namespace vellox::cli
