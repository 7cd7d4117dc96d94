#pragma once
// Where the tool looks for Vellox.vst3 when no --plugin is given: the places a
// host would scan, so that `vellox` finds the bundle the DAW finds.
#include <string>
#include <vector>

namespace vellox::cli {

struct SearchPlace {
  std::string bundle;  // candidate bundle path (UTF-8)
  std::string label;   // what the place is, for messages
};

// The inputs of the search, separated so that tests can stage them.
struct SearchContext {
  std::string executableDir;       // folder of the running program; empty if unknown
  std::string home;                // Linux: $HOME
  std::string commonProgramFiles;  // Windows: %CommonProgramFiles%
};

// The context of this process.
SearchContext CurrentSearchContext();

// Candidates in search order: the build tree beside the program, then the
// platform's VST 3 folders, then the folder the program was installed with.
std::vector<SearchPlace> PluginSearchPlaces(const SearchContext& context);

// The first candidate that holds a bundle with a module binary; false with
// `error` naming every place tried.
bool FindPlugin(const std::vector<SearchPlace>& places, SearchPlace& found, std::string& error);

// `named` when the user gave --plugin, otherwise the first bundle found where a host looks.
bool ChoosePlugin(const std::string& named, SearchPlace& chosen, std::string& error);

}  // namespace vellox::cli
