#include "executable_path.h"

#include "plugin_search.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellox::cli {

namespace {

std::filesystem::path ExecutableFile() {
  std::filesystem::path exe;
#ifdef _WIN32
  wchar_t buffer[32768];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length == 0 || length >= std::size(buffer)) return {};
  exe = std::filesystem::path(std::wstring(buffer, length));
#else
  std::error_code ec;
  exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
#endif
  return exe;
}

std::string Utf8(const std::filesystem::path& path) {
  const auto u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

}  // namespace

std::string ExecutableDirectory() {
  const std::filesystem::path exe = ExecutableFile();
  return exe.empty() ? std::string() : Utf8(exe.parent_path());
}

std::string DefaultPluginPath() {
  SearchPlace found;
  std::string error;
  if (FindPlugin(PluginSearchPlaces(CurrentSearchContext()), found, error)) return found.bundle;
  const std::string dir = ExecutableDirectory();
  return dir.empty() ? std::string("Vellox.vst3") : Utf8(std::filesystem::u8path(dir) / "Vellox.vst3");
}

}  // namespace vellox::cli
