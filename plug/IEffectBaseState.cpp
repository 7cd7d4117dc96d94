// Parameter state of the plug-in base: the serialized chunk and presets.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "IEffectBase.h"

bool IEffectBase::SerializeParams(StateChunk& chunk) {
  PlugLock lock(mMutex);
  for (const auto& slot : mParams)
    if (!chunk.AppendDouble(slot->Value())) return false;
  return true;
}

int IEffectBase::UnserializeParams(const StateChunk& chunk, int start) {
  PlugLock lock(mMutex);
  int64_t pos = start;
  for (size_t i = 0; i < mParams.size() && pos >= 0; ++i) {
    IParamSlot& slot = *mParams[i];
    double v = 0.0;
    if (chunk.ReadDouble(pos, v)) {
      pos += 8;
    } else {
      pos = -1;
    }
    // A damaged or foreign chunk may hold NaN, which no range limit catches.
    if (std::isnan(v)) v = slot.Default();
    slot.SetValue(slot.Limited(v));
  }
  for (int i = 0; i < NParams(); ++i) HandleParamChange(i);
  return static_cast<int>(pos);
}

bool IEffectBase::ParamsMatch(const double* values, int start) {
  if (!values && NParams() > 0) return false;
  for (int i = 0; i < NParams(); ++i) {
    const float diff =
        static_cast<float>(mParams[static_cast<size_t>(i)]->Value()) - static_cast<float>(values[start + i]);
    if (!(std::fabs(diff) < 1e-5)) return false;
  }
  return true;
}

PlugPreset* IEffectBase::GetPreset(int index) {
  return index >= 0 && index < NPresets() ? mPresets[static_cast<size_t>(index)].get() : nullptr;
}

const char* IEffectBase::PresetName(int index) const {
  return index >= 0 && index < NPresets() ? mPresets[static_cast<size_t>(index)]->name : "";
}

bool IEffectBase::PresetInitialised(int index) const {
  return index >= 0 && index < NPresets() && mPresets[static_cast<size_t>(index)]->initialised;
}

void IEffectBase::CaptureFreePreset(const char* name) {
  for (auto& preset : mPresets) {
    if (preset->initialised) continue;
    preset->initialised = true;
    std::snprintf(preset->name, sizeof preset->name, "%s", name ? name : "");
    SerializeParams(preset->values);
    return;
  }
}

bool IEffectBase::LoadPreset(int index, bool refreshControls) {
  PlugPreset* preset = GetPreset(index);
  if (!preset) return false;
  bool ok;
  if (preset->initialised) {
    ok = UnserializeParams(preset->values, 0) > 0;
  } else {
    preset->initialised = true;
    int count = 0;
    for (const auto& p : mPresets)
      if (std::strstr(p->name, "user preset")) ++count;
    std::snprintf(preset->name, sizeof preset->name, "%s %d", "user preset", count + 1);
    ok = SerializeParams(preset->values);
  }
  if (ok) {
    mCurrentPreset.store(index, std::memory_order_relaxed);
    AfterPresetLoad();
    if (refreshControls) RefreshParamControls();
  }
  return ok;
}
