// Linux: the editor window inside the host's X window, with the artwork
// compiled into the module. The window lives on the host's run loop, which
// the host offers through its plug-in frame.
#include "IGraphicsPlatform.h"
#include "IGraphicsX11.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;

IGraphics* CreatePlatformGraphics(IEffectBase* plug, int width, int height, int frameRate,
                                  const IGraphicsArtworkSource& artwork) {
  return new IGraphicsX11(plug, width, height, frameRate, artwork.embedded);
}

const char* PlatformWindowType() { return "X11EmbedWindowID"; }

bool OpenPlatformEditorWindow(IGraphics& editor, void* parent, FUnknown* hostFrame) {
  auto* x11 = dynamic_cast<IGraphicsX11*>(&editor);
  if (!x11) return editor.OpenEditorWindow(parent) != nullptr;
  Linux::IRunLoop* loop = nullptr;
  if (!hostFrame || hostFrame->queryInterface(Linux::IRunLoop_iid, reinterpret_cast<void**>(&loop)) != kResultOk ||
      !loop)
    return false;  // a plug-in may not run a loop of its own: no run loop, no window
  x11->SetRunLoop(loop);
  const bool opened = x11->OpenEditorWindow(parent) != nullptr;
  x11->SetRunLoop(nullptr);
  loop->release();
  return opened;
}
