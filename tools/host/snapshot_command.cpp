// `vellox snapshot`: options and report; the picture itself comes from the
// platform's WriteEditorSnapshot.
#include <cstdlib>

#include "executable_path.h"
#include "option_reader.h"
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
}  // namespace

int RunSnapshot(const std::vector<std::string>& args, Console& console) {
  SnapshotRequest request;
  OptionReader reader(args);
  std::string option, error;
  while (reader.Next(option)) {
    bool ok = option == "--set" || reader.Once(option, error);
    if (!ok) {
    } else if (option == "--out")
      ok = reader.Value(option, request.output, error);
    else if (option == "--plugin")
      ok = reader.Value(option, request.plugin, error);
    else if (option == "--scale")
      ok = ReadScale(reader, option, request.scale, error);
    else if (option == "--set")
      ok = reader.AssignmentValue(option, request.assignments, error);
    else {
      error = "unknown option \"" + option + "\" for snapshot";
      ok = false;
    }
    if (!ok) return Fail(console, error, kExitUsage);
  }
  if (request.output.empty()) return Fail(console, "snapshot needs --out FILE.png", kExitUsage);
  if (request.plugin.empty()) request.plugin = DefaultPluginPath();

  SnapshotResult result;
  if (!WriteEditorSnapshot(request, result, error)) return Fail(console, error);
  if (!result.note.empty()) console.err << "vellox: note: " << result.note << "\n";
  console.out << "editor " << result.width << " x " << result.height << " (" << result.method << ")\n"
              << "wrote " << request.output << "\n";
  return kExitOk;
}

}  // namespace vellox::cli
