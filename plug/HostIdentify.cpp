#include "HostIdentify.h"

#include <cctype>
#include <cstring>

namespace {
struct HostEntry {
  const char* text;
  int32_t code;
};

// Tested in order; the first text found in the name wins, which settles
// names that contain more than one entry.
const HostEntry kHostTable[] = {
    {"cubase", kHostIdCubase},
    {"reaper", kHostIdReaper},
    {"nuendo", kHostIdNuendo},
    {"cakewalk", kHostIdCakewalk},
    {"samplitude", kHostIdSamplitude},
    {"fruity", kHostIdFruity},
    {"live", kHostIdLive},
    {"melodyne", kHostIdMelodyne},
    {"vstmanlib", kHostIdVstManLib},
    {"aulab", kHostIdAuLab},
    {"garageband", kHostIdGarageBand},
    {"forte", kHostIdForte},
    {"chainer", kHostIdChainer},
    {"audition", kHostIdAudition},
    {"orion", kHostIdOrion},
    {"sawstudio", kHostIdSawStudio},
    {"logic", kHostIdLogic},
    {"digital", kHostIdDigital},
    {"audiomulch", kHostIdAudioMulch},
    {"presonus", kHostIdPresonus},
    {"vst3plugintesthost", kHostIdVst3TestHost},
    {"protools", kHostIdProTools},
    {"ardour", kHostIdArdour},
    {"openmpt", kHostIdOpenMpt},
    {"renoise", kHostIdRenoise},
    {"standalone", kHostIdStandalone},
};
}  // namespace

int32_t IdentifyHost(const char* name) {
  if (!name) return kHostIdUnknown;
  char lower[256];
  size_t n = 0;
  for (; n < sizeof(lower) - 1 && name[n]; ++n)
    lower[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n])));
  lower[n] = '\0';
  for (const HostEntry& entry : kHostTable)
    if (std::strstr(lower, entry.text)) return entry.code;
  return kHostIdUnknown;
}
