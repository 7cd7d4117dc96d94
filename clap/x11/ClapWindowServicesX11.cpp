// X11: the editor window lives on the host's run loop. A CLAP host gives it
// as timers and file-descriptor watches; the window layer asks for it as a
// VST 3 run loop, so this object is one, backed by the host's services.
#include <algorithm>
#include <atomic>
#include <vector>

#include "ClapWindowServices.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;

namespace {

class ClapRunLoop : public ClapWindowServices, public Linux::IRunLoop {
public:
  ClapRunLoop(const clap_host_t* host, const clap_host_timer_support_t* timers, const clap_host_posix_fd_support_t* fds)
      : mHost(host), mTimers(timers), mFds(fds) {}

  FUnknown* HostFrame() override { return static_cast<Linux::IRunLoop*>(this); }

  void OnTimer(clap_id timer) override {
    for (const auto& t : mTimerList)
      if (t.id == timer) return t.handler->onTimer();
  }

  void OnFd(int fd, clap_posix_fd_flags_t) override {
    for (const auto& f : mFdList)
      if (f.fd == fd) return f.handler->onFDIsSet(fd);
  }

  tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) override {
    if (!handler || !mFds->register_fd(mHost, fd, CLAP_POSIX_FD_READ)) return kResultFalse;
    mFdList.push_back({fd, handler});
    return kResultOk;
  }

  tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) override {
    for (const auto& f : mFdList)
      if (f.handler == handler) mFds->unregister_fd(mHost, f.fd);
    mFdList.erase(std::remove_if(mFdList.begin(), mFdList.end(), [&](const Fd& f) { return f.handler == handler; }),
                  mFdList.end());
    return kResultOk;
  }

  tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) override {
    clap_id id = CLAP_INVALID_ID;
    if (!handler || !mTimers->register_timer(mHost, static_cast<uint32_t>(milliseconds), &id)) return kResultFalse;
    mTimerList.push_back({id, handler});
    return kResultOk;
  }

  tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override {
    for (const auto& t : mTimerList)
      if (t.handler == handler) mTimers->unregister_timer(mHost, t.id);
    mTimerList.erase(
        std::remove_if(mTimerList.begin(), mTimerList.end(), [&](const Timer& t) { return t.handler == handler; }),
        mTimerList.end());
    return kResultOk;
  }

  // The window layer counts its references while a window is open; the
  // services' owner keeps the object alive longer than any window.
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop_iid) || FUnknownPrivate::iidEqual(iid, FUnknown_iid)) {
      addRef();
      *obj = static_cast<Linux::IRunLoop*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override { return --mRefs; }

private:
  struct Timer {
    clap_id id;
    Linux::ITimerHandler* handler;
  };
  struct Fd {
    int fd;
    Linux::IEventHandler* handler;
  };
  const clap_host_t* mHost;
  const clap_host_timer_support_t* mTimers;
  const clap_host_posix_fd_support_t* mFds;
  std::vector<Timer> mTimerList;
  std::vector<Fd> mFdList;
  std::atomic<uint32> mRefs{1};
};

}  // namespace

// A host without timers or descriptor watches cannot run the window.
std::unique_ptr<ClapWindowServices> MakeClapWindowServices(const clap_host_t* host) {
  if (!host || !host->get_extension) return nullptr;
  const auto* timers = static_cast<const clap_host_timer_support_t*>(host->get_extension(host, CLAP_EXT_TIMER_SUPPORT));
  const auto* fds =
      static_cast<const clap_host_posix_fd_support_t*>(host->get_extension(host, CLAP_EXT_POSIX_FD_SUPPORT));
  if (!timers || !timers->register_timer || !timers->unregister_timer || !fds || !fds->register_fd ||
      !fds->unregister_fd)
    return nullptr;
  return std::make_unique<ClapRunLoop>(host, timers, fds);
}
