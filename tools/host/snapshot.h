#pragma once
// `vellox snapshot`: a picture of the editor as the host shows it.
#include <string>
#include <vector>

#include "cli.h"

namespace Steinberg {
class IPlugView;
}

namespace vellox::host {
class ModuleLibrary;
class PluginInstance;
struct RgbaImage;
}  // namespace vellox::host

namespace vellox::cli {

struct SnapshotRequest {
  std::string output;                    // PNG file to write (UTF-8 path)
  std::string plugin;                    // bundle whose editor is painted
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
// on Linux when an X display is available; otherwise the module paints its
// editor off-screen.
bool WriteEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error);

// Starts the instance and hands it the NAME=VALUE settings with one
// processed block, as a host's automation would.
bool ApplySnapshotSettings(host::PluginInstance& instance, const std::vector<std::string>& assignments,
                           std::string& error);

// The loaded module's editor: its view, at the requested scale, and the
// instance it belongs to.
struct LoadedEditor {
  const host::ModuleLibrary& module;
  host::PluginInstance& instance;
  Steinberg::IPlugView& view;
  double scale;  // the content scale the view was given
};

// Lets the editor paint and reads the picture back; error says what went wrong.
using EditorCapture = bool (*)(const LoadedEditor& editor, host::RgbaImage& image, std::string& error);

// The snapshot through the loaded module's own view: the module is loaded,
// the settings applied, the view made and scaled, the picture taken by
// `capture` and the PNG written. `method` names the way in the report line.
bool WriteViewSnapshot(const SnapshotRequest& request, SnapshotResult& result, EditorCapture capture,
                       const char* method, std::string& error);

// The picture the module paints of its editor without a window (Linux).
bool WriteOffscreenEditorSnapshot(const SnapshotRequest& request, SnapshotResult& result, std::string& error);

int RunSnapshot(const std::vector<std::string>& args, Console& console);

}  // namespace vellox::cli
