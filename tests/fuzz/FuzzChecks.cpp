#include "FuzzChecks.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

using namespace Steinberg;
using namespace Steinberg::Vst;

void FuzzFail(const char* file, int line, const char* condition, const char* format, ...) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s: ", file, line, condition);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  std::abort();
}

void RequireParamsInRange(EffectRig& rig) {
  for (int i = 0; i < rig.effect->NParams(); ++i) {
    const IParamSlot* slot = rig.effect->GetParam(i);
    const double v = slot->Value();
    FUZZ_REQUIRE(std::isfinite(v) && v >= slot->Min() && v <= slot->Max(), "parameter %d is %g", i, v);
  }
  for (ParamID id : HostParamIds(rig)) {
    const double n = rig.controller->getParamNormalized(id);
    FUZZ_REQUIRE(std::isfinite(n) && n >= 0.0 && n <= 1.0, "normalised value of id %u is %g", id, n);
  }
}

std::vector<uint8_t> SaveState(EffectRig& rig) {
  FakeStream stream;
  const tresult result = rig.controller->getState(&stream);
  FUZZ_REQUIRE(result == kResultOk, "getState answered %d", static_cast<int>(result));
  return stream.bytes;
}

void RequireStateRoundTrip(EffectRig& rig) {
  const std::vector<uint8_t> saved = SaveState(rig);
  FakeStream restore(saved);
  const tresult result = rig.controller->setState(&restore);
  FUZZ_REQUIRE(result == kResultOk, "restoring a saved state answered %d", static_cast<int>(result));
  RequireParamsInRange(rig);
  FUZZ_REQUIRE(SaveState(rig) == saved, "save-restore-save changed the %zu bytes", saved.size());

  // The component side, where it keeps a state, round-trips the same way.
  FakeStream component;
  if (rig.component->getState(&component) != kResultOk) return;
  FakeStream back(component.bytes);
  FUZZ_REQUIRE(rig.component->setState(&back) == kResultOk, "component refused its own state");
  RequireParamsInRange(rig);
  FakeStream again;
  FUZZ_REQUIRE(rig.component->getState(&again) == kResultOk && again.bytes == component.bytes,
               "component save-restore-save changed the %zu bytes", component.bytes.size());
}

std::vector<ParamID> HostParamIds(EffectRig& rig) {
  std::vector<ParamID> ids;
  for (int i = 0; i < rig.effect->NParams(); ++i) ids.push_back(static_cast<ParamID>(i));
  ids.push_back(kBypassParamId);
  ids.push_back(kPresetParamId);
  return ids;
}
