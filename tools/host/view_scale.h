#pragma once
// The content scale a host on a high-density screen gives an editor view.
#include "pluginterfaces/gui/iplugview.h"

namespace vellox::host {

// Sets the view's content scale through IPlugViewContentScaleSupport; the
// view's answer, or kNoInterface when it has no such support.
Steinberg::tresult SetContentScale(Steinberg::IPlugView& view, float scale);

}  // namespace vellox::host
