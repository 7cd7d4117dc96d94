// Platforms without a window layer: the editor lives off-screen with the
// embedded artwork, and no host window type is supported.
#include "IGraphicsHeadless.h"
#include "IGraphicsPlatform.h"

IGraphics* CreatePlatformGraphics(IEffectBase* plug, int width, int height, int frameRate,
                                  const IGraphicsArtworkSource& artwork) {
  return new IGraphicsHeadless(plug, width, height, frameRate, artwork.embedded);
}

const char* PlatformWindowType() { return nullptr; }

bool OpenPlatformEditorWindow(IGraphics& editor, void* parent, Steinberg::FUnknown* hostFrame) { return false; }
