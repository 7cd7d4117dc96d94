#include "IEffectVST3View.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "IEffectVST3.h"
#include "IGraphics.h"
#include "IGraphicsPlatform.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;

namespace {

// The attached views of every effect, oldest first. View calls come on the
// host's user-interface thread only.
std::vector<IEffectVST3View*>& AttachedViews() {
  static std::vector<IEffectVST3View*> views;
  return views;
}

}  // namespace

IEffectVST3View::IEffectVST3View(IEffectVST3* plug) : CPluginView(nullptr), mPlug(plug) { mPlug->addRef(); }

IEffectVST3View::~IEffectVST3View() {
  // A host that drops an attached view without removing it first.
  try {
    if (IsAttached()) {
      mPlug->EditorClosed();
      Detach();
    }
  } catch (...) {}
  // The effect's other views live on: a host that re-docks its editor
  // releases the old view while the new one is in use.
  auto& views = mPlug->mEditorViews;
  views.erase(std::remove(views.begin(), views.end(), this), views.end());
  mPlug->release();
}

bool IEffectVST3View::IsAttached() const {
  const auto& views = AttachedViews();
  return std::find(views.begin(), views.end(), this) != views.end();
}

IEffectVST3View* IEffectVST3View::ShowingView(const IEffectVST3* plug) {
  const auto& views = AttachedViews();
  for (auto it = views.rbegin(); it != views.rend(); ++it)
    if ((*it)->mPlug == plug) return *it;
  return nullptr;
}

bool IEffectVST3View::ShowsEditor() const { return ShowingView(mPlug) == this; }

void IEffectVST3View::Detach() {
  const bool shown = ShowsEditor();
  auto& views = AttachedViews();
  views.erase(std::remove(views.begin(), views.end(), this), views.end());
  mParent = nullptr;
  if (!shown) return;
  if (IGraphics* editor = Editor()) editor->CloseEditorWindow();
  ShowInNewestView(mPlug);
}

void IEffectVST3View::ShowInNewestView(IEffectVST3* plug) {
  auto* editor = static_cast<IGraphics*>(plug->Graphics());
  const auto& views = AttachedViews();
  for (auto it = views.rbegin(); it != views.rend(); ++it) {
    if ((*it)->mPlug != plug) continue;
    if (!editor) return;
    editor->SetContentScale((*it)->ContentScale());
    if (!editor->HasWindow()) OpenPlatformEditorWindow(*editor, (*it)->mParent, (*it)->plugFrame);
    return;
  }
}

ViewRect IEffectVST3View::SizeAtScale() const {
  const IGraphics* editor = Editor();
  if (!editor) return ViewRect();
  const double scale = ContentScale();
  auto device = [scale](int v) { return scale == 1.0 ? v : int(std::lround(v * scale)); };
  return ViewRect(0, 0, device(editor->Width()), device(editor->Height()));
}

ViewRect IEffectVST3View::KnownSize() const {
  if (mKnownWidth > 0 && mKnownHeight > 0) return ViewRect(0, 0, mKnownWidth, mKnownHeight);
  const IGraphics* editor = Editor();
  return editor ? ViewRect(0, 0, editor->Width(), editor->Height()) : ViewRect();
}

void IEffectVST3View::RequestSizeAtScale() {
  const ViewRect wanted = SizeAtScale();
  const ViewRect known = KnownSize();
  if (wanted.getWidth() != known.getWidth() || wanted.getHeight() != known.getHeight())
    RequestFrameSize(wanted.getWidth(), wanted.getHeight());
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
    if (!editor || !IsSupportedType(type)) return kResultFalse;
    if (IsAttached()) {  // attached again without being removed: moves to the new parent
      mPlug->EditorClosed();
      Detach();
    }
    // A parent that cannot hold the window, or a window layer that needs a
    // host service it was not given, refuses; the view can be attached later,
    // and a view attached before keeps the editor.
    // This is the host's user-interface thread, and the window opens at this
    // view's factor.
    editor->AdoptCallingThread();
    editor->SetContentScale(ContentScale());
    if (!OpenPlatformEditorWindow(*editor, parent, plugFrame)) {
      ShowInNewestView(mPlug);
      return kResultFalse;
    }
    mParent = parent;
    AttachedViews().push_back(this);
    mPlug->EditorOpened();
    // A factor set before attaching: the host's frame has the size it knew.
    RequestSizeAtScale();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3View::removed() {
  try {
    if (IsAttached()) {
      mPlug->EditorClosed();
      Detach();
    }
  } catch (...) {}
  systemWindow = nullptr;
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3View::getSize(ViewRect* size) {
  try {
    IGraphics* editor = Editor();
    if (!editor || !size) return kResultFalse;
    if (mRequesting) {
      *size = KnownSize();
      return kResultOk;
    }
    *size = SizeAtScale();
    mKnownWidth = size->getWidth();
    mKnownHeight = size->getHeight();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3View::onSize(ViewRect* newSize) {
  try {
    if (newSize) {
      rect = *newSize;
      // The host has answered: its frame has this size now.
      mRequesting = false;
      mKnownWidth = newSize->getWidth();
      mKnownHeight = newSize->getHeight();
      if (mResizePending) {
        mPlug->EditorFrameResized();
        mResizePending = false;
      }
    }
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3View::setContentScaleFactor(ScaleFactor factor) {
  try {
    IGraphics* editor = Editor();
    const double scale = double(factor);
    if (!editor || !(scale >= 1.0 && scale <= 3.0)) return kResultFalse;
    mScale.store(scale, std::memory_order_relaxed);
    // Another view's window keeps its own factor.
    if (ShowsEditor()) editor->SetContentScale(scale);
    if (IsAttached()) RequestSizeAtScale();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3View::queryInterface(const TUID iid, void** obj) {
  QUERY_INTERFACE(iid, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
  return CPluginView::queryInterface(iid, obj);
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
  mResizePending = true;
  const ViewRect known = KnownSize();
  mKnownWidth = known.getWidth();
  mKnownHeight = known.getHeight();
  ViewRect wanted(0, 0, width, height);
  mRequesting = true;
  plugFrame->resizeView(this, &wanted);
  // Whether or not the host answered with onSize, it has been told.
  mRequesting = false;
  mKnownWidth = width;
  mKnownHeight = height;
  return true;
}
