#include "executable_path.h"

#include "plugin_search.h"

#include <filesystem>
#include <system_error>

#include "platform.h"

namespace vellox::cli {

namespace {

std::string Utf8(const std::filesystem::path& path) {
  const auto u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

}  // namespace

std::string ExecutableDirectory() {
  const std::string exe = platform::ExecutableFile();
  return exe.empty() ? std::string() : Utf8(std::filesystem::u8path(exe).parent_path());
}

std::string DefaultPluginPath() {
  SearchPlace found;
  std::string error;
  if (FindPlugin(PluginSearchPlaces(CurrentSearchContext()), found, error)) return found.bundle;
  const std::string dir = ExecutableDirectory();
  return dir.empty() ? std::string("Vellox.vst3") : Utf8(std::filesystem::u8path(dir) / "Vellox.vst3");
}

}  // namespace vellox::cli
