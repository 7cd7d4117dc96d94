#pragma once

#include <atomic>

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

class IEffectVST3;
class IGraphics;

// The editor view a host embeds: it draws nothing itself but opens and closes
// the effect's editor window inside the host's parent window, reports the
// editor's fixed size and carries size requests to the host frame. It holds a
// counted reference on its effect, so the effect outlives its views.
//
// An effect has one editor window. Hosts that re-dock an editor attach the
// new view before removing the old one: the view attached last shows the
// editor, removing any other leaves it alone, and removing the one that
// shows it hands the window to the newest view still attached.
//
// On a high-density screen the host sets a content scale (1 to 3): the size
// and the window are then in device pixels, round(editor size x scale). Each
// view keeps the factor its host gave it, and the editor takes the factor of
// the view that shows it. A new size is asked of the frame with resizeView
// while getSize still answers the size the host knew, so that a host that
// resizes only when the two differ follows; a factor set before attaching is
// asked for when the view is attached.
class IEffectVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport {
public:
  explicit IEffectVST3View(IEffectVST3* plug);
  ~IEffectVST3View() override;

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  // The host's frame; on Linux it also offers the run loop the editor window lives on.
  Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) override;

  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(CPluginView)

  // Asks the host frame for a new size; false when there is no frame.
  bool RequestFrameSize(int width, int height);
  double ContentScale() const { return mScale.load(std::memory_order_relaxed); }

  bool mResizePending = false;

  // The platform window type the editor can live in, or null where the
  // module has no window layer.
  static const char* SupportedPlatformType();

  // The view of the effect that shows its editor now (the newest attached),
  // or null when none is attached.
  static IEffectVST3View* ShowingView(const IEffectVST3* plug);

private:
  IGraphics* Editor() const;
  bool IsAttached() const;
  bool ShowsEditor() const;
  // Forgets the attachment; closes the window first when this view shows it.
  void Detach();
  // Puts the window into the parent of the newest view of the effect still
  // attached, if it is not already there.
  static void ShowInNewestView(IEffectVST3* plug);

  // The editor's size at this view's factor, in device pixels.
  Steinberg::ViewRect SizeAtScale() const;
  // The size the host last learned (getSize, onSize or a request); before
  // any, the size at factor 1.
  Steinberg::ViewRect KnownSize() const;
  // Asks the frame for the size at this view's factor if the host does not know it.
  void RequestSizeAtScale();

  IEffectVST3* mPlug;
  void* mParent = nullptr;
  // Set by the host, which may break the rule of one thread for view calls.
  std::atomic<double> mScale{1.0};
  int mKnownWidth = 0, mKnownHeight = 0;
  // Inside this view's own resizeView call: getSize answers the known size.
  bool mRequesting = false;
};
