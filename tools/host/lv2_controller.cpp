#include "lv2_controller.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pluginterfaces/base/ibstream.h"
#include "utf16_text.h"

namespace vellox::host {

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API Lv2Controller::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, IEditController::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    addRef();
    *obj = static_cast<IEditController*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API Lv2Controller::release() {
  const uint32 left = --mRefs;
  if (left == 0) delete this;
  return left;
}

const Lv2Control* Lv2Controller::Find(ParamID id) const {
  for (const Lv2Control& c : mSession.Controls())
    if (c.index == id && !c.enabled) return &c;
  return nullptr;
}

const Lv2Control* Lv2Controller::Enable() const {
  for (const Lv2Control& c : mSession.Controls())
    if (c.enabled) return &c;
  return nullptr;
}

bool Lv2Controller::PortValue(ParamID id, double normalized, uint32_t& port, float& value) const {
  normalized = std::clamp(normalized, 0.0, 1.0);
  if (id == kBypassId) {
    const Lv2Control* enable = Enable();
    if (!enable) return false;
    port = enable->index;
    value = normalized > 0.5 ? 0.0f : 1.0f;
    return true;
  }
  const Lv2Control* c = Find(id);
  if (!c) return false;
  port = c->index;
  value = static_cast<float>(normalized * (double(c->maximum) - c->minimum) + c->minimum);
  return true;
}

int32 PLUGIN_API Lv2Controller::getParameterCount() { return static_cast<int32>(mSession.Controls().size()); }

tresult PLUGIN_API Lv2Controller::getParameterInfo(int32 index, ParameterInfo& info) {
  if (index < 0 || static_cast<size_t>(index) >= mSession.Controls().size()) return kInvalidArgument;
  const Lv2Control& c = mSession.Controls()[static_cast<size_t>(index)];
  info = {};
  info.id = c.enabled ? kBypassId : c.index;
  Utf8ToUtf16(c.enabled ? "Bypass" : c.name, info.title, 128);
  Utf8ToUtf16(c.enabled ? "Bypass" : c.name, info.shortTitle, 128);
  Utf8ToUtf16(c.unit, info.units, 128);
  info.stepCount = c.integer || c.enabled ? static_cast<int32>(std::lround(c.maximum - c.minimum)) : 0;
  info.defaultNormalizedValue = c.enabled ? (c.value > 0.5f ? 0.0 : 1.0) : plainParamToNormalized(info.id, c.value);
  info.flags = ParameterInfo::kCanAutomate | (c.enabled ? ParameterInfo::kIsBypass : 0);
  return kResultOk;
}

tresult PLUGIN_API Lv2Controller::getParamStringByValue(ParamID id, ParamValue value, String128 string) {
  char text[64];
  if (id == kBypassId) {
    std::snprintf(text, sizeof text, "%s", value > 0.5 ? "On" : "Off");
  } else {
    const Lv2Control* c = Find(id);
    if (!c) return kInvalidArgument;
    const double plain = normalizedParamToPlain(id, value);
    const auto near = std::find_if(c->points.begin(), c->points.end(),
                                   [&](const auto& p) { return std::fabs(p.first - plain) < 0.5; });
    if (near != c->points.end())
      std::snprintf(text, sizeof text, "%s", near->second.c_str());
    else
      std::snprintf(text, sizeof text, c->integer ? "%.0f" : "%.2f", plain);
  }
  Utf8ToUtf16(text, string, 128);
  return kResultOk;
}

ParamValue PLUGIN_API Lv2Controller::normalizedParamToPlain(ParamID id, ParamValue value) {
  const Lv2Control* c = Find(id);
  return c ? value * (double(c->maximum) - c->minimum) + c->minimum : value;
}

ParamValue PLUGIN_API Lv2Controller::plainParamToNormalized(ParamID id, ParamValue plain) {
  const Lv2Control* c = Find(id);
  if (!c) return plain;
  const double range = double(c->maximum) - c->minimum;
  return range > 0.0 ? (std::clamp(plain, double(c->minimum), double(c->maximum)) - c->minimum) / range : 0.0;
}

ParamValue PLUGIN_API Lv2Controller::getParamNormalized(ParamID id) {
  const Lv2Control* c = Find(id);
  if (id == kBypassId && (c = Enable())) return c->value > 0.5f ? 0.0 : 1.0;
  return c ? plainParamToNormalized(id, c->value) : 0.0;
}

tresult PLUGIN_API Lv2Controller::getState(IBStream* state) {
  std::vector<uint8_t> bytes;
  if (!state || !mSession.SaveState(bytes)) return kResultFalse;
  int32 written = 0;
  return state->write(bytes.data(), static_cast<int32>(bytes.size()), &written) == kResultOk &&
                 written == static_cast<int32>(bytes.size())
             ? kResultOk
             : kResultFalse;
}

tresult PLUGIN_API Lv2Controller::setState(IBStream* state) {
  if (!state) return kInvalidArgument;
  std::vector<uint8_t> bytes;
  uint8_t buffer[4096];
  constexpr size_t kMaxStateBytes = 1 << 20;
  for (;;) {
    int32 read = 0;
    const tresult result = state->read(buffer, sizeof buffer, &read);
    if (read > 0 && read <= static_cast<int32>(sizeof buffer)) bytes.insert(bytes.end(), buffer, buffer + read);
    if (result != kResultOk || read <= 0 || bytes.size() > kMaxStateBytes) break;
  }
  return mSession.LoadState(bytes) ? kResultOk : kResultFalse;
}

}  // namespace vellox::host
