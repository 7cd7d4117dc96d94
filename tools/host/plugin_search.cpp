#include "plugin_search.h"

#include <cstdlib>
#include <filesystem>

#include "executable_path.h"
#include "module_library.h"

#include "platform.h"

namespace vellox::cli {

namespace {

constexpr const char* kBundleName = "Vellox.vst3";

}  // namespace

SearchContext CurrentSearchContext() {
  SearchContext context;
  context.executableDir = ExecutableDirectory();
  platform::FillSearchContext(context);
  return context;
}

std::vector<SearchPlace> PluginSearchPlaces(const SearchContext& context) {
  std::vector<SearchPlace> places;
  if (!context.executableDir.empty())
    places.push_back(
        {platform::JoinPath(context.executableDir, kBundleName), "beside this program, in its build tree"});
  for (auto& place : platform::SystemSearchPlaces(context, kBundleName)) {
    bool listed = false;
    for (const auto& earlier : places) listed = listed || earlier.bundle == place.bundle;
    if (!listed) places.push_back(std::move(place));
  }
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
