#pragma once

#include <atomic>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"

// The X11 window layer's run loop for an LV2 UI: an LV2 host has no run loop
// to offer, only its idle calls, so each idle call dispatches the watched
// descriptors that are readable and the timers that are due. Owned by the
// UI; the reference count only tracks the window layer's use.
class Lv2IdleRunLoop : public Steinberg::Linux::IRunLoop {
public:
  void Idle();

  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

private:
  struct Watch {
    int fd;
    Steinberg::Linux::IEventHandler* handler;
  };
  struct Timer {
    Steinberg::Linux::ITimerHandler* handler;
    long long period, due;
  };
  std::vector<Watch> mWatches;
  std::vector<Timer> mTimers;
  std::atomic<Steinberg::uint32> mRefs{1};
};
