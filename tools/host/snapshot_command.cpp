// `vellox snapshot`: options and report; the picture itself comes from the
// platform's WriteEditorSnapshot.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "executable_path.h"
#include "option_reader.h"
#include "output_path.h"
#include "snapshot.h"

namespace vellox::cli {

namespace {
bool ReadScale(OptionReader& reader, const std::string& option, double& scale, std::string& error) {
  std::string text;
  if (!reader.Value(option, text, error)) return false;
  char* end = nullptr;
  scale = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(scale >= 1.0 && scale <= 3.0)) {
    error = "--scale needs a number from 1 to 3, not \"" + text + "\"";
    return false;
  }
  return true;
}

bool EndsWithPng(std::string path) {
  std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
  return path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
}

bool BundleExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::u8path(path), ignored);
}

// One option and its value; false with `error` set for a wrong one.
bool ReadSnapshotOption(OptionReader& reader, const std::string& option, SnapshotRequest& request, std::string& error) {
  if (option == "--out") return reader.Value(option, request.output, error);
  if (option == "--plugin") return reader.Value(option, request.plugin, error);
  if (option == "--scale") return ReadScale(reader, option, request.scale, error);
  if (option == "--set") return reader.AssignmentValue(option, request.assignments, error);
  error = "unknown option \"" + option + "\" for snapshot";
  return false;
}
}  // namespace

int RunSnapshot(const std::vector<std::string>& args, Console& console) {
  SnapshotRequest request;
  OptionReader reader(args);
  std::string option, error;
  while (reader.Next(option)) {
    if (!(option == "--set" || reader.Once(option, error)) || !ReadSnapshotOption(reader, option, request, error))
      return Fail(console, error, kExitUsage);
  }
  if (request.output.empty()) return Fail(console, "snapshot needs --out FILE.png", kExitUsage);
  if (!EndsWithPng(request.output))
    return Fail(console, "snapshot writes PNG pictures only: --out needs a name ending in .png, not " + request.output,
                kExitUsage);
  if (!CheckOutputPath(request.output, error)) return Fail(console, error);
  if (!request.plugin.empty() && !BundleExists(request.plugin))
    return Fail(console, "plug-in not found: " + request.plugin);
  if (request.plugin.empty()) request.plugin = DefaultPluginPath();

  SnapshotResult result;
  if (!WriteEditorSnapshot(request, result, error)) return Fail(console, error);
  if (!result.note.empty()) console.err << "vellox: note: " << result.note << "\n";
  console.out << "editor " << result.width << " x " << result.height << " (" << result.method << ")\n"
              << "wrote " << request.output << "\n";
  return kExitOk;
}

}  // namespace vellox::cli
