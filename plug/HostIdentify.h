#pragma once

#include <cstdint>

// Host codes. -1 means no identification was attempted yet.
enum : int32_t {
  kHostIdUnidentified = -1,
  kHostIdUnknown = 0,
  kHostIdReaper = 1,
  kHostIdProTools = 2,
  kHostIdCubase = 3,
  kHostIdNuendo = 4,
  kHostIdCakewalk = 5,
  kHostIdFruity = 7,
  kHostIdSamplitude = 8,
  kHostIdLive = 9,
  kHostIdMelodyne = 12,
  kHostIdVstManLib = 13,
  kHostIdAuLab = 14,
  kHostIdForte = 15,
  kHostIdChainer = 16,
  kHostIdAudition = 17,
  kHostIdOrion = 18,
  kHostIdSawStudio = 20,
  kHostIdLogic = 21,
  kHostIdGarageBand = 22,
  kHostIdDigital = 23,
  kHostIdStandalone = 24,
  kHostIdAudioMulch = 25,
  kHostIdPresonus = 26,
  kHostIdVst3TestHost = 27,
  kHostIdArdour = 28,
  kHostIdRenoise = 29,
  kHostIdOpenMpt = 30,
};

// Host code for a host product name (case-insensitive substring match);
// kHostIdUnknown when nothing matches or name is null.
int32_t IdentifyHost(const char* name);
