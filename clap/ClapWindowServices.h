#pragma once

#include <memory>

#include "clap/clap.h"

namespace Steinberg {
class FUnknown;
}

// What the editor's window layer needs from the host beyond a parent
// window, made from the CLAP host's own services: on X11 the run loop (the
// host's timers and file-descriptor watches); on Windows nothing.
class ClapWindowServices {
public:
  virtual ~ClapWindowServices() = default;
  // The object the window layer asks for its services, as it asks a VST 3
  // host's frame; null when the host lacks one the layer needs.
  virtual Steinberg::FUnknown* HostFrame() = 0;
  // The host's calls for a timer or watched descriptor of this object.
  virtual void OnTimer(clap_id timer) = 0;
  virtual void OnFd(int fd, clap_posix_fd_flags_t flags) = 0;
};

// Null where the window layer needs nothing of the host.
std::unique_ptr<ClapWindowServices> MakeClapWindowServices(const clap_host_t* host);
