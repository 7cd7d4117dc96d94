#include "IEffectVST3View.h"

#include <cstring>

#include "IEffectVST3.h"
#include "IGraphics.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;

IEffectVST3View::IEffectVST3View(IEffectVST3* plug) : CPluginView(nullptr), mPlug(plug) {
  mPlug->addRef();
}

IEffectVST3View::~IEffectVST3View() {
  // Hosts open one view at a time; a dying view forgets all of them.
  mPlug->EditorViews.clear();
  mPlug->release();
}

const char* IEffectVST3View::SupportedPlatformType() {
#ifdef _WIN32
  return kPlatformTypeHWND;
#else
  return nullptr;
#endif
}

static bool IsSupportedType(FIDString type) {
  const char* supported = IEffectVST3View::SupportedPlatformType();
  return supported && type && std::strcmp(type, supported) == 0;
}

IGraphics* IEffectVST3View::Editor() const {
  return static_cast<IGraphics*>(mPlug->Graphics());
}

tresult PLUGIN_API IEffectVST3View::isPlatformTypeSupported(FIDString type) {
  if (!Editor())
    return kResultFalse;
  return IsSupportedType(type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IEffectVST3View::attached(void* parent, FIDString type) {
  IGraphics* editor = Editor();
  if (!editor)
    return kResultFalse;
  if (IsSupportedType(type))
    editor->OpenEditorWindow(parent);
  mPlug->EditorOpened();
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3View::removed() {
  if (IGraphics* editor = Editor()) {
    mPlug->EditorClosed();
    editor->CloseEditorWindow();
  }
  systemWindow = nullptr;
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3View::getSize(ViewRect* size) {
  IGraphics* editor = Editor();
  if (!editor || !size)
    return kResultFalse;
  *size = ViewRect(0, 0, editor->Width(), editor->Height());
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3View::onSize(ViewRect* newSize) {
  if (newSize) {
    rect = *newSize;
    if (ResizePending) {
      mPlug->EditorFrameResized();
      ResizePending = false;
    }
  }
  return kResultOk;
}

bool IEffectVST3View::RequestFrameSize(int width, int height) {
  if (!plugFrame)
    return false;
  ResizePending = true;
  ViewRect wanted(0, 0, width, height);
  plugFrame->resizeView(this, &wanted);
  return true;
}
