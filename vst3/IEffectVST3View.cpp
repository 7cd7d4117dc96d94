#include "IEffectVST3View.h"

#include <cstring>

#include "IEffectVST3.h"
#include "IGraphics.h"
#include "IGraphicsPlatform.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;

IEffectVST3View::IEffectVST3View(IEffectVST3* plug) : CPluginView(nullptr), mPlug(plug) { mPlug->addRef(); }

IEffectVST3View::~IEffectVST3View() {
  // Hosts open one view at a time; a dying view forgets all of them.
  mPlug->EditorViews.clear();
  mPlug->release();
}

const char* IEffectVST3View::SupportedPlatformType() { return PlatformWindowType(); }

static bool IsSupportedType(FIDString type) {
  const char* supported = IEffectVST3View::SupportedPlatformType();
  return supported && type && std::strcmp(type, supported) == 0;
}

IGraphics* IEffectVST3View::Editor() const { return static_cast<IGraphics*>(mPlug->Graphics()); }

// Every host-facing method below is an exception barrier: whatever goes
// wrong inside answers kResultFalse (or does nothing) instead of unwinding
// into the host.

tresult PLUGIN_API IEffectVST3View::isPlatformTypeSupported(FIDString type) {
  try {
    if (!Editor()) return kResultFalse;
    return IsSupportedType(type) ? kResultTrue : kResultFalse;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3View::attached(void* parent, FIDString type) {
  try {
    IGraphics* editor = Editor();
    if (!editor) return kResultFalse;
    // A window layer that needs a host service it was not given refuses.
    if (IsSupportedType(type) && !OpenPlatformEditorWindow(*editor, parent, plugFrame)) return kResultFalse;
    mPlug->EditorOpened();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3View::removed() {
  try {
    if (IGraphics* editor = Editor()) {
      mPlug->EditorClosed();
      editor->CloseEditorWindow();
    }
  } catch (...) {}
  systemWindow = nullptr;
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3View::getSize(ViewRect* size) {
  try {
    IGraphics* editor = Editor();
    if (!editor || !size) return kResultFalse;
    *size = ViewRect(0, 0, editor->Width(), editor->Height());
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3View::onSize(ViewRect* newSize) {
  try {
    if (newSize) {
      rect = *newSize;
      if (ResizePending) {
        mPlug->EditorFrameResized();
        ResizePending = false;
      }
    }
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3View::setFrame(IPlugFrame* frame) {
  try {
    return CPluginView::setFrame(frame);
  } catch (...) {
    return kResultFalse;
  }
}

bool IEffectVST3View::RequestFrameSize(int width, int height) {
  if (!plugFrame) return false;
  ResizePending = true;
  ViewRect wanted(0, 0, width, height);
  plugFrame->resizeView(this, &wanted);
  return true;
}
