#pragma once

#include "IGraphics.h"

namespace Steinberg {
class FUnknown;
}

// Where the editor's artwork can come from: the module's own resources (the
// module handle, used where the platform keeps resources in the module) and
// the PNG bytes compiled into the module, by resource id.
struct IGraphicsArtworkSource {
  void* moduleHandle = nullptr;
  const unsigned char* (*embedded)(int id, int* size) = nullptr;
};

// The one place that picks the editor's window layer for the platform the
// module is built for: the Windows window, the X11 window, or the off-screen
// editor where there is no window layer. Exactly one implementation is built.
IGraphics* CreatePlatformGraphics(IEffectBase* plug, int width, int height, int frameRate,
                                  const IGraphicsArtworkSource& artwork);

// The host window type the window layer lives in ("HWND", "X11EmbedWindowID"),
// or null where the editor has no window.
const char* PlatformWindowType();

// Opens the editor window of a graphics object made by CreatePlatformGraphics
// inside the host's parent window; false when no window could be made there.
// hostFrame is the host's IPlugFrame, or null; a window layer that needs a
// service of the host (the X11 run loop) refuses to open without it.
bool OpenPlatformEditorWindow(IGraphics& editor, void* parent, Steinberg::FUnknown* hostFrame);
