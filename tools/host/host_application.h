#pragma once
// The host context handed to `initialize`: names the host and refuses to
// create host-side objects, which a single-component effect never needs.
#include <string>

#include "pluginterfaces/vst/ivsthostapplication.h"

namespace vellox::host {

class HostApplication : public Steinberg::Vst::IHostApplication {
public:
  explicit HostApplication(std::string name);
  virtual ~HostApplication() = default;

  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid, void** obj) override;

  DECLARE_FUNKNOWN_METHODS

private:
  std::string mName;
};

}  // namespace vellox::host
