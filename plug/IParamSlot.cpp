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
  if (type_ == kParamUnset) type_ = kParamContinuous;
  CopyText(name_, name);
  CopyText(label_, label);
  CopyText(group_, group);
  min_ = min;
  SetValue(defaultValue);
  step_ = step;
  default_ = defaultValue;
  max_ = (min + step > max) ? min + step : max;
  precision_ = 0;
  for (double d = step; d != std::floor(d) && precision_ < 6; d *= 10.0) ++precision_;
  if (shape != 0.0) shape_ = shape;
}

double IParamSlot::ToNormalized(double plain) const {
  double x = plain < min_ ? min_ : (plain < max_ ? plain : max_);
  const double range = max_ - min_;
  if (!(range > 0.0)) return 0.0;  // degenerate range from a non-positive step
  return std::pow((x - min_) / range, 1.0 / shape_);
}

double IParamSlot::NormalizedValue() const { return ToNormalized(Value()); }

double IParamSlot::FromNormalized(double n) const { return std::pow(n, shape_) * (max_ - min_) + min_; }

void IParamSlot::SetFromNormalized(double n) {
  // Hosts and controls may hand over figures outside 0..1 or NaN; neither
  // may push the value out of range or into the audio path.
  if (std::isnan(n)) return;
  if (n < 0.0) n = 0.0;
  if (n > 1.0) n = 1.0;
  double v = FromNormalized(n);
  if (type_ != kParamContinuous && step_ > 0.0) v = std::floor(v / step_ + 0.5) * step_;
  SetValue(v < max_ ? v : max_);
}

const char* IParamSlot::DisplayTextFor(double value) const {
  if (displayTexts_.empty()) return nullptr;
  const int32_t key = TruncToInt(value);
  for (const ParamDisplayText& entry : displayTexts_)
    if (entry.value == key) return entry.text[0] ? entry.text : nullptr;
  return nullptr;
}

void IParamSlot::DisplayString(double value, char* out, size_t outSize) const {
  if (!out || outSize == 0) return;
  if (const char* text = DisplayTextFor(value)) {
    std::snprintf(out, outSize, "%s", text);
    return;
  }
  if (negateDisplay_) value = -value;
  if (precision_ == 0)
    std::snprintf(out, outSize, "%d", static_cast<int>(TruncToInt(value)));
  else
    std::snprintf(out, outSize, "%.*f", static_cast<int>(precision_), value);
}

void IParamSlot::AddDisplayText(int32_t value, const char* text) {
  ParamDisplayText entry{value, {}};
  std::snprintf(entry.text, sizeof entry.text, "%s", text ? text : "");
  displayTexts_.push_back(entry);
}

const ParamDisplayText* IParamSlot::GetDisplayText(int i) const {
  if (i < 0 || i >= NDisplayTexts()) return nullptr;
  return &displayTexts_[static_cast<size_t>(i)];
}
