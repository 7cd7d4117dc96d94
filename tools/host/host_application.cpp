#include "host_application.h"

#include <utility>

#include "utf16_text.h"

namespace vellox::host {

using namespace Steinberg;

HostApplication::HostApplication(std::string name)
    : mName(std::move(name)){FUNKNOWN_CTOR}

      IMPLEMENT_FUNKNOWN_METHODS(HostApplication, Vst::IHostApplication, Vst::IHostApplication::iid)

          tresult PLUGIN_API HostApplication::getName(Vst::String128 name) {
  if (!name) return kInvalidArgument;
  Utf8ToUtf16(mName, name, 128);
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID, TUID, void** obj) {
  if (obj) *obj = nullptr;
  return kResultFalse;
}

}  // namespace vellox::host
