#include "plugin_search.h"

#include <cstdlib>
#include <filesystem>

#include "executable_path.h"
#include "module_library.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellox::cli {

namespace {

constexpr const char* kBundleName = "Vellox.vst3";

std::string Join(const std::string& dir, const std::string& rest) {
  if (dir.empty()) return rest;
#ifdef _WIN32
  const char separator = '\\';
  const bool ends = dir.back() == '\\' || dir.back() == '/';
#else
  const char separator = '/';
  const bool ends = dir.back() == '/';
#endif
  return ends ? dir + rest : dir + separator + rest;
}

#ifdef _WIN32
std::string Environment(const wchar_t* name) {
  wchar_t buffer[32768];
  const DWORD length = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length == 0 || length >= std::size(buffer)) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), text.data(), size, nullptr, nullptr);
  return text;
}
#endif

}  // namespace

SearchContext CurrentSearchContext() {
  SearchContext context;
  context.executableDir = ExecutableDirectory();
#ifdef _WIN32
  context.commonProgramFiles = Environment(L"CommonProgramFiles");
#else
  if (const char* home = std::getenv("HOME")) context.home = home;
#endif
  return context;
}

std::vector<SearchPlace> PluginSearchPlaces(const SearchContext& context) {
  std::vector<SearchPlace> places;
  if (!context.executableDir.empty())
    places.push_back({Join(context.executableDir, kBundleName), "beside this program, in its build tree"});
#ifdef _WIN32
  if (!context.commonProgramFiles.empty())
    places.push_back({Join(context.commonProgramFiles, std::string("VST3\\") + kBundleName),
                      "the system VST 3 folder %CommonProgramFiles%\\VST3"});
#else
  if (!context.home.empty())
    places.push_back({Join(context.home, std::string(".vst3/") + kBundleName), "the user's VST 3 folder ~/.vst3"});
  places.push_back({std::string("/usr/lib/vst3/") + kBundleName, "the system VST 3 folder /usr/lib/vst3"});
  places.push_back({std::string("/usr/local/lib/vst3/") + kBundleName, "the local VST 3 folder /usr/local/lib/vst3"});
  // A package unpacked elsewhere (a scratch root, a relocated prefix) keeps
  // the bundle in <prefix>/lib/vst3 beside <prefix>/bin/vellox.
  if (!context.executableDir.empty()) {
    const std::filesystem::path prefix = std::filesystem::path(context.executableDir).parent_path();
    const std::string bundle = (prefix / "lib" / "vst3" / kBundleName).string();
    bool listed = false;
    for (const auto& place : places) listed = listed || place.bundle == bundle;
    if (!listed) places.push_back({bundle, "the VST 3 folder of this program's install prefix"});
  }
#endif
  return places;
}

bool FindPlugin(const std::vector<SearchPlace>& places, SearchPlace& found, std::string& error) {
  std::string tried;
  for (const auto& place : places) {
    std::string why;
    if (!host::ModuleBinaryPath(place.bundle, why).empty()) {
      found = place;
      return true;
    }
    tried += (tried.empty() ? "" : ", ") + place.bundle;
  }
  error = "plug-in not found: no bundle at " + tried + " (name one with --plugin PATH)";
  return false;
}

bool ChoosePlugin(const std::string& named, SearchPlace& chosen, std::string& error) {
  if (!named.empty()) {
    chosen = {named, "named by --plugin"};
    return true;
  }
  return FindPlugin(PluginSearchPlaces(CurrentSearchContext()), chosen, error);
}

}  // namespace vellox::cli
