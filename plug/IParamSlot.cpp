#include "IParamSlot.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {
void CopyText(char (&dest)[32], const char* src) { std::snprintf(dest, sizeof dest, "%s", src ? src : ""); }

// Truncation toward zero that stays defined for any double.
int32_t TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}
}  // namespace

void IParamSlot::Define(const char* name, double defaultValue, double min, double max, double step, const char* label,
                        const char* group, double shape) {
  if (mType == kParamUnset) mType = kParamContinuous;
  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mGroup, group);
  mMin = min;
  SetValue(defaultValue);
  mStep = step;
  mDefault = defaultValue;
  mMax = (min + step > max) ? min + step : max;
  mPrecision = 0;
  for (double d = step; d != std::floor(d) && mPrecision < 6; d *= 10.0) ++mPrecision;
  if (shape != 0.0) mShape = shape;
}

double IParamSlot::ToNormalized(double plain) const {
  double x = plain < mMin ? mMin : (plain < mMax ? plain : mMax);
  const double range = mMax - mMin;
  if (!(range > 0.0)) return 0.0;  // degenerate range from a non-positive step
  return std::pow((x - mMin) / range, 1.0 / mShape);
}

double IParamSlot::NormalizedValue() const { return ToNormalized(Value()); }

double IParamSlot::FromNormalized(double n) const { return std::pow(n, mShape) * (mMax - mMin) + mMin; }

double IParamSlot::Limited(double plain) const {
  if (mType != kParamContinuous && mStep > 0.0) plain = std::floor(plain / mStep + 0.5) * mStep;
  return plain < mMin ? mMin : (plain < mMax ? plain : mMax);
}

// Hosts and controls may hand over figures outside 0..1 or NaN; neither may
// push the value out of range or into the audio path.
double IParamSlot::PlainForNormalized(double n) const {
  if (std::isnan(n)) return Value();
  return Limited(FromNormalized(n < 0.0 ? 0.0 : (n > 1.0 ? 1.0 : n)));
}

void IParamSlot::SetFromNormalized(double n) {
  if (!std::isnan(n)) SetValue(PlainForNormalized(n));
}

const char* IParamSlot::DisplayTextFor(double value) const {
  if (mDisplayTexts.empty()) return nullptr;
  const int32_t key = TruncToInt(value);
  for (const ParamDisplayText& entry : mDisplayTexts)
    if (entry.value == key) return entry.text[0] ? entry.text : nullptr;
  return nullptr;
}

void IParamSlot::DisplayString(double value, char* out, size_t outSize) const {
  if (!out || outSize == 0) return;
  if (const char* text = DisplayTextFor(value)) {
    std::snprintf(out, outSize, "%s", text);
    return;
  }
  if (mNegateDisplay) value = -value;
  if (mPrecision == 0) {
    std::snprintf(out, outSize, "%d", static_cast<int>(TruncToInt(value)));
    return;
  }
  std::snprintf(out, outSize, "%.*f", static_cast<int>(mPrecision), value);
  // A value just below zero rounds to a signed zero ("-0.00"): shown unsigned.
  if (out[0] == '-' && std::strspn(out + 1, "0.") == std::strlen(out + 1)) std::memmove(out, out + 1, std::strlen(out));
}

void IParamSlot::AddDisplayText(int32_t value, const char* text) {
  ParamDisplayText entry{value, {}};
  std::snprintf(entry.text, sizeof entry.text, "%s", text ? text : "");
  mDisplayTexts.push_back(entry);
}

const ParamDisplayText* IParamSlot::GetDisplayText(int i) const {
  if (i < 0 || i >= NDisplayTexts()) return nullptr;
  return &mDisplayTexts[static_cast<size_t>(i)];
}
