#pragma once

#include <atomic>

#include "pluginterfaces/gui/iplugview.h"

class IGraphicsX11;

// What the editor registers with the host's run loop: the handler of the X
// connection's descriptor and of the repaint timer. Reference-counted, since
// the host may hold it a little longer than the window lives; once the
// window closes it forwards nothing.
class X11RunLoopClient : public Steinberg::Linux::IEventHandler, public Steinberg::Linux::ITimerHandler {
public:
  explicit X11RunLoopClient(IGraphicsX11* owner) : mOwner(owner) {}
  virtual ~X11RunLoopClient() = default;

  void Detach() { mOwner = nullptr; }

  void PLUGIN_API onFDIsSet(Steinberg::Linux::FileDescriptor fd) override;
  void PLUGIN_API onTimer() override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mReferences; }
  Steinberg::uint32 PLUGIN_API release() override;

private:
  IGraphicsX11* mOwner;
  std::atomic<Steinberg::uint32> mReferences{1};
};
