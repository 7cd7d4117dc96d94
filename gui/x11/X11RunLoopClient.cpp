#include "X11RunLoopClient.h"

#include "IGraphicsX11.h"

using namespace Steinberg;

// Host calls: nothing may escape into the host's loop.
void PLUGIN_API X11RunLoopClient::onFDIsSet(Linux::FileDescriptor) {
  try {
    if (mOwner) mOwner->OnConnectionReadable();
  } catch (...) {}
}

void PLUGIN_API X11RunLoopClient::onTimer() {
  try {
    if (mOwner) mOwner->OnTick();
  } catch (...) {}
}

tresult PLUGIN_API X11RunLoopClient::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown_iid) || FUnknownPrivate::iidEqual(iid, Linux::IEventHandler_iid)) {
    *obj = static_cast<Linux::IEventHandler*>(this);
  } else if (FUnknownPrivate::iidEqual(iid, Linux::ITimerHandler_iid)) {
    *obj = static_cast<Linux::ITimerHandler*>(this);
  } else {
    *obj = nullptr;
    return kNoInterface;
  }
  addRef();
  return kResultOk;
}

uint32 PLUGIN_API X11RunLoopClient::release() {
  const uint32 left = --mReferences;
  if (left == 0) delete this;
  return left;
}
