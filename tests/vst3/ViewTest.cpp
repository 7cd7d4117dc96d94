// The editor view as a host drives it: creation, size, platform types,
// attach/remove hooks, frame resize requests and reference counting.
#include <gtest/gtest.h>

#include "EffectRig.h"
#include "IEffectVST3View.h"
#include "IGraphics.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;

namespace {

// Counts the editor hooks the view calls on the plug-in.
template <class Base>
struct HookCounter : Base {
  using Base::Base;
  void EditorOpened() override { ++opened; }
  void EditorClosed() override { ++closed; }
  void EditorFrameResized() override { ++resized; }
  int opened = 0, closed = 0, resized = 0;
};

using CountingVellox = HookCounter<Vellox>;

// The effect built without an editor.
using EditorlessVellox = HookCounter<VelloxEffect<IEffectVST3>>;

// A host frame that answers a resize request by resizing the view, as hosts do.
struct FakePlugFrame : IPlugFrame {
  tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override {
    requests.push_back(*newSize);
    return view->onSize(newSize);
  }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 2; }
  uint32 PLUGIN_API release() override { return 1; }
  std::vector<ViewRect> requests;
};

bool SameRect(const ViewRect& r, int32 l, int32 t, int32 rr, int32 b) {
  return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

}  // namespace

TEST(EditorView, ReportsTheFixedEditorSizeBeforeAndAfterAttaching) {
  auto* effect = new CountingVellox();
  EffectRig rig(effect);
  IPlugView* view = rig.controller->createView("editor");
  ASSERT_NE(view, nullptr);

  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_TRUE(SameRect(size, 0, 0, 912, 376));

  // No parent window here: no window can be made, so the view is refused
  // and stays as it was.
  EXPECT_EQ(view->attached(nullptr, IEffectVST3View::SupportedPlatformType()), kResultFalse);
  EXPECT_EQ(effect->opened, 0);
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_TRUE(SameRect(size, 0, 0, 912, 376));
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(effect->closed, 0);
  EXPECT_FALSE(static_cast<IGraphics*>(effect->Graphics())->HasWindow());

  EXPECT_EQ(view->canResize(), kResultFalse);
  EXPECT_EQ(view->onFocus(true), kResultFalse);
  EXPECT_EQ(view->onWheel(1.0f), kResultFalse);
  view->release();
}

TEST(EditorView, SupportsOnlyThePlatformWindowType) {
  EffectRig rig;
  IPlugView* view = rig.controller->createView("editor");
  ASSERT_NE(view, nullptr);
#ifdef _WIN32
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
#else
  // The X11 window layer: an X window id, and nothing else.
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowIDX"), kResultFalse);
#endif
  EXPECT_EQ(view->isPlatformTypeSupported("HWNDX"), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeNSView), kResultFalse);
  view->release();
}

// attached() agrees with isPlatformTypeSupported(): what is not supported is
// refused, with no hook run and no window made.
TEST(EditorView, UnsupportedTypesAreRefused) {
  auto* effect = new CountingVellox();
  EffectRig rig(effect);
  IPlugView* view = rig.controller->createView("editor");
  for (FIDString type : {kPlatformTypeNSView, kPlatformTypeHWND, kPlatformTypeX11EmbedWindowID, "", "HWNDX"}) {
    if (view->isPlatformTypeSupported(type) == kResultTrue) continue;
    EXPECT_EQ(view->attached(nullptr, type), kResultFalse) << type;
  }
  EXPECT_EQ(view->attached(nullptr, nullptr), kResultFalse);
  EXPECT_EQ(effect->opened, 0);
  EXPECT_FALSE(static_cast<IGraphics*>(effect->Graphics())->HasWindow());
  view->removed();
  EXPECT_EQ(effect->closed, 0);
  view->release();
}

TEST(EditorView, WithoutAnEditorEverySizeAndAttachQueryIsRefused) {
  auto* effect = new EditorlessVellox(nullptr);
  auto* controller = static_cast<Vst::IEditController*>(effect);
  IPlugView* view = controller->createView("editor");
  ASSERT_NE(view, nullptr);  // a view is made even without an editor
  ViewRect size;
  EXPECT_EQ(view->getSize(&size), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(effect->opened, 0);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(effect->closed, 0);
  effect->ResizeEditorFrame(100, 100);  // nothing to resize
  view->release();
  controller->release();
}

TEST(EditorView, SizeRequestsReachTheHostFrameAndComeBackAsOnSize) {
  auto* effect = new CountingVellox();
  EffectRig rig(effect);
  effect->ResizeEditorFrame(800, 200);  // no view yet: nothing happens
  IPlugView* view = rig.controller->createView("editor");
  effect->ResizeEditorFrame(800, 200);  // a view without a frame: nothing either
  EXPECT_EQ(effect->resized, 0);

  FakePlugFrame frame;
  ASSERT_EQ(view->setFrame(&frame), kResultTrue);
  effect->ResizeEditorFrame(800, 200);
  ASSERT_EQ(frame.requests.size(), 1u);
  EXPECT_TRUE(SameRect(frame.requests[0], 0, 0, 800, 200));
  EXPECT_EQ(effect->resized, 1);
  EXPECT_FALSE(static_cast<IEffectVST3View*>(effect->mEditorViews.front())->mResizePending);

  // A size the host sets on its own stores the rectangle and calls no hook.
  ViewRect hostSize(0, 0, 900, 300);
  EXPECT_EQ(view->onSize(&hostSize), kResultOk);
  EXPECT_EQ(effect->resized, 1);
  EXPECT_EQ(view->onSize(nullptr), kResultOk);
  view->setFrame(nullptr);
  view->release();
}

TEST(EditorView, ViewsKeepTheEffectAliveAndLeaveTheListWhenReleased) {
  auto* effect = new CountingVellox();
  auto* controller = static_cast<Vst::IEditController*>(effect);
  IPlugView* first = controller->createView("editor");
  IPlugView* second = controller->createView("editor");
  ASSERT_EQ(effect->mEditorViews.size(), 2u);

  // The host lets go of the effect first: the views still hold it.
  EXPECT_EQ(controller->release(), 2u);
  first->release();
  ASSERT_EQ(effect->mEditorViews.size(), 1u);  // the other view is still known
  EXPECT_EQ(effect->mEditorViews.front(), second);
  effect->ResizeEditorFrame(10, 10);  // no frame: nothing
  second->release();                  // the last reference: the effect goes
}

TEST(EditorView, ReattachingANewViewReusesTheSameEditor) {
  auto* effect = new CountingVellox();
  EffectRig rig(effect);
  IEditorLink* editor = effect->Graphics();
  for (int i = 0; i < 3; ++i) {
    IPlugView* view = rig.controller->createView("editor");
    view->attached(nullptr, IEffectVST3View::SupportedPlatformType());  // refused: no parent
    view->removed();
    view->release();
    EXPECT_EQ(effect->Graphics(), editor);
  }
  EXPECT_EQ(effect->opened, 0);
  EXPECT_EQ(effect->closed, 0);
}
