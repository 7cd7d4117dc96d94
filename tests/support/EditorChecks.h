#pragma once
// Checks the editor tests of every window layer share: the picture a window
// shows against the editor as it must look, host automation of one block and
// saving a picture for a person to look at.
#include <string>

#include "ExpectedEditor.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace vellox::host {
class PluginInstance;
}

namespace vellox::test {

// Every control's rectangle, then the whole editor, pixel for pixel.
void ExpectEditorShows(const host::RgbaImage& shown, const EditorValues& values);

// One processed block of silence that carries the value, as host automation.
void AutomateOneBlock(host::PluginInstance& instance, Steinberg::Vst::ParamID id, double normalized, int frames);

void SaveEditorPicture(const host::RgbaImage& image, const std::string& directory, const std::string& name);

}  // namespace vellox::test
