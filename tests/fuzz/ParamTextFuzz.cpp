// Parameter texts in both directions on every parameter id, with arbitrary
// UTF-16 from the host (unpaired surrogates, no terminator, empty).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "FuzzChecks.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

ParamID PickId(FuzzedDataProvider& in, EffectRig& rig) {
  const std::vector<ParamID> ids = HostParamIds(rig);
  const size_t pick = in.ConsumeIntegralInRange<size_t>(0, ids.size());
  return pick < ids.size() ? ids[pick] : in.ConsumeIntegral<ParamID>();
}

void RequireNormalized(double v, ParamID id, const char* what) {
  FUZZ_REQUIRE(std::isfinite(v) && v >= 0.0 && v <= 1.0, "%s on id %u gave %g", what, id, v);
}

// Value to text, then the text back to a value.
void ValueToTextAndBack(EffectRig& rig, ParamID id, double value) {
  String128 text;
  std::memset(text, 0xA5, sizeof text);
  if (rig.controller->getParamStringByValue(id, value, text) != kResultOk) return;
  size_t length = 0;
  while (length < 128 && text[length] != 0) ++length;
  FUZZ_REQUIRE(length < 128, "value text of id %u has no terminator", id);
  ParamValue back = -1.0;
  if (rig.controller->getParamValueByString(id, text, back) == kResultOk)
    RequireNormalized(back, id, "reading back a value text");
}

// A figure shows the text of the value taken from it.
void RequireTextOfValueTaken(EffectRig& rig, ParamID id, double raw) {
  String128 shown = {};
  const bool hasText = rig.controller->getParamStringByValue(id, raw, shown) == kResultOk;
  rig.controller->setParamNormalized(id, raw);
  // Stepped only: a continuous value read back may differ in its last bit.
  const IParamSlot* slot = rig.effect->GetParam(static_cast<int>(id));
  const bool stepped =
      id == kBypassParamId || (id < static_cast<ParamID>(rig.effect->NParams()) && slot && !slot->IsContinuous());
  if (!hasText || !stepped) return;
  String128 taken = {};
  FUZZ_REQUIRE(rig.controller->getParamStringByValue(id, rig.controller->getParamNormalized(id), taken) == kResultOk,
               "no text for the value of id %u", id);
  FUZZ_REQUIRE(std::equal(shown, shown + 128, taken), "id %u shows another text for %g than for the value taken", id,
               raw);
}

// Host text to a value, in a heap String128 of exactly 128 units so that
// reading past it is caught. Without a terminator the units fill the whole
// buffer (the rest padded with digits).
void TextToValue(EffectRig& rig, ParamID id, const std::vector<char16_t>& units, bool terminate) {
  std::unique_ptr<TChar[]> text(new TChar[128]);
  for (size_t i = 0; i < 128; ++i) text[i] = i < units.size() ? units[i] : u'7';
  if (terminate && units.size() < 128) text[units.size()] = 0;
  ParamValue value = -1.0;
  if (rig.controller->getParamValueByString(id, text.get(), value) != kResultOk) {
    FUZZ_REQUIRE(value == -1.0, "a refused text on id %u set the value to %g", id, value);
    return;
  }
  RequireNormalized(value, id, "getParamValueByString");
  // A number is read only from text that starts with one: no other character
  // (one whose low byte is a digit, say) may stand in for it.
  const IParamSlot* slot = rig.effect->GetParam(static_cast<int>(id));
  if (!slot || slot->NDisplayTexts() > 0) return;
  size_t first = 0;
  while (first < 128 && (text[first] == u' ' || (text[first] >= u'\t' && text[first] <= u'\r'))) ++first;
  const char16_t c = first < 128 ? text[first] : 0;
  FUZZ_REQUIRE((c >= u'0' && c <= u'9') || c == u'.' || c == u'+' || c == u'-' || c == 0x2212,
               "text starting with U+%04X was read as a number on id %u", static_cast<unsigned>(c), id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  EffectRig rig;
  while (in.remaining_bytes() > 0) {
    const ParamID id = PickId(in, rig);
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
      case 0: ValueToTextAndBack(rig, id, in.ConsumeProbability<double>()); break;
      case 1: {
        double raw;  // any bit pattern: NaN, infinities, subnormals, huge
        const std::vector<uint8_t> bits = in.ConsumeBytes<uint8_t>(sizeof raw);
        std::memset(&raw, 0, sizeof raw);
        if (!bits.empty()) std::memcpy(&raw, bits.data(), bits.size());
        ValueToTextAndBack(rig, id, raw);
        // Ids other than the core's pass the value through unchanged.
        if (std::isfinite(raw) && id < static_cast<ParamID>(rig.effect->NParams()))
          RequireNormalized(rig.controller->plainParamToNormalized(id, raw), id, "plainParamToNormalized");
        RequireTextOfValueTaken(rig, id, raw);
        break;
      }
      case 2: {
        // Up to 128 units: a host's String128, with or without a terminator.
        const bool terminate = in.ConsumeBool();
        const size_t count = in.ConsumeIntegralInRange<size_t>(0, 128);
        std::vector<char16_t> units;
        for (size_t i = 0; i < count && in.remaining_bytes() > 0; ++i) units.push_back(in.ConsumeIntegral<char16_t>());
        TextToValue(rig, id, units, terminate);
        break;
      }
      default: {
        // Printable text, as a user types it.
        const std::string typed = in.ConsumeRandomLengthString(127);
        TextToValue(rig, id, std::vector<char16_t>(typed.begin(), typed.end()), true);
        break;
      }
    }
    RequireParamsInRange(rig);
  }
  RequireStateRoundTrip(rig);
  return 0;
}
