#include "clap_controller.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cctype>
#include <cstring>

#include "memory_stream.h"
#include "utf16_text.h"

namespace vellox::host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The unit of a text such as "5.00 Hz": the word after a leading number.
std::string UnitOf(const char* text) {
  char* end = nullptr;
  std::strtod(text, &end);
  if (end == text || *end != ' ') return {};
  std::string unit = end + 1;
  const bool word = !unit.empty() &&
                    std::all_of(unit.begin(), unit.end(), [](unsigned char c) { return std::isalpha(c) || c == '%'; });
  return word ? unit : std::string();
}

void CopyUtf16(const std::string& text, String128 out) { Utf8ToUtf16(text, out, 128); }

}  // namespace

ClapController::ClapController(ClapSession& session) : mSession(session) {
  const clap_plugin_t* p = session.Plugin();
  const clap_plugin_params_t* params = session.Params();
  const uint32_t count = params->count(p);
  for (uint32_t i = 0; i < count; ++i) {
    Param param{};
    if (!params->get_info(p, i, &param.info)) continue;
    char text[256] = {};
    if (!(param.info.flags & CLAP_PARAM_IS_STEPPED) &&
        params->value_to_text(p, param.info.id, param.info.default_value, text, sizeof text))
      param.unit = UnitOf(text);
    mParams.push_back(param);
  }
}

tresult PLUGIN_API ClapController::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, IEditController::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    addRef();
    *obj = static_cast<IEditController*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API ClapController::addRef() { return ++mRefs; }

uint32 PLUGIN_API ClapController::release() {
  const uint32 left = --mRefs;
  if (left == 0) delete this;
  return left;
}

const ClapController::Param* ClapController::Find(ParamID id) const {
  for (const Param& p : mParams)
    if (p.info.id == id) return &p;
  return nullptr;
}

std::string ClapController::Text(const Param& param, double plain) const {
  char text[256] = {};
  if (!mSession.Params()->value_to_text(mSession.Plugin(), param.info.id, plain, text, sizeof text)) return {};
  std::string shown = text;
  const std::string tail = " " + param.unit;
  if (!param.unit.empty() && shown.size() > tail.size() &&
      shown.compare(shown.size() - tail.size(), tail.size(), tail) == 0)
    shown.resize(shown.size() - tail.size());
  return shown;
}

double ClapController::ToPlain(ParamID id, double normalized) const {
  const Param* p = Find(id);
  if (!p) return normalized;
  return normalized * (p->info.max_value - p->info.min_value) + p->info.min_value;
}

int32 PLUGIN_API ClapController::getParameterCount() { return static_cast<int32>(mParams.size()); }

tresult PLUGIN_API ClapController::getParameterInfo(int32 index, ParameterInfo& info) {
  if (index < 0 || static_cast<size_t>(index) >= mParams.size()) return kInvalidArgument;
  const Param& p = mParams[static_cast<size_t>(index)];
  info = {};
  info.id = p.info.id;
  CopyUtf16(p.info.name, info.title);
  CopyUtf16(p.info.name, info.shortTitle);
  CopyUtf16(p.unit, info.units);
  info.stepCount =
      (p.info.flags & CLAP_PARAM_IS_STEPPED) ? static_cast<int32>(std::lround(p.info.max_value - p.info.min_value)) : 0;
  info.defaultNormalizedValue = plainParamToNormalized(p.info.id, p.info.default_value);
  if (p.info.flags & CLAP_PARAM_IS_AUTOMATABLE) info.flags |= ParameterInfo::kCanAutomate;
  if (p.info.flags & CLAP_PARAM_IS_BYPASS) info.flags |= ParameterInfo::kIsBypass;
  return kResultOk;
}

tresult PLUGIN_API ClapController::getParamStringByValue(ParamID id, ParamValue value, String128 string) {
  const Param* p = Find(id);
  if (!p || !string) return kInvalidArgument;
  const std::string text = Text(*p, ToPlain(id, std::clamp(value, 0.0, 1.0)));
  if (text.empty()) return kResultFalse;
  CopyUtf16(text, string);
  return kResultOk;
}

tresult PLUGIN_API ClapController::getParamValueByString(ParamID id, TChar* string, ParamValue& value) {
  const Param* p = Find(id);
  if (!p || !string) return kInvalidArgument;
  size_t n = 0;
  while (n < 128 && string[n]) ++n;
  const std::string text = Utf16ToUtf8(string, n);
  double plain = 0.0;
  if (!mSession.Params()->text_to_value(mSession.Plugin(), id, text.c_str(), &plain)) return kResultFalse;
  value = plainParamToNormalized(id, plain);
  return kResultOk;
}

ParamValue PLUGIN_API ClapController::normalizedParamToPlain(ParamID id, ParamValue value) {
  return ToPlain(id, value);
}

ParamValue PLUGIN_API ClapController::plainParamToNormalized(ParamID id, ParamValue plain) {
  const Param* p = Find(id);
  if (!p) return plain;
  const double range = p->info.max_value - p->info.min_value;
  if (!(range > 0.0)) return 0.0;
  return (std::clamp(plain, p->info.min_value, p->info.max_value) - p->info.min_value) / range;
}

ParamValue PLUGIN_API ClapController::getParamNormalized(ParamID id) {
  double plain = 0.0;
  if (!mSession.Params()->get_value(mSession.Plugin(), id, &plain)) return 0.0;
  return plainParamToNormalized(id, plain);
}

// A value set here reaches the plug-in with the next block or flush.
tresult PLUGIN_API ClapController::setParamNormalized(ParamID id, ParamValue value) {
  if (!Find(id)) return kInvalidArgument;
  mSession.QueueValue(id, ToPlain(id, std::clamp(value, 0.0, 1.0)), 0);
  return kResultOk;
}

tresult PLUGIN_API ClapController::getState(IBStream* state) {
  std::vector<uint8_t> bytes;
  if (!state || !mSession.SaveState(bytes)) return kResultFalse;
  int32 written = 0;
  return state->write(bytes.data(), static_cast<int32>(bytes.size()), &written) == kResultOk &&
                 written == static_cast<int32>(bytes.size())
             ? kResultOk
             : kResultFalse;
}

tresult PLUGIN_API ClapController::setState(IBStream* state) {
  if (!state) return kInvalidArgument;
  std::vector<uint8_t> bytes;
  uint8_t buffer[4096];
  // A stream ends with a short read, which it may report as a failure.
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
