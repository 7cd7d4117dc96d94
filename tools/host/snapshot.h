#pragma once
// `vellox snapshot`: a picture of the editor as the host shows it.
#include <string>
#include <vector>

#include "cli.h"

namespace Steinberg {
class IPlugView;
}

namespace vellox::host {
class PluginInstance;
struct RgbaImage;
}  // namespace vellox::host

namespace vellox::cli {

struct SnapshotRequest {
  std::string output;                    // PNG file to write (UTF-8 path)
  std::string plugin;                    // bundle to load where the editor lives in a window
  std::vector<std::string> assignments;  // NAME=VALUE, applied before the picture is taken
  double scale = 1.0;                    // content scale of the editor, 1 to 3
};

struct SnapshotResult {
  int width = 0;
  int height = 0;
  std::string method;  // how the picture was made, for the report line
  std::string note;    // one line for standard error, when the way changed on its own
};

// Opens the editor with the settings applied, lets it paint and writes the
// picture to request.output. Platform-specific: a real window on Windows, and
// on Linux when an X display is available; the off-screen editor otherwise.
bool WriteEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error);

// Starts the instance and hands it the NAME=VALUE settings with one
// processed block, as a host's automation would.
bool ApplySnapshotSettings(host::PluginInstance& instance, const std::vector<std::string>& assignments,
                           std::string& error);

// Opens the module's view in a window of the platform, lets it paint and
// reads the picture back; error says what went wrong.
using ViewCapture = bool (*)(Steinberg::IPlugView& view, host::RgbaImage& image, std::string& error);

// The snapshot through the loaded module's own view: the module is loaded,
// the settings applied, the view captured by `capture` and the PNG written.
bool WriteViewSnapshot(const SnapshotRequest& request, SnapshotResult& result, ViewCapture capture, std::string& error);

// The picture from the effect built in this process, painted off-screen.
bool WriteOffscreenEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error);

int RunSnapshot(const std::vector<std::string>& args, Console& console);

}  // namespace vellox::cli
