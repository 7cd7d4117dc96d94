#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "IEffectClap.h"
#include "LeadingNumber.h"
#include "SavedState.h"

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Trimmed(const char* text) {
  std::string s(text);
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The text without the parameter's unit after it ("-3 dB", "5Hz").
std::string WithoutUnit(const std::string& text, const char* label) {
  const size_t n = std::strlen(label);
  if (n == 0 || text.size() <= n || Lower(text.substr(text.size() - n)) != Lower(label)) return text;
  return Trimmed(text.substr(0, text.size() - n).c_str());
}

// A value's display text ("On"), for a stepped parameter else a whole index
// within its range, for a continuous one a number that does not go on in
// another notation: the texts the VST 3 binding takes.
bool SlotTextValue(const IParamSlot& slot, const std::string& text, double& plain) {
  for (int i = 0; i < slot.NDisplayTexts(); ++i) {
    const ParamDisplayText* entry = slot.GetDisplayText(i);
    if (entry->text[0] && Lower(text) == Lower(entry->text)) {
      plain = entry->value;
      return true;
    }
  }
  if (!slot.IsContinuous()) {
    int index = 0;
    if (!ReadWholeIndex(text.c_str(), 1 << 30, index) || index < slot.Min() || index > slot.Max()) return false;
    plain = index;
    return true;
  }
  const char* end = nullptr;
  return ReadLeadingNumber(text.c_str(), plain, &end) && !NumberGoesOn(end) && std::isfinite(plain);
}

// The display text, for a continuous value with more decimals where the
// display's own would not read back as the value (a whole-number display of
// 9.75 % says "9"): a host's text then names the value the plug-in holds.
void NumberText(const IParamSlot& slot, double plain, char* text, size_t size) {
  slot.DisplayString(plain, text, size);
  if (!slot.IsContinuous() || slot.DisplayTextFor(plain)) return;
  const auto readsBack = [plain](const char* t) {
    double back = 0.0;
    const char* end = nullptr;
    return ReadLeadingNumber(t, back, &end) && std::fabs(back - plain) <= 1e-6 * (1.0 + std::fabs(plain));
  };
  for (int decimals = std::max(0, static_cast<int>(slot.Precision())) + 1; !readsBack(text) && decimals <= 6;
       ++decimals)
    std::snprintf(text, size, "%.*f", decimals, plain);
}

}  // namespace

bool IEffectClap::ParamInfo(uint32_t index, clap_param_info_t& info) {
  info = {};
  info.module[0] = 0;
  if (index == static_cast<uint32_t>(NParams())) {
    info.id = kBypassParamId;
    info.flags = CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS | CLAP_PARAM_IS_AUTOMATABLE;
    std::snprintf(info.name, sizeof info.name, "%s", "Bypass");
    info.min_value = 0.0;
    info.max_value = 1.0;
    return true;
  }
  const IParamSlot* slot = GetParam(static_cast<int>(index));
  if (!slot) return false;
  info.id = index;
  if (slot->CanAutomate()) info.flags |= CLAP_PARAM_IS_AUTOMATABLE;
  if (!slot->IsContinuous()) info.flags |= CLAP_PARAM_IS_STEPPED;
  if (!slot->IsContinuous() && slot->NDisplayTexts() > 0) info.flags |= CLAP_PARAM_IS_ENUM;
  std::snprintf(info.name, sizeof info.name, "%s", slot->Name());
  info.min_value = slot->Min();
  info.max_value = slot->Max();
  info.default_value = slot->Default();
  return true;
}

bool IEffectClap::ParamValue(clap_id id, double& value) {
  if (id == kBypassParamId) {
    value = IsBypassed() ? 1.0 : 0.0;
    return true;
  }
  const IParamSlot* slot = id < static_cast<clap_id>(NParams()) ? GetParam(static_cast<int>(id)) : nullptr;
  if (!slot) return false;
  value = slot->Value();
  return true;
}

// The text of the value the plug-in takes for the figure (a stepped value
// rounded to its step, one out of range limited to it), with the unit.
bool IEffectClap::ValueText(clap_id id, double value, char* text, uint32_t size) {
  if (!text || size == 0 || !std::isfinite(value)) return false;
  if (id == kBypassParamId) {
    std::snprintf(text, size, "%s", value > 0.5 ? "On" : "Off");
    return true;
  }
  const IParamSlot* slot = id < static_cast<clap_id>(NParams()) ? GetParam(static_cast<int>(id)) : nullptr;
  if (!slot) return false;
  const double plain = slot->Limited(value);
  char shown[kParamDisplayMax];
  NumberText(*slot, plain, shown, sizeof shown);
  const bool unit = !slot->DisplayTextFor(plain) && slot->Label()[0];
  std::snprintf(text, size, "%s%s%s", shown, unit ? " " : "", unit ? slot->Label() : "");
  return true;
}

// Text the plug-in does not take is refused and changes nothing.
bool IEffectClap::TextValue(clap_id id, const char* text, double& value) {
  if (!text) return false;
  const std::string trimmed = Trimmed(text);
  if (id == kBypassParamId) {
    const std::string t = Lower(trimmed);
    if (t != "on" && t != "off" && t != "1" && t != "0") return false;
    value = (t == "on" || t == "1") ? 1.0 : 0.0;
    return true;
  }
  const IParamSlot* slot = id < static_cast<clap_id>(NParams()) ? GetParam(static_cast<int>(id)) : nullptr;
  double plain = 0.0;
  if (!slot || !SlotTextValue(*slot, WithoutUnit(trimmed, slot->Label()), plain)) return false;
  value = std::clamp(plain, slot->Min(), slot->Max());
  return true;
}

// A host's value as a restored one: a stepped value rounded to its step,
// any value limited to the range; NaN and unknown ids are ignored.
bool IEffectClap::ApplyParamValue(clap_id id, double value) {
  if (!std::isfinite(value)) return false;
  if (id == kBypassParamId) {
    SetBypassed(value > 0.5);
    return true;
  }
  IParamSlot* slot = id < static_cast<clap_id>(NParams()) ? GetParam(static_cast<int>(id)) : nullptr;
  if (!slot) return false;
  slot->SetValue(slot->Limited(value));
  HandleParamChange(static_cast<int>(id));
  return true;
}

void IEffectClap::FlushParams(const clap_input_events_t* in, const clap_output_events_t* out) {
  {
    PlugLock lock(Mutex());
    GatherPoints(in, 0);
    for (const QueuedPoint& p : mPoints) ApplyParamValue(p.id, p.value);
  }
  SendGestures(out);
}

bool IEffectClap::EditProgram(int index) {
  if (index < 0 || index >= NPresets()) return false;
  {
    PlugLock lock(Mutex());
    if (!LoadPreset(index, false)) return false;
  }
  RefreshParamControls();
  TellHostValuesChanged();
  return true;
}

// The bytes are made under the lock; the host's stream is written after it.
bool IEffectClap::SaveState(const clap_ostream_t* stream) {
  if (!stream || !stream->write) return false;
  std::vector<uint8_t> bytes;
  if (!EncodeSavedState(*this, IsBypassed(), bytes)) return false;
  for (size_t done = 0; done < bytes.size();) {
    const int64_t n = stream->write(stream, bytes.data() + done, bytes.size() - done);
    if (n <= 0 || static_cast<uint64_t>(n) > bytes.size() - done) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// All or nothing: the whole stream is read and checked before anything
// changes; a stream that fails, or holds more than a state of ours can,
// changes nothing.
bool IEffectClap::LoadState(const clap_istream_t* stream) {
  if (!stream || !stream->read) return false;
  const size_t limit = MaxSavedStateBytes(*this);
  std::vector<uint8_t> bytes(limit + 1);
  size_t size = 0;
  for (;;) {
    const int64_t n = stream->read(stream, bytes.data() + size, bytes.size() - size);
    if (n < 0 || static_cast<uint64_t>(n) > bytes.size() - size) return false;
    if (n == 0) break;
    size += static_cast<size_t>(n);
    if (size > limit) return false;
  }
  DecodedState state;
  if (!DecodeSavedState(*this, bytes.data(), size, state)) return false;
  ApplySavedState(*this, state);
  SetBypassed(state.bypassed);
  RefreshParamControls();
  TellHostValuesChanged();
  return true;
}

void IEffectClap::TellHostValuesChanged() {
  if (mHostParams && mHostParams->rescan) mHostParams->rescan(mHost, CLAP_PARAM_RESCAN_VALUES);
}

namespace {

uint32_t ParamsCount(const clap_plugin_t* plugin) { return IEffectClap::From(plugin)->ParamCount(); }

bool ParamsInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info) {
  return info && IEffectClap::From(plugin)->ParamInfo(index, *info);
}

bool ParamsValue(const clap_plugin_t* plugin, clap_id id, double* value) {
  return value && IEffectClap::From(plugin)->ParamValue(id, *value);
}

bool ParamsValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* text, uint32_t size) {
  try {
    return IEffectClap::From(plugin)->ValueText(id, value, text, size);
  } catch (...) {
    return false;
  }
}

bool ParamsTextToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value) {
  try {
    return value && IEffectClap::From(plugin)->TextValue(id, text, *value);
  } catch (...) {
    return false;
  }
}

void ParamsFlush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out) {
  try {
    IEffectClap::From(plugin)->FlushParams(in, out);
  } catch (...) {}
}

bool StateSave(const clap_plugin_t* plugin, const clap_ostream_t* stream) {
  IEffectClap* effect = IEffectClap::From(plugin);
  try {
    return effect->OnMainThread() && effect->SaveState(stream);
  } catch (...) {
    return false;
  }
}

bool StateLoad(const clap_plugin_t* plugin, const clap_istream_t* stream) {
  IEffectClap* effect = IEffectClap::From(plugin);
  try {
    return effect->OnMainThread() && effect->LoadState(stream);
  } catch (...) {
    return false;
  }
}

}  // namespace

const clap_plugin_params_t IEffectClap::kParams = {ParamsCount,       ParamsInfo,        ParamsValue,
                                                   ParamsValueToText, ParamsTextToValue, ParamsFlush};
const clap_plugin_state_t IEffectClap::kState = {StateSave, StateLoad};
