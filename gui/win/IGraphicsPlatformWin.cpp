// Windows: the editor window inside the host's HWND, with the artwork read
// from the module's own "PNG" resources.
#include "IGraphicsPlatform.h"
#include "IGraphicsWin.h"

IGraphics* CreatePlatformGraphics(IEffectBase* plug, int width, int height, int frameRate,
                                  const IGraphicsArtworkSource& artwork) {
  return new IGraphicsWin(plug, width, height, frameRate, artwork.moduleHandle);
}

const char* PlatformWindowType() { return "HWND"; }

bool OpenPlatformEditorWindow(IGraphics& editor, void* parent, Steinberg::FUnknown* hostFrame) {
  return editor.OpenEditorWindow(parent) != nullptr;
}
