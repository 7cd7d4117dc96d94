#pragma once

#include "pluginterfaces/vst/vstspeaker.h"

// Speaker arrangement the adapter declares for a channel count; kEmpty for
// counts it has no arrangement for.
inline Steinberg::Vst::SpeakerArrangement SpeakerArrangementForCount(int channels) {
  using namespace Steinberg::Vst::SpeakerArr;
  switch (channels) {
    case 1: return kMono;
    case 2: return kStereo;
    case 3: return k30Music;
    case 4: return k40Music;
    case 5: return k50;
    case 6: return k51;
    default: return kEmpty;
  }
}
