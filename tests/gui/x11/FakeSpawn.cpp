#include "FakeSpawn.h"

#include <spawn.h>

namespace vellox::test {
std::vector<std::string>& SpawnedCommands() {
  static std::vector<std::string> commands;
  return commands;
}
}  // namespace vellox::test

extern "C" int posix_spawnp(pid_t* pid, const char* file, const posix_spawn_file_actions_t*, const posix_spawnattr_t*,
                            char* const argv[], char* const[]) {
  std::string command = file;
  for (int i = 1; argv[i]; ++i) command += std::string(" ") + argv[i];
  vellox::test::SpawnedCommands().push_back(command);
  if (pid) *pid = 0;  // no child to collect
  return 0;
}
