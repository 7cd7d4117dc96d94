#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Parameter type codes. Only kParamContinuous is continuous; every other
// non-zero code is stepped (1 and 3 are further stepped kinds).
enum : int32_t {
  kParamUnset = 0,
  kParamInteger = 2,
  kParamContinuous = 4,
};

// Text shown instead of the number when the truncated value equals `value`.
struct ParamDisplayText {
  int32_t value;
  char text[32];
};

// Room that DisplayString needs for any text it can produce.
constexpr size_t kParamDisplayMax = 64;

// A double that two threads may read and write without a lock; copies take
// the value at the time of copying.
class RelaxedDouble {
public:
  explicit RelaxedDouble(double value = 0.0) : value_(value) {}
  RelaxedDouble(const RelaxedDouble& other) : value_(other.Load()) {}
  RelaxedDouble& operator=(const RelaxedDouble& other) {
    Store(other.Load());
    return *this;
  }
  double Load() const { return value_.load(std::memory_order_relaxed); }
  void Store(double value) { value_.store(value, std::memory_order_relaxed); }

private:
  std::atomic<double> value_;
};

// One automatable parameter: plain value with its range, step and curve, and
// the mapping to the normalised 0..1 figure that hosts and controls use.
class IParamSlot {
public:
  IParamSlot() = default;

  void Define(const char* name, double defaultValue, double min, double max, double step, const char* label = "",
              const char* group = "", double shape = 1.0);

  double NormalizedValue() const;
  // Plain value for a normalised figure (clamped to 0..1, NaN ignored).
  void SetFromNormalized(double n);
  // Normalised figure of any plain value, clamped to the range first.
  double ToNormalized(double plain) const;
  // Plain value of a normalised figure, without quantisation or clamping.
  double FromNormalized(double n) const;

  // Display text of a plain value; `out` holds at least outSize bytes.
  void DisplayString(double value, char* out, size_t outSize = kParamDisplayMax) const;
  // Non-empty display text for value (truncated toward zero), or nullptr.
  const char* DisplayTextFor(double value) const;

  void AddDisplayText(int32_t value, const char* text);
  int NDisplayTexts() const { return static_cast<int>(displayTexts_.size()); }
  const ParamDisplayText* GetDisplayText(int i) const;

  int32_t Type() const { return type_; }
  void SetType(int32_t type) { type_ = type; }
  bool IsContinuous() const { return type_ == kParamContinuous; }

  // The value is shared by the audio thread (host automation) and the user
  // interface thread (controller queries and sets), so it is atomic; relaxed
  // order is enough for one value and costs a plain load or store.
  double Value() const { return value_.Load(); }
  // Plain assignment; callers keep the value within Min()..Max().
  void SetValue(double value) { value_.Store(value); }

  double Min() const { return min_; }
  double Max() const { return max_; }
  double Step() const { return step_; }
  double Shape() const { return shape_; }
  double Default() const { return default_; }
  int32_t Precision() const { return precision_; }
  const char* Name() const { return name_; }
  const char* Label() const { return label_; }
  const char* Group() const { return group_; }

  bool NegateDisplay() const { return negateDisplay_; }
  void SetNegateDisplay(bool negate) { negateDisplay_ = negate; }
  bool CanAutomate() const { return canAutomate_; }
  void SetCanAutomate(bool canAutomate) { canAutomate_ = canAutomate; }

private:
  int32_t type_ = kParamUnset;
  RelaxedDouble value_;
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double shape_ = 1.0;
  double default_ = 0.0;
  int32_t precision_ = 0;
  char name_[32] = {};
  char label_[32] = {};
  char group_[32] = {};
  bool negateDisplay_ = false;
  bool canAutomate_ = true;
  std::vector<ParamDisplayText> displayTexts_;
};
