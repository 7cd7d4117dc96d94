#pragma once
// The texts of `vellox --help` and `vellox COMMAND --help`.
#include <string>

namespace vellox::cli {

std::string MainHelp();

// The help of `command`; false when there is no such command.
bool CommandHelp(const std::string& command, std::string& text);

}  // namespace vellox::cli
