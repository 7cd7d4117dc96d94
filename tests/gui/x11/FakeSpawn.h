#pragma once
// The module starts the desktop's opener with posix_spawnp; this program
// defines that function itself, so the module's call lands here and nothing
// is started. Each call is written down as "file arg1 arg2 ...".
#include <string>
#include <vector>

namespace vellox::test {
std::vector<std::string>& SpawnedCommands();
}
