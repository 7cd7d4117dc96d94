#include "view_scale.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace vellox::host {

using namespace Steinberg;

tresult SetContentScale(IPlugView& view, float scale) {
  // Asked for by the id's value: a host program defines no editor interface ids.
  IPlugViewContentScaleSupport* scaling = nullptr;
  if (view.queryInterface(IPlugViewContentScaleSupport_iid, reinterpret_cast<void**>(&scaling)) != kResultOk ||
      !scaling)
    return kNoInterface;
  const tresult result = scaling->setContentScaleFactor(scale);
  scaling->release();
  return result;
}

}  // namespace vellox::host
