#include "Lv2IdleRunLoop.h"

#include <poll.h>

#include <algorithm>
#include <chrono>

using namespace Steinberg;

namespace {

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// Handlers may register and unregister from inside their calls: each round
// works on copies.
void Lv2IdleRunLoop::Idle() {
  const std::vector<Watch> watches = mWatches;
  std::vector<pollfd> polled;
  for (const Watch& w : watches) polled.push_back({w.fd, POLLIN, 0});
  if (!polled.empty() && poll(polled.data(), polled.size(), 0) > 0)
    for (size_t i = 0; i < polled.size(); ++i)
      if (polled[i].revents & (POLLIN | POLLHUP | POLLERR)) watches[i].handler->onFDIsSet(watches[i].fd);
  const long long now = NowMs();
  const std::vector<Timer> timers = mTimers;
  for (const Timer& t : timers) {
    if (t.due > now) continue;
    for (Timer& live : mTimers)
      if (live.handler == t.handler) live.due = now + live.period;
    t.handler->onTimer();
  }
}

tresult PLUGIN_API Lv2IdleRunLoop::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) {
  if (!handler) return kInvalidArgument;
  mWatches.push_back({fd, handler});
  return kResultOk;
}

tresult PLUGIN_API Lv2IdleRunLoop::unregisterEventHandler(Linux::IEventHandler* handler) {
  mWatches.erase(std::remove_if(mWatches.begin(), mWatches.end(), [&](const Watch& w) { return w.handler == handler; }),
                 mWatches.end());
  return kResultOk;
}

tresult PLUGIN_API Lv2IdleRunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) {
  if (!handler) return kInvalidArgument;
  const long long period = std::max<long long>(static_cast<long long>(milliseconds), 1);
  mTimers.push_back({handler, period, NowMs() + period});
  return kResultOk;
}

tresult PLUGIN_API Lv2IdleRunLoop::unregisterTimer(Linux::ITimerHandler* handler) {
  mTimers.erase(std::remove_if(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.handler == handler; }),
                mTimers.end());
  return kResultOk;
}

tresult PLUGIN_API Lv2IdleRunLoop::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop_iid) || FUnknownPrivate::iidEqual(iid, FUnknown_iid)) {
    addRef();
    *obj = static_cast<Linux::IRunLoop*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}
